// The filters are built twice: a word at a time, which any i686 runs, and
// with SSE2. The first call of a filter picks SSE2 if the processor has it
// (CPUID), and every call goes through the build picked. Internal to the
// filters and their tests.
#ifndef RYX_FILTER_VARIANT_H
#define RYX_FILTER_VARIANT_H

#include <stdint.h>

#include "filter/filter.h"

struct FilterVariant {
    Expansion (*expand)(const char* source, char* buffer);
    // The cap, with the allowance already worked out from recvMax.
    void (*cap)(char* text, uint32_t allowance);
};

extern const FilterVariant WordFilters;
#if defined(__i386__) || defined(__x86_64__)
#define RYX_HAVE_SSE2_FILTERS 1
extern const FilterVariant Sse2Filters;  // only where ProcessorHasSse2()
#endif

// CPUID leaf 1, EDX bit 26.
bool ProcessorHasSse2();

// The build in use: null until the first call of a filter picks one. A test
// may set it to force one.
extern const FilterVariant* filterVariant;

#endif
