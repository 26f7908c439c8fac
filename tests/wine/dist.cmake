# What a newcomer meets first: `make run` walked to Finish headless on the run
# folder it prepares, and the release zip unpacked and driven through a whole
# capture and build (its README-Windows.txt list checked against the zip).
add_test(NAME wine.run COMMAND bash ${CMAKE_SOURCE_DIR}/tests/dist/run_test.sh ${LOOM_WIN64_DIR}/..)
set_tests_properties(wine.run PROPERTIES LABELS wine RESOURCE_LOCK wine TIMEOUT 600)
if(LOOM_WIN32_DIR)
  add_test(NAME wine.dist COMMAND bash ${CMAKE_SOURCE_DIR}/tests/dist/dist_test.sh ${LOOM_WIN64_DIR}/..
                                  ${CMAKE_BINARY_DIR}/dist-test)
  set_tests_properties(wine.dist PROPERTIES LABELS wine RESOURCE_LOCK wine TIMEOUT 600)
endif()
