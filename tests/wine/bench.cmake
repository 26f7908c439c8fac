# Smoke pass of the Windows benchmarks under Wine (`make bench` measures).
add_test(NAME wine.bench_runner
         COMMAND bash ${LOOM_WINE} ${CMAKE_BINARY_DIR}/wine/bench -- ${LOOM_WIN64_DIR}/bench_runner.exe --quick)
set_tests_properties(wine.bench_runner PROPERTIES LABELS "wine;bench" RESOURCE_LOCK wine TIMEOUT 300)
add_test(NAME wine.bench_build_page
         COMMAND bash ${LOOM_WINE} ${CMAKE_BINARY_DIR}/wine/bench-build -- ${LOOM_WIN64_DIR}/bench_build_page.exe --quick)
set_tests_properties(wine.bench_build_page PROPERTIES LABELS "wine;bench" RESOURCE_LOCK wine TIMEOUT 300)
add_test(NAME wine.bench_startup
         COMMAND bash ${LOOM_WINE} ${CMAKE_BINARY_DIR}/wine/bench-startup -- ${LOOM_WIN64_DIR}/bench_startup.exe --quick)
set_tests_properties(wine.bench_startup PROPERTIES LABELS "wine;bench" RESOURCE_LOCK wine TIMEOUT 300
                     ENVIRONMENT LOOM_WINE_STDERR=${CMAKE_BINARY_DIR}/wine/bench-startup.stderr)
add_test(NAME wine.bench_wizard_tools
         COMMAND bash ${LOOM_WINE} ${CMAKE_BINARY_DIR}/wine/bench-wizard-tools -- ${LOOM_WIN64_DIR}/bench_wizard_tools.exe --quick)
set_tests_properties(wine.bench_wizard_tools PROPERTIES LABELS "wine;bench" RESOURCE_LOCK wine TIMEOUT 300)
