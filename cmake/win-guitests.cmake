# GUI tests run under Wine: gui_tests.exe, which starts the real Loomwise.exe
# from the same folder through the driver (cmake/win-driver.cmake).
file(GLOB LOOM_GUI_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/gui/*_test.cpp)
add_executable(gui_tests ${LOOM_GUI_TEST_SOURCES})
target_link_libraries(gui_tests PRIVATE loomcore loomdriver GTest::gtest_main)
target_compile_options(gui_tests PRIVATE ${LOOM_WARNINGS})
set_target_properties(gui_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
# Building gui_tests builds everything it installs into its test folders.
add_dependencies(gui_tests standin_tools branding Loomwise)

# bench_wizard_tools (bench/win) drives the wizard as the GUI tests do.
if(TARGET bench_wizard_tools)
  target_link_libraries(bench_wizard_tools PRIVATE loomdriver psapi)
  target_link_options(bench_wizard_tools PRIVATE -municode)
  add_dependencies(bench_wizard_tools Loomwise capture_tool standin_tools)
endif()
