#include "bench/floors.h"

#include <emmintrin.h>
#include <stdint.h>

#include "filter/filter.h"

// On 32-bit Windows the caller's stack may be only 4-byte aligned.
#if defined(__i386__)
#define FLOOR __attribute__((target("sse2"), force_align_arg_pointer, noinline))
#else
#define FLOOR __attribute__((target("sse2"), noinline))
#endif

FLOOR size_t FloorLength(const char* text) {
    // Aligned loads, as any strlen does, so as not to read into another page;
    // the bytes before the text in the first chunk are masked off.
    const uintptr_t lead = reinterpret_cast<uintptr_t>(text) & 15;
    const char* p = text - lead;
    unsigned zeros = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128())));
    zeros &= ~0u << lead;
    while (zeros == 0) {
        p += 16;
        zeros = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_cmpeq_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128())));
    }
    return static_cast<size_t>(p + __builtin_ctz(zeros) - text);
}

FLOOR void FloorZeroAndCopy(char* buffer, const char* text, size_t length) {
    // 64 bytes a round, as a good memset or memcpy does.
    const __m128i zero = _mm_setzero_si128();
    for (size_t i = 0; i < DescriptionBufferSize; i += 64) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + i), zero);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + i + 16), zero);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + i + 32), zero);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + i + 48), zero);
    }
    // Whole chunks, then the last one (terminator included) overlapping.
    const size_t size = length + 1;
    size_t i = 0;
    for (; i + 64 <= size; i += 64) {
        const __m128i* from = reinterpret_cast<const __m128i*>(text + i);
        __m128i* to = reinterpret_cast<__m128i*>(buffer + i);
        const __m128i a = _mm_loadu_si128(from), b = _mm_loadu_si128(from + 1);
        const __m128i c = _mm_loadu_si128(from + 2), d = _mm_loadu_si128(from + 3);
        _mm_storeu_si128(to, a);
        _mm_storeu_si128(to + 1, b);
        _mm_storeu_si128(to + 2, c);
        _mm_storeu_si128(to + 3, d);
    }
    for (; i + 16 <= size; i += 16)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + i),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i)));
    if (i < size) {
        if (size >= 16) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + size - 16),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + size - 16)));
        } else {
            for (; i < size; ++i) buffer[i] = text[i];
        }
    }
}
