# The GUI tests: gui_tests.exe of the MinGW x86_64 tree under Wine, in a
# fresh prefix with its own display. The harness's own time limit is raised
# to stay inside ctest's.
add_test(NAME wine.gui
         COMMAND bash ${LOOM_WINE} ${CMAKE_BINARY_DIR}/wine/gui -- ${LOOM_WIN64_DIR}/gui_tests.exe)
set_tests_properties(wine.gui PROPERTIES LABELS wine RESOURCE_LOCK wine TIMEOUT 900
                     ENVIRONMENT LOOM_WINE_TIMEOUT=870)
