# Loomwise.exe: the wizard itself.
add_executable(Loomwise WIN32 ${LOOM_WIN_SOURCES} $<TARGET_OBJECTS:loomres>)
target_include_directories(Loomwise PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_compile_options(Loomwise PRIVATE ${LOOM_WARNINGS})
target_link_libraries(Loomwise PRIVATE loomcore comctl32 comdlg32 ole32 oleaut32 uuid shell32 shlwapi advapi32
                      gdi32 user32 mpr version)
target_link_options(Loomwise PRIVATE -municode -mwindows)
