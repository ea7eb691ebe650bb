// Finding the few bytes that need a decision in a description that is
// mostly plain text, a chunk of bytes at a time. Internal to the filters.
#ifndef RYX_FILTER_SCAN_H
#define RYX_FILTER_SCAN_H

#include <stddef.h>
#include <string.h>
// RYX_SCAN_WORDS forces the word-at-a-time scan where SSE2 is there too, so
// that its tests can run on any x86 machine.
#if defined(__SSE2__) && !defined(RYX_SCAN_WORDS)
#define RYX_SCAN_SSE2 1
#include <emmintrin.h>
#endif

namespace scan {

// A machine word at a time. XORed with a byte repeated, a word has a zero
// byte where it holds that byte, and (x - 0x0101...) & ~x & 0x8080... marks
// the first zero byte of x exactly (the marks above it may be false).
typedef unsigned long Word;
const size_t WordChunkSize = sizeof(Word);

// The index of the first of the bytes a, b and c among the WordChunkSize
// bytes at p, or WordChunkSize if none is there.
inline size_t FirstOfInWord(const char* p, char a, char b, char c) {
    const Word ones = ~Word(0) / 0xFF;  // 0x01 in every byte
    Word word;
    memcpy(&word, p, sizeof word);
    const Word xa = word ^ (ones * static_cast<unsigned char>(a));
    const Word xb = word ^ (ones * static_cast<unsigned char>(b));
    const Word xc = word ^ (ones * static_cast<unsigned char>(c));
    const Word marks = (((xa - ones) & ~xa) | ((xb - ones) & ~xb) | ((xc - ones) & ~xc)) & (ones * 0x80);
    // x86 is little-endian: the first byte in memory is the lowest.
    return marks == 0 ? WordChunkSize : static_cast<size_t>(__builtin_ctzl(marks)) / 8;
}

// The CR and LF bytes among the WordChunkSize bytes at p, as a mask with bit
// 8i + 7 set for byte i. Exact, unlike the marks above: ~(((x & 0x7F...) +
// 0x7F...) | x) & 0x8080... marks every zero byte of x and nothing else.
inline Word LineBreaksInWord(const char* p) {
    const Word ones = ~Word(0) / 0xFF;
    const Word lows = ones * 0x7F;
    Word word;
    memcpy(&word, p, sizeof word);
    const Word xr = word ^ (ones * '\r');
    const Word xn = word ^ (ones * '\n');
    return (~(((xr & lows) + lows) | xr) | ~(((xn & lows) + lows) | xn)) & ~lows;
}
const unsigned WordMaskBitsPerByte = 8;

#if RYX_SCAN_SSE2
const size_t VectorChunkSize = 16;

// The same for the 16 bytes at p, with SSE2 compares.
inline size_t FirstOfInVector(const char* p, char a, char b, char c) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hits = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(chunk, _mm_set1_epi8(a)), _mm_cmpeq_epi8(chunk, _mm_set1_epi8(b))),
        _mm_cmpeq_epi8(chunk, _mm_set1_epi8(c)));
    const unsigned bits = static_cast<unsigned>(_mm_movemask_epi8(hits));
    return bits == 0 ? VectorChunkSize : static_cast<size_t>(__builtin_ctz(bits));
}

// The CR and LF bytes among the 16 at p: bit i set for byte i.
inline unsigned LineBreaksInVector(const char* p) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('\r')),
                                      _mm_cmpeq_epi8(chunk, _mm_set1_epi8('\n')));
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
}
const unsigned VectorMaskBitsPerByte = 1;

// What the filters use: the widest the target has.
const size_t ChunkSize = VectorChunkSize;
typedef unsigned Mask;
const unsigned MaskBitsPerByte = VectorMaskBitsPerByte;
inline size_t FirstOf(const char* p, char a, char b, char c) { return FirstOfInVector(p, a, b, c); }
inline Mask LineBreaks(const char* p) { return LineBreaksInVector(p); }
#else
const size_t ChunkSize = WordChunkSize;
typedef Word Mask;
const unsigned MaskBitsPerByte = WordMaskBitsPerByte;
inline size_t FirstOf(const char* p, char a, char b, char c) { return FirstOfInWord(p, a, b, c); }
inline Mask LineBreaks(const char* p) { return LineBreaksInWord(p); }
#endif

// How many bytes a mask marks, and the index of the first one it marks.
// (The count by adding bits in pairs, nibbles and bytes: x86 without POPCNT,
// the compilers' default, would make __builtin_popcount a library call.)
inline unsigned CountOf(unsigned long mask) {
    const unsigned long ones = ~0UL / 0xFF;
    mask -= (mask >> 1) & (ones * 0x55);
    mask = (mask & (ones * 0x33)) + ((mask >> 2) & (ones * 0x33));
    mask = (mask + (mask >> 4)) & (ones * 0x0F);
    return static_cast<unsigned>((mask * ones) >> ((sizeof mask - 1) * 8));
}
inline size_t FirstIndexOf(unsigned long mask, unsigned bitsPerByte) {
    return static_cast<size_t>(__builtin_ctzl(mask)) / bitsPerByte;
}

}  // namespace scan

#endif
