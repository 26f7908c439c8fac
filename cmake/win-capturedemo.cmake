# capture_demo.exe: the wizard with the real capture tool on the sample
# installer (make demo-capture).
add_executable(capture_demo ${CMAKE_SOURCE_DIR}/tools/demo/capture_demo.cpp)
target_link_libraries(capture_demo PRIVATE loomdriver)
target_link_options(capture_demo PRIVATE -municode)
target_compile_options(capture_demo PRIVATE ${LOOM_WARNINGS})
add_dependencies(capture_demo gui_tests capture_tool sample_setup)
