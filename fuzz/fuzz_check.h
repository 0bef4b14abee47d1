#pragma once

#include <cstdio>
#include <cstdlib>

// A broken invariant names its line and stops the run, which libFuzzer reports with the input.
#define Check(condition)                                                                 \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: %s does not hold\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)
