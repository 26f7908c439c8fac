# In-process tests of the wizard's Win32 services under Wine.
add_test(NAME wine.win
         COMMAND bash ${LOOM_WINE} ${CMAKE_BINARY_DIR}/wine/win -- ${LOOM_WIN64_DIR}/win_tests.exe)
set_tests_properties(wine.win PROPERTIES LABELS wine RESOURCE_LOCK wine TIMEOUT 300)
