# demo.exe: drives the real wizard through a whole capture (make demo).
add_executable(demo ${CMAKE_SOURCE_DIR}/tools/demo/demo.cpp)
target_link_libraries(demo PRIVATE loomdriver)
target_link_options(demo PRIVATE -municode)
target_compile_options(demo PRIVATE ${LOOM_WARNINGS})
add_dependencies(demo gui_tests)
