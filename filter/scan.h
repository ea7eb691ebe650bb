// Looking at a description a chunk of bytes at a time, to find the few bytes
// that need a decision in text that is mostly plain. Two scanners with the
// same members: Words, 4 bytes at a time in plain integer code that any i686
// runs, and Sse2, 16 bytes at a time. The filters are written once, over
// either (transforms.h). Internal to the filters.
#ifndef RYX_FILTER_SCAN_H
#define RYX_FILTER_SCAN_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// The filters read whole chunks, so a chunk may hold bytes past the text's
// terminator: harmless, since a load never reaches into another page (the
// callers see to that), but AddressSanitizer would report it. Under the
// sanitizer the loads are kept out of line and unchecked; elsewhere they are
// always inlined.
#if defined(__SANITIZE_ADDRESS__)
#define RYX_CHUNK_LOAD __attribute__((no_sanitize_address, noinline))
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define RYX_CHUNK_LOAD __attribute__((no_sanitize("address"), noinline))
#endif
#endif
#ifndef RYX_CHUNK_LOAD
#define RYX_CHUNK_LOAD inline __attribute__((always_inline))
#endif
#define RYX_INLINE inline __attribute__((always_inline))

namespace scan {

// Pages are 4 KiB on x86 (larger ones are multiples): a load of `size` bytes
// at p stays in p's page when this holds.
const uintptr_t PageSize = 4096;
inline bool FitsInPage(const char* p, size_t size) {
    return (reinterpret_cast<uintptr_t>(p) & (PageSize - 1)) <= PageSize - size;
}
// The start of the aligned chunk of `size` bytes (a power of two) that holds
// p. An aligned load never reaches into another page.
template <typename Char>
inline Char* ChunkStart(Char* p, size_t size) {
    return reinterpret_cast<Char*>(reinterpret_cast<uintptr_t>(p) & ~(uintptr_t(size) - 1));
}

// 4 bytes at a time. XORed with a byte repeated, a word has a zero byte
// where it held that byte. Masks mark byte i with bit 8i + 7 (x86 is
// little-endian: the first byte in memory is the lowest).
struct Words {
    typedef uint32_t Chunk;
    typedef uint32_t Mask;
    // Line breaks counted per byte lane, in a word.
    typedef uint32_t Counts;
    static const size_t Size = 4;
    static const unsigned BitsPerByte = 8;
    // A lane counts at most one line break a chunk, and holds 255.
    static const size_t MaxCountedChunks = 255;

    static const uint32_t Ones = 0x01010101u;
    static const uint32_t Highs = 0x80808080u;
    static const uint32_t Lows = 0x7F7F7F7Fu;

    static RYX_CHUNK_LOAD Chunk Load(const char* p) {
        Chunk chunk;
        memcpy(&chunk, p, sizeof chunk);
        return chunk;
    }
    static RYX_INLINE void Store(char* p, Chunk chunk) { memcpy(p, &chunk, sizeof chunk); }

    // (x - 0x01...) & ~x & 0x80... marks the first zero byte of x exactly;
    // marks above it may be false. So the first mark of several such is
    // always a true one, which is all that finding the first needs.
    static RYX_INLINE Mask FirstZeroMarks(Chunk x) { return (x - Ones) & ~x & Highs; }
    // ~(((x & 0x7F...) + 0x7F...) | x) & 0x80... marks every zero byte of x
    // and nothing else: exact, for counting.
    static RYX_INLINE Mask ZeroBytes(Chunk x) { return ~(((x & Lows) + Lows) | x) & Highs; }

    // Marks, first one exact, the bytes that may need a decision: every
    // byte below 0x0E (NUL, LF and CR among them) and every backslash.
    // (x - 0x0E...) & ~x & 0x80... marks the first byte below 0x0E the way
    // the zero test above marks the first zero; the few other control
    // characters it lets through are passed on as they are.
    static RYX_INLINE Mask Specials(Chunk c) {
        return ((c - Ones * 0x0E) & ~c & Highs) | FirstZeroMarks(c ^ (Ones * '\\'));
    }
    // Exactly the NUL bytes, and whether there is one.
    static RYX_INLINE Mask Terminators(Chunk c) { return ZeroBytes(c); }
    static RYX_INLINE bool HasTerminator(Chunk c) { return FirstZeroMarks(c) != 0; }
    // Exactly the CR and LF bytes.
    static RYX_INLINE Mask LineBreaks(Chunk c) {
        return ZeroBytes(c ^ (Ones * '\r')) | ZeroBytes(c ^ (Ones * '\n'));
    }

