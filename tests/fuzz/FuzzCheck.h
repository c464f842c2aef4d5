#pragma once

#include <cstdio>
#include <cstdlib>

// A broken promise of a reader ends the run with the input that broke it;
// both libFuzzer and the corpus replay report it.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);              \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)
