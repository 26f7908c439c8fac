# loomctl.exe: capture runs with the wizard's Windows code (runner, scan tool,
# temporary files) and speaks the messages of its string table.
enable_language(RC)
target_sources(loomctl PRIVATE ${CMAKE_SOURCE_DIR}/src/loomctl/Capture_win32.cpp
                               ${CMAKE_SOURCE_DIR}/src/loomctl/loomctl.rc)
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/loomctl/loomctl.rc PROPERTIES OBJECT_DEPENDS
                            ${CMAKE_SOURCE_DIR}/src/resources/Strings.rc)
target_link_libraries(loomctl PRIVATE loomwin)
if(TARGET gui_tests)
  add_dependencies(gui_tests loomctl)
endif()
if(TARGET capture_tests)
  add_dependencies(capture_tests loomctl standin_tools)
endif()
