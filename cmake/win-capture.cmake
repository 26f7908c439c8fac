# The real capture tool. The scripted stand-in keeps the names snapshot.exe /
# snapshot64.exe in the build tree's top folder (the GUI tests rely on it), so
# the real one is built into capture/ under its name for the architecture
# (snapshot64.exe for x86_64, snapshot.exe for i686); the capture demo and
# the distribution put it beside Loomwise.exe. Its Win32 half is a library
# so that the Windows benchmarks measure the same scans.
add_library(loomcapture STATIC ${CMAKE_SOURCE_DIR}/src/snapshot/CaptureTool_win32.cpp
                               ${CMAKE_SOURCE_DIR}/src/snapshot/Scan_win32.cpp)
target_link_libraries(loomcapture PUBLIC loomcore ole32 uuid shell32 advapi32)
target_compile_options(loomcapture PRIVATE ${LOOM_WARNINGS})
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(LOOM_CAPTURE_NAME snapshot64)
else()
  set(LOOM_CAPTURE_NAME snapshot)
endif()
add_executable(capture_tool ${CMAKE_SOURCE_DIR}/src/snapshot/SnapshotMain_win32.cpp)
target_link_libraries(capture_tool PRIVATE loomcapture)
target_compile_options(capture_tool PRIVATE ${LOOM_WARNINGS})
target_link_options(capture_tool PRIVATE -municode -Wl,--stack,16777216)  # room for deep folder trees
set_target_properties(capture_tool PROPERTIES OUTPUT_NAME ${LOOM_CAPTURE_NAME}
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/capture)

# The capture benchmark (bench/win/bench_capture.cpp, built by win-app.cmake)
# measures these scans.
if(TARGET bench_capture)
  target_link_libraries(bench_capture PRIVATE loomcapture psapi)
endif()
