# capture_tests.exe: the real capture tool end to end under Wine (ctest entry
# wine.capture). It runs the tool from capture/ and the installer from sample/.
file(GLOB LOOM_CAPTURE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/capture/*_test.cpp)
add_executable(capture_tests ${LOOM_CAPTURE_TEST_SOURCES})
target_link_libraries(capture_tests PRIVATE loomcore loomdriver GTest::gtest_main)
target_compile_options(capture_tests PRIVATE ${LOOM_WARNINGS})
set_target_properties(capture_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
add_dependencies(capture_tests capture_tool sample_setup standin_tools)
if(TARGET sample_engines)  # 64-bit trees: the NSIS and MSI samples
  add_dependencies(capture_tests sample_engines)
endif()