    static RYX_INLINE Counts NoCounts() { return 0; }
    // One more per lane that holds a line break: the mark moved to bit 0.
    static RYX_INLINE Counts AddLineBreaks(Counts counts, Chunk c) { return counts + (LineBreaks(c) >> 7); }
    static RYX_INLINE unsigned Total(Counts counts) {
        const uint32_t pairs = (counts & 0x00FF00FFu) + ((counts >> 8) & 0x00FF00FFu);
        return (pairs & 0xFFFFu) + (pairs >> 16);
    }

    // Marks for the first n bytes of a chunk, n < Size.
    static RYX_INLINE Mask FirstBytes(size_t n) { return ((uint32_t(1) << (8 * n)) - 1) & Highs; }
    static RYX_INLINE unsigned Count(Mask m) { return ((m >> 7) * Ones) >> 24; }
    static RYX_INLINE size_t FirstIndex(Mask m) { return static_cast<size_t>(__builtin_ctz(m)) / 8; }
    // Zeros every byte from p up to end.
    static RYX_INLINE void ZeroUpTo(char* p, char* end) {
        for (; end - p >= 4; p += 4) Store(p, 0);
        for (; p < end; ++p) *p = '\0';
    }
};

#ifdef __SSE2__
// 16 bytes at a time with SSE2. Only the SSE2 build of the filters
// (filter_sse2.cpp) is compiled with SSE2 allowed, and only it uses this.
struct Sse2 {
    typedef __m128i Chunk;
    typedef unsigned Mask;  // bit i for byte i
    typedef __m128i Counts;
    static const size_t Size = 16;
    static const unsigned BitsPerByte = 1;
    static const size_t MaxCountedChunks = 255;

    static RYX_CHUNK_LOAD Chunk Load(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static RYX_INLINE void Store(char* p, Chunk chunk) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), chunk); }

    // 0xFF in every byte equal to b.
    static RYX_INLINE __m128i Equal(Chunk c, char b) { return _mm_cmpeq_epi8(c, _mm_set1_epi8(b)); }
    static RYX_INLINE __m128i LineBreakBytes(Chunk c) { return _mm_or_si128(Equal(c, '\r'), Equal(c, '\n')); }

    // Every byte below 0x0E (subtracting 13 with saturation leaves zero)
    // and every backslash, as above.
    static RYX_INLINE Mask Specials(Chunk c) {
        const __m128i low = _mm_cmpeq_epi8(_mm_subs_epu8(c, _mm_set1_epi8(13)), _mm_setzero_si128());
        return static_cast<Mask>(_mm_movemask_epi8(_mm_or_si128(low, Equal(c, '\\'))));
    }
    static RYX_INLINE Mask Terminators(Chunk c) { return static_cast<Mask>(_mm_movemask_epi8(Equal(c, '\0'))); }
    static RYX_INLINE bool HasTerminator(Chunk c) { return Terminators(c) != 0; }
    static RYX_INLINE Mask LineBreaks(Chunk c) { return static_cast<Mask>(_mm_movemask_epi8(LineBreakBytes(c))); }

    static RYX_INLINE Counts NoCounts() { return _mm_setzero_si128(); }
    // A line break's byte compares as 0xFF, that is -1: subtracting counts it.
    static RYX_INLINE Counts AddLineBreaks(Counts counts, Chunk c) { return _mm_sub_epi8(counts, LineBreakBytes(c)); }
    // psadbw against zero sums each half's 8 lanes.
    static RYX_INLINE unsigned Total(Counts counts) {
        const __m128i halves = _mm_sad_epu8(counts, _mm_setzero_si128());
        return static_cast<unsigned>(_mm_cvtsi128_si32(halves) + _mm_cvtsi128_si32(_mm_srli_si128(halves, 8)));
    }

    static RYX_INLINE Mask FirstBytes(size_t n) { return (Mask(1) << n) - 1; }
    // Bits added in pairs, nibbles and bytes: i686 has no POPCNT.
    static RYX_INLINE unsigned Count(Mask m) {
        m -= (m >> 1) & 0x5555u;
        m = (m & 0x3333u) + ((m >> 2) & 0x3333u);
        m = (m + (m >> 4)) & 0x0F0Fu;
        return (m + (m >> 8)) & 0x1Fu;
    }
    static RYX_INLINE size_t FirstIndex(Mask m) { return static_cast<size_t>(__builtin_ctz(m)); }
    // Zeros every byte from p up to end, 64 bytes a round while it can.
    static RYX_INLINE void ZeroUpTo(char* p, char* end) {
        const __m128i zero = _mm_setzero_si128();
        for (; end - p >= 64; p += 64) {
            Store(p, zero);
            Store(p + 16, zero);
            Store(p + 32, zero);
            Store(p + 48, zero);
        }
        for (; end - p >= 16; p += 16) Store(p, zero);
        for (; p < end; ++p) *p = '\0';
    }
};
#endif

}  // namespace scan

#endif
