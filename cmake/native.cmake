# Native (Linux) build: tests, benchmarks, fuzzers, and the ctest entries that
# run the other build trees (sanitizers, Wine), so one ctest summary covers all.

add_test(NAME core COMMAND core_tests)

file(GLOB LOOM_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/fuzz_*.cpp)
file(GLOB LOOM_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/bench_*.cpp)

if(LOOM_FUZZ)
  # Coverage instrumentation for the code under test; the fuzzers link libFuzzer.
  target_compile_options(loomcore PRIVATE -fsanitize=fuzzer-no-link)
  foreach(src ${LOOM_FUZZ_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE loomcore)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer ${LOOM_WARNINGS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  endforeach()
endif()

if(NOT LOOM_SANITIZE)
  foreach(src ${LOOM_BENCH_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE loomcore)
    target_compile_options(${name} PRIVATE ${LOOM_WARNINGS})
    # Benchmarks print ratios; under ctest they run a short smoke pass only.
    add_test(NAME bench.${name} COMMAND ${name} --quick)
    set_tests_properties(bench.${name} PROPERTIES LABELS bench)
  endforeach()
endif()

file(GLOB LOOM_SHELL_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/loomctl/*_test.sh)
foreach(t ${LOOM_SHELL_TESTS})
  get_filename_component(name ${t} NAME_WE)
  add_test(NAME loomctl.${name} COMMAND bash ${t} $<TARGET_FILE:loomctl>)
endforeach()

# Other trees, wired in by the top-level Makefile.
set(LOOM_SANITIZE_DIR "" CACHE PATH "Build tree made with LOOM_SANITIZE=ON LOOM_FUZZ=ON (clang)")
set(LOOM_WIN64_DIR "" CACHE PATH "MinGW x86_64 build tree, run under Wine")
set(LOOM_WIN32_DIR "" CACHE PATH "MinGW i686 build tree, compiled only")
set(LOOM_FUZZ_SECONDS 8 CACHE STRING "Seconds each fuzzer runs under ctest")
set(LOOM_WINE ${CMAKE_SOURCE_DIR}/tools/scripts/wine-run.sh)

if(LOOM_SANITIZE_DIR)
  add_test(NAME sanitize.core COMMAND ${LOOM_SANITIZE_DIR}/core_tests)
  foreach(src ${LOOM_FUZZ_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_test(NAME fuzz.${name}
             COMMAND bash ${CMAKE_SOURCE_DIR}/tools/scripts/run-fuzzer.sh
                     ${LOOM_SANITIZE_DIR}/${name} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name}
                     ${CMAKE_BINARY_DIR}/fuzz-work/${name} ${LOOM_FUZZ_SECONDS})
    set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz)
  endforeach()
endif()

if(LOOM_WIN64_DIR)
  # Each Wine test gets its own fresh prefix and display; RESOURCE_LOCK keeps
  # them from competing for the two cores.
  add_test(NAME wine.core
           COMMAND bash ${LOOM_WINE} ${CMAKE_BINARY_DIR}/wine/core -- ${LOOM_WIN64_DIR}/core_tests.exe)
  set_tests_properties(wine.core PROPERTIES LABELS wine RESOURCE_LOCK wine TIMEOUT 300)
  file(GLOB LOOM_WINE_SUITES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/*.cmake)
  foreach(s ${LOOM_WINE_SUITES})
    include(${s})
  endforeach()
endif()

if(LOOM_WIN32_DIR)
  add_test(NAME i686.compiled
           COMMAND bash ${CMAKE_SOURCE_DIR}/tools/scripts/check-pe.sh ${LOOM_WIN32_DIR} i386)
endif()
