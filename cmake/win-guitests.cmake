# GUI tests run under Wine: the driver library, its self-test program and
# gui_tests.exe, which starts the real Loomwise.exe from the same folder.
enable_language(RC)

add_library(loomdriver STATIC ${CMAKE_SOURCE_DIR}/tests/wine/driver/WizardDriver.cpp)
target_include_directories(loomdriver PUBLIC ${CMAKE_SOURCE_DIR}/tests/wine/driver)
target_link_libraries(loomdriver PUBLIC GTest::gtest shell32 user32 gdi32 advapi32)
target_compile_options(loomdriver PRIVATE ${LOOM_WARNINGS})

# A small look-alike of the wizard's windows, for testing the driver itself.
add_executable(fake_wizard WIN32
  ${CMAKE_SOURCE_DIR}/tests/wine/selftest/FakeWizard.cpp
  ${CMAKE_SOURCE_DIR}/tests/wine/selftest/FakeWizard.rc)
target_compile_options(fake_wizard PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${LOOM_WARNINGS}>)
target_link_options(fake_wizard PRIVATE -municode -s)
set_target_properties(fake_wizard PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

file(GLOB LOOM_GUI_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/gui/*_test.cpp)
add_executable(gui_tests ${LOOM_GUI_TEST_SOURCES})
target_link_libraries(gui_tests PRIVATE loomdriver GTest::gtest_main)
target_compile_options(gui_tests PRIVATE ${LOOM_WARNINGS})
set_target_properties(gui_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
# Building gui_tests builds everything it installs into its test folders.
add_dependencies(gui_tests standin_tools branding fake_wizard)
function(loom_gui_tests_need_wizard)
  if(TARGET Loomwise)
    add_dependencies(gui_tests Loomwise)
  endif()
endfunction()
cmake_language(DEFER CALL loom_gui_tests_need_wizard)
