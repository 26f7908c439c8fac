# The real capture tool. The scripted stand-in keeps the names snapshot.exe /
# snapshot64.exe in the build tree's top folder (the GUI tests rely on it), so
# the real one is built into capture/ under both names; the demo and the
# distribution put it beside Loomwise.exe.
set(LOOM_CAPTURE_SOURCES ${CMAKE_SOURCE_DIR}/src/snapshot/CaptureTool_win32.cpp
                         ${CMAKE_SOURCE_DIR}/src/snapshot/Scan_win32.cpp)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(LOOM_CAPTURE_NAME snapshot64)
else()
  set(LOOM_CAPTURE_NAME snapshot)
endif()
add_executable(capture_tool ${LOOM_CAPTURE_SOURCES})
target_link_libraries(capture_tool PRIVATE loomcore ole32 uuid shell32 advapi32)
target_compile_options(capture_tool PRIVATE ${LOOM_WARNINGS})
target_link_options(capture_tool PRIVATE -municode)
set_target_properties(capture_tool PROPERTIES OUTPUT_NAME ${LOOM_CAPTURE_NAME}
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/capture)
