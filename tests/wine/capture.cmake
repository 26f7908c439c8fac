# The real capture tool end to end: scans of a fresh prefix around the sample
# installer and installers of real installer engines, the suggested project,
# the generated folder, and the failures.
# The real installers' captures leave their registry files in
# capture-import/; wine.capture_import imports them into a fresh prefix.
add_test(NAME wine.capture
         COMMAND bash ${LOOM_WINE} ${CMAKE_BINARY_DIR}/wine/capture -- ${LOOM_WIN64_DIR}/capture_tests.exe
                 --gtest_filter=-RegImport.*:Unattended.*)
set_tests_properties(wine.capture PROPERTIES LABELS wine RESOURCE_LOCK wine TIMEOUT 400
                     FIXTURES_SETUP capture_registry)
add_test(NAME wine.capture_import
         COMMAND bash ${LOOM_WINE} ${CMAKE_BINARY_DIR}/wine/capture-import -- ${LOOM_WIN64_DIR}/capture_tests.exe
                 --gtest_filter=RegImport.*)
set_tests_properties(wine.capture_import PROPERTIES LABELS wine RESOURCE_LOCK wine TIMEOUT 120
                     FIXTURES_REQUIRED capture_registry)
# loomctl capture of the sample installer, in a prefix of its own.
add_test(NAME wine.unattended
         COMMAND bash ${LOOM_WINE} ${CMAKE_BINARY_DIR}/wine/unattended -- ${LOOM_WIN64_DIR}/capture_tests.exe
                 --gtest_filter=Unattended.*)
set_tests_properties(wine.unattended PROPERTIES LABELS wine RESOURCE_LOCK wine TIMEOUT 600)
# Smoke pass of the capture benchmark (`make bench` measures).
add_test(NAME wine.bench_capture
         COMMAND bash ${LOOM_WINE} ${CMAKE_BINARY_DIR}/wine/bench-capture -- ${LOOM_WIN64_DIR}/bench_capture.exe --quick)
set_tests_properties(wine.bench_capture PROPERTIES LABELS "wine;bench" RESOURCE_LOCK wine TIMEOUT 300)
