#include "filter/filter.h"

#include "filter/transforms.h"
#include "filter/variant.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace {

Expansion ExpandWords(const char* source, char* buffer) { return transforms::Expand<scan::Words>(source, buffer); }
void CapWords(char* text, uint32_t allowance) { transforms::Cap<scan::Words>(text, allowance); }

// Picked on first use rather than in the entry routine, which does nothing
// but record the module handle.
const FilterVariant* Picked() {
    if (filterVariant == nullptr) {
#if RYX_HAVE_SSE2_FILTERS
        filterVariant = ProcessorHasSse2() ? &Sse2Filters : &WordFilters;
#else
        filterVariant = &WordFilters;
#endif
    }
    return filterVariant;
}

}  // namespace

const FilterVariant WordFilters = {ExpandWords, CapWords};

const FilterVariant* filterVariant = nullptr;

bool ProcessorHasSse2() {
#if RYX_HAVE_SSE2_FILTERS
    // __get_cpuid checks first that the processor has CPUID at all.
    unsigned eax, ebx, ecx, edx;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (edx & bit_SSE2) != 0;
#else
    return false;
#endif
}

Expansion ExpandDescriptionEscapes(const char* source, char* buffer) { return Picked()->expand(source, buffer); }

void CapReceivedLineBreaks(char* text, int32_t recvMax) {
    // recvMax - 1 with wrap-around, done unsigned so INT32_MIN is no overflow.
    const uint32_t wrapped = static_cast<uint32_t>(recvMax) - 1u;
    Picked()->cap(text, wrapped > 0x7FFFFFFFu || wrapped == 0 ? 1u : wrapped);
}
