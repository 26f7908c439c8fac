# The program's resources (string table, dialog templates, help texts, pictures).
#
# The pictures and icons are drawn at build time by tools/scripts/gen_art.py
# into ${LOOM_ART_DIR}/loomart/; Art.rc names them relative to that folder,
# which is on the resource compiler's include path.
enable_language(RC)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(LOOM_ART_DIR ${CMAKE_BINARY_DIR}/generated)
set(LOOM_ART_SCRIPT ${CMAKE_SOURCE_DIR}/tools/scripts/gen_art.py)
set(LOOM_ART_FILES "")
foreach(name
    app.ico project.ico
    banner_neutral.bmp banner_done.bmp banner_prescan.bmp banner_install.bmp
    banner_postscan.bmp banner_configure.bmp banner_build.bmp
    side_scan.bmp side_install.bmp side_compare.bmp side_configure.bmp side_resume.bmp
    side_save.bmp side_build.bmp side_entry_points.bmp side_finished.bmp
    welcome.bmp community.bmp community_lit.bmp portal.bmp)
  list(APPEND LOOM_ART_FILES ${LOOM_ART_DIR}/loomart/${name})
endforeach()

add_custom_command(
  OUTPUT ${LOOM_ART_FILES}
  COMMAND ${Python3_EXECUTABLE} ${LOOM_ART_SCRIPT} ${LOOM_ART_DIR}/loomart
  DEPENDS ${LOOM_ART_SCRIPT}
  COMMENT "Drawing the wizard's pictures and icons"
  VERBATIM)
add_custom_target(loomart DEPENDS ${LOOM_ART_FILES})

file(GLOB LOOM_HELP_TEXTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/resources/help/*.rtf)
set(LOOM_RC_MAIN ${CMAKE_SOURCE_DIR}/src/resources/Loomwise.rc)
set_source_files_properties(${LOOM_RC_MAIN} PROPERTIES OBJECT_DEPENDS
  "${LOOM_ART_FILES};${LOOM_HELP_TEXTS};${CMAKE_SOURCE_DIR}/src/resources/ResourceIds.h;${CMAKE_SOURCE_DIR}/src/resources/Strings.rc;${CMAKE_SOURCE_DIR}/src/resources/Dialogs.rc;${CMAKE_SOURCE_DIR}/src/resources/Help.rc;${CMAKE_SOURCE_DIR}/src/resources/Art.rc;${CMAKE_SOURCE_DIR}/src/resources/Version.rc;${CMAKE_SOURCE_DIR}/src/resources/Loomwise.manifest;${LOOM_GENERATED_DIR}/app/Version.h")

add_library(loomres OBJECT ${LOOM_RC_MAIN})
target_include_directories(loomres PRIVATE ${CMAKE_SOURCE_DIR}/src ${LOOM_ART_DIR})
add_dependencies(loomres loomart)
