// KALVEX_ASSERT: broken preconditions are programmer errors, never user input.
#pragma once

#include <cstdio>
#include <cstdlib>

#define KALVEX_ASSERT(cond)                                                                   \
    do {                                                                                      \
        if (!(cond)) {                                                                        \
            std::fprintf(stderr, "%s:%d: assertion failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                     \
        }                                                                                     \
    } while (false)
