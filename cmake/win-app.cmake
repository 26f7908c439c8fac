# Loomwise.exe: the wizard itself. Its Win32 code is a static library so
# that the Windows benchmarks can link the same runner the wizard uses.
add_library(loomwin STATIC ${LOOM_WIN_SOURCES})
target_include_directories(loomwin PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_options(loomwin PRIVATE ${LOOM_WARNINGS})
target_link_libraries(loomwin PUBLIC loomcore comctl32 comdlg32 ole32 oleaut32 uuid shell32 shlwapi advapi32
                      gdi32 user32 mpr version)

add_executable(Loomwise WIN32 ${CMAKE_SOURCE_DIR}/src/app/Main_win32.cpp $<TARGET_OBJECTS:loomres>)
target_link_libraries(Loomwise PRIVATE loomwin)
target_compile_options(Loomwise PRIVATE ${LOOM_WARNINGS})
target_link_options(Loomwise PRIVATE -municode -mwindows)

# Windows benchmarks (run under Wine by `make bench`; a smoke pass in ctest).
file(GLOB LOOM_WIN_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/win/bench_*.cpp)
foreach(src ${LOOM_WIN_BENCH_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE loomwin)
  target_compile_options(${name} PRIVATE ${LOOM_WARNINGS})
endforeach()

# The start-up benchmark's baseline: a bare dialog program linked like the wizard.
add_executable(bare_dialog WIN32 ${CMAKE_SOURCE_DIR}/bench/win/bare_dialog.cpp)
target_compile_options(bare_dialog PRIVATE ${LOOM_WARNINGS})
target_link_options(bare_dialog PRIVATE -municode -mwindows)
if(TARGET bench_startup)
  add_dependencies(bench_startup bare_dialog Loomwise)
endif()
