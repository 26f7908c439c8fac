// An invariant a fuzzer checks: a failure names the line and aborts, so
// libFuzzer keeps the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

#define CHECK(cond)                                                               \
  do {                                                                            \
    if (!(cond)) {                                                                \
      std::fprintf(stderr, "invariant failed at line %d: %s\n", __LINE__, #cond); \
      std::abort();                                                               \
    }                                                                             \
  } while (0)
