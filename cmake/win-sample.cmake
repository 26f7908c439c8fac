# The sample installer (tools/sample-installer): SampleSetup.exe carries the
# sample application and its library and installs them like an ordinary
# installer. It lands in the build tree's sample/ folder.
find_program(LOOM_PYTHON NAMES python3 REQUIRED)
set(LOOM_SAMPLE_SRC ${CMAKE_SOURCE_DIR}/tools/sample-installer)
set(LOOM_SAMPLE_OUT ${CMAKE_BINARY_DIR}/sample)
set(LOOM_SAMPLE_GEN ${CMAKE_CURRENT_BINARY_DIR}/sample-gen)
add_custom_command(OUTPUT ${LOOM_SAMPLE_GEN}/sample.ico
  COMMAND ${CMAKE_COMMAND} -E make_directory ${LOOM_SAMPLE_GEN}
  COMMAND ${LOOM_PYTHON} ${LOOM_SAMPLE_SRC}/make_icon.py ${LOOM_SAMPLE_GEN}/sample.ico
  DEPENDS ${LOOM_SAMPLE_SRC}/make_icon.py
  COMMENT "Drawing the sample application's icon")

add_library(sample_lib SHARED ${LOOM_SAMPLE_SRC}/SampleLib.cpp)
set_target_properties(sample_lib PROPERTIES OUTPUT_NAME sample PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${LOOM_SAMPLE_GEN})
target_link_options(sample_lib PRIVATE -s)

add_custom_command(OUTPUT ${LOOM_SAMPLE_GEN}/SampleApp.res.o
  COMMAND ${CMAKE_RC_COMPILER} -O coff -I ${LOOM_SAMPLE_GEN} -i ${LOOM_SAMPLE_SRC}/SampleApp.rc
          -o ${LOOM_SAMPLE_GEN}/SampleApp.res.o
  DEPENDS ${LOOM_SAMPLE_SRC}/SampleApp.rc ${LOOM_SAMPLE_GEN}/sample.ico)
add_executable(sample_app WIN32 ${LOOM_SAMPLE_SRC}/SampleApp.cpp ${LOOM_SAMPLE_GEN}/SampleApp.res.o)
set_target_properties(sample_app PROPERTIES OUTPUT_NAME SampleApp RUNTIME_OUTPUT_DIRECTORY ${LOOM_SAMPLE_GEN})
target_link_options(sample_app PRIVATE -municode -s)

add_custom_command(OUTPUT ${LOOM_SAMPLE_GEN}/SampleSetup.res.o
  COMMAND ${CMAKE_RC_COMPILER} -O coff -I ${LOOM_SAMPLE_GEN} -i ${LOOM_SAMPLE_SRC}/SampleSetup.rc
          -o ${LOOM_SAMPLE_GEN}/SampleSetup.res.o
  DEPENDS ${LOOM_SAMPLE_SRC}/SampleSetup.rc ${LOOM_SAMPLE_GEN}/sample.ico sample_app sample_lib
          ${LOOM_SAMPLE_GEN}/SampleApp.exe ${LOOM_SAMPLE_GEN}/sample.dll)
add_executable(sample_setup WIN32 ${LOOM_SAMPLE_SRC}/SampleSetup.cpp ${LOOM_SAMPLE_GEN}/SampleSetup.res.o)
set_target_properties(sample_setup PROPERTIES OUTPUT_NAME SampleSetup RUNTIME_OUTPUT_DIRECTORY ${LOOM_SAMPLE_OUT})
target_link_libraries(sample_setup PRIVATE ole32 uuid shell32 advapi32)
target_compile_options(sample_setup PRIVATE ${LOOM_WARNINGS})
target_link_options(sample_setup PRIVATE -municode -s)

# The same application packed by real installer engines, for wine.capture:
# SampleNsis.exe (makensis, 64-bit Unicode stub: the 32-bit one cannot run
# under a 64-bit-only Wine) and SampleMsi.msi (wixl). Both tools come from
# tools/scripts/setup.sh.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  find_program(LOOM_MAKENSIS makensis REQUIRED)
  find_program(LOOM_WIXL wixl REQUIRED)
  set(LOOM_SAMPLE_STAGE ${LOOM_SAMPLE_GEN}/engines)
  add_custom_command(OUTPUT ${LOOM_SAMPLE_OUT}/SampleNsis.exe ${LOOM_SAMPLE_OUT}/SampleMsi.msi
    COMMAND ${CMAKE_COMMAND} -E make_directory ${LOOM_SAMPLE_STAGE} ${LOOM_SAMPLE_OUT}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:sample_app> $<TARGET_FILE:sample_lib>
            ${LOOM_SAMPLE_SRC}/notes.txt ${LOOM_SAMPLE_SRC}/SampleMsi.wxs ${LOOM_SAMPLE_STAGE}
    COMMAND ${LOOM_MAKENSIS} -V1 -DPAYLOAD=${LOOM_SAMPLE_STAGE} -DNOTES=${LOOM_SAMPLE_STAGE}/notes.txt
            -DOUTFILE=${LOOM_SAMPLE_OUT}/SampleNsis.exe ${LOOM_SAMPLE_SRC}/SampleNsis.nsi
    COMMAND ${CMAKE_COMMAND} -E chdir ${LOOM_SAMPLE_STAGE} ${LOOM_WIXL} -a x64 -o ${LOOM_SAMPLE_OUT}/SampleMsi.msi
            SampleMsi.wxs
    DEPENDS sample_app sample_lib ${LOOM_SAMPLE_SRC}/SampleNsis.nsi ${LOOM_SAMPLE_SRC}/SampleMsi.wxs
            ${LOOM_SAMPLE_SRC}/notes.txt
    COMMENT "Packing the sample application with NSIS and Windows Installer")
  add_custom_target(sample_engines ALL DEPENDS ${LOOM_SAMPLE_OUT}/SampleNsis.exe ${LOOM_SAMPLE_OUT}/SampleMsi.msi)
endif()
