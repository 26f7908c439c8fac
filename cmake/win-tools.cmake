# Stand-in external tools and the sample branding module (Windows builds).
# Everything lands in the build tree's top folder, beside Loomwise.exe.

# One stand-in program, linked under each tool name the wizard runs.
add_library(standin_obj OBJECT ${CMAKE_SOURCE_DIR}/tools/standin/standin.cpp)
target_compile_options(standin_obj PRIVATE ${LOOM_WARNINGS})
target_include_directories(standin_obj PRIVATE ${CMAKE_SOURCE_DIR}/src)  # the shared UTF-8 helpers
set(LOOM_STANDIN_TOOLS snapshot snapshot64 vregtool vftool tlink)
foreach(tool ${LOOM_STANDIN_TOOLS})
  add_executable(${tool} $<TARGET_OBJECTS:standin_obj>)
  target_link_libraries(${tool} PRIVATE loomcore ole32)  # the package layout writer; identities
  target_link_options(${tool} PRIVATE -municode -s)
  set_target_properties(${tool} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endforeach()
# The suggested project the stand-in scan tool writes, beside the tools.
configure_file(${CMAKE_SOURCE_DIR}/tools/standin/suggested-project.ini ${CMAKE_BINARY_DIR}/suggested-project.ini
               COPYONLY)
# The executable with icons that the suggested project's entry points name,
# and an icon file for the entry that names one.
add_executable(sample-app WIN32 ${CMAKE_SOURCE_DIR}/tools/standin/sample-app.c
               ${CMAKE_SOURCE_DIR}/tools/standin/sample-app.rc)
target_include_directories(sample-app PRIVATE ${LOOM_ART_DIR})
set_source_files_properties(${CMAKE_SOURCE_DIR}/tools/standin/sample-app.rc PROPERTIES OBJECT_DEPENDS
                            "${LOOM_ART_DIR}/loomart/app.ico;${LOOM_ART_DIR}/loomart/project.ico")
add_dependencies(sample-app loomart)
target_link_options(sample-app PRIVATE -s)
set_target_properties(sample-app PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
add_custom_command(TARGET sample-app POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy ${LOOM_ART_DIR}/loomart/project.ico ${CMAKE_BINARY_DIR}/sample-help.ico)
add_custom_target(standin_tools DEPENDS ${LOOM_STANDIN_TOOLS} sample-app)

# Branding.dll: resources only (no code; entry address 0 means no entry point). The banner picture
# is drawn by a script so that the module is reproducible from source.
find_program(LOOM_PYTHON NAMES python3 REQUIRED)
set(LOOM_BRANDING_DIR ${CMAKE_SOURCE_DIR}/tools/branding)
set(LOOM_BANNER ${CMAKE_CURRENT_BINARY_DIR}/branding/banner.bmp)
add_custom_command(OUTPUT ${LOOM_BANNER}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/branding
  COMMAND ${LOOM_PYTHON} ${LOOM_BRANDING_DIR}/make_banner.py ${LOOM_BANNER}
  DEPENDS ${LOOM_BRANDING_DIR}/make_banner.py
  COMMENT "Drawing the branding banner")
set(LOOM_BRANDING_RES ${CMAKE_CURRENT_BINARY_DIR}/branding/Branding.res.o)
add_custom_command(OUTPUT ${LOOM_BRANDING_RES}
  COMMAND ${CMAKE_RC_COMPILER} -O coff -I ${CMAKE_CURRENT_BINARY_DIR}/branding -I ${LOOM_BRANDING_DIR}
          -i ${LOOM_BRANDING_DIR}/Branding.rc -o ${LOOM_BRANDING_RES}
  DEPENDS ${LOOM_BRANDING_DIR}/Branding.rc ${LOOM_BRANDING_DIR}/build.bat.tmpl ${LOOM_BANNER}
  COMMENT "Compiling the branding resources")
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/Branding.dll
  COMMAND ${CMAKE_C_COMPILER} -shared -nostdlib -Wl,-e,0 -s
          -o ${CMAKE_BINARY_DIR}/Branding.dll ${LOOM_BRANDING_RES}
  DEPENDS ${LOOM_BRANDING_RES}
  COMMENT "Linking Branding.dll")
add_custom_target(branding ALL DEPENDS ${CMAKE_BINARY_DIR}/Branding.dll)
