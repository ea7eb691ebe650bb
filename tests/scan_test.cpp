#include "filter/scan.h"

#include <gtest/gtest.h>

#include <string>

namespace {

typedef size_t (*FirstOfFunction)(const char*, char, char, char);

// Every position of the sought byte, after every other byte value: the
// word-at-a-time trick must not be fooled by bytes near the sought ones
// (one more or less, or with the high bit set).
void CheckEveryPosition(FirstOfFunction firstOf, size_t chunkSize) {
    const char sets[][3] = {{'\\', '\r', '\n'}, {'\r', '\n', '\n'}};
    for (const auto& set : sets) {
        for (int filler = 1; filler < 256; ++filler) {
            const char plain = static_cast<char>(filler);
            if (plain == set[0] || plain == set[1] || plain == set[2]) continue;
            std::string chunk(chunkSize, plain);
            ASSERT_EQ(firstOf(chunk.data(), set[0], set[1], set[2]), chunkSize) << filler;
            for (size_t at = 0; at < chunkSize; ++at) {
                for (char sought : set) {
                    std::string text = chunk;
                    text[at] = sought;
                    // A second one later must not hide the first.
                    if (at + 1 < chunkSize) text[chunkSize - 1] = set[2];
                    ASSERT_EQ(firstOf(text.data(), set[0], set[1], set[2]), at)
                        << "filler " << filler << ", at " << at;
                }
            }
        }
    }
}

// Any two positions holding CR or LF, among every other byte value: the mask
// must mark exactly those bytes, so its count and order can be trusted.
template <typename Mask>
void CheckLineBreakMasks(Mask (*lineBreaks)(const char*), size_t chunkSize, unsigned bitsPerByte) {
    for (int filler = 1; filler < 256; ++filler) {
        if (filler == '\r' || filler == '\n') continue;
        for (size_t first = 0; first < chunkSize; ++first) {
            for (size_t second = first; second < chunkSize; ++second) {
                std::string chunk(chunkSize, static_cast<char>(filler));
                chunk[first] = '\r';
                chunk[second] = '\n';
                Mask expected = 0;
                expected |= Mask(1) << (first * bitsPerByte + bitsPerByte - 1);
                expected |= Mask(1) << (second * bitsPerByte + bitsPerByte - 1);
                ASSERT_EQ(lineBreaks(chunk.data()), expected)
                    << "filler " << filler << ", at " << first << " and " << second;
                ASSERT_EQ(scan::FirstIndexOf(expected, bitsPerByte), first);
            }
        }
        ASSERT_EQ(lineBreaks(std::string(chunkSize, static_cast<char>(filler)).data()), Mask(0));
    }
}

TEST(Scan, CountsTheMarkedBytes) {
    const struct {
        unsigned long mask;
        unsigned count;
    } cases[] = {{0, 0}, {1, 1}, {0x8080, 2}, {0xFFFF, 16}, {0x80808080UL, 4}, {~0UL, 8 * sizeof(long)}};
    for (const auto& c : cases) EXPECT_EQ(scan::CountOf(c.mask), c.count) << std::hex << c.mask;
}

TEST(Scan, WordAtATimeMarksExactlyTheLineBreaks) {
    CheckLineBreakMasks(scan::LineBreaksInWord, scan::WordChunkSize, scan::WordMaskBitsPerByte);
}

TEST(Scan, WordAtATimeFindsTheFirstSoughtByte) {
    CheckEveryPosition(scan::FirstOfInWord, scan::WordChunkSize);
}

#if RYX_SCAN_SSE2
TEST(Scan, VectorFindsTheFirstSoughtByte) {
    CheckEveryPosition(scan::FirstOfInVector, scan::VectorChunkSize);
}

TEST(Scan, VectorMarksExactlyTheLineBreaks) {
    CheckLineBreakMasks(scan::LineBreaksInVector, scan::VectorChunkSize, scan::VectorMaskBitsPerByte);
}
#endif

}  // namespace
