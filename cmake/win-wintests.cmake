# win_tests.exe: the Win32 services of the wizard (settings, branding, the
# tool runner) tested in-process under Wine.
file(GLOB LOOM_WIN_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*_test.cpp)
add_executable(win_tests ${LOOM_WIN_TEST_SOURCES} ${CMAKE_SOURCE_DIR}/tests/win/FrameworkDialogs.rc)
target_link_libraries(win_tests PRIVATE loomwin GTest::gtest_main)
target_compile_options(win_tests PRIVATE ${LOOM_WARNINGS})
add_dependencies(win_tests standin_tools branding loomctl)
