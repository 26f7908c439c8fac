# The wizard driver (tools/driver): starts Loomwise.exe as a second process and
# works its windows black-box. The GUI tests, the capture tests and both demos
# link it.
add_library(loomdriver STATIC ${CMAKE_SOURCE_DIR}/tools/driver/WizardDriver.cpp)
target_include_directories(loomdriver PUBLIC ${CMAKE_SOURCE_DIR}/tools/driver ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(loomdriver PUBLIC GTest::gtest shell32 user32 gdi32 advapi32)
target_compile_options(loomdriver PRIVATE ${LOOM_WARNINGS})
