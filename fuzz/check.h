// Stops the fuzzer with a message when a property does not hold.
#ifndef RYX_FUZZ_CHECK_H
#define RYX_FUZZ_CHECK_H

#include <stdio.h>
#include <stdlib.h>

#define CHECK(condition)                                                              \
    do {                                                                              \
        if (!(condition)) {                                                           \
            fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
            abort();                                                                  \
        }                                                                             \
    } while (0)

#endif
