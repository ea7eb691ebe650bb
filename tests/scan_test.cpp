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

TEST(Scan, WordAtATimeFindsTheFirstSoughtByte) {
    CheckEveryPosition(scan::FirstOfInWord, scan::WordChunkSize);
}

#if RYX_SCAN_SSE2
TEST(Scan, VectorFindsTheFirstSoughtByte) {
    CheckEveryPosition(scan::FirstOfInVector, scan::VectorChunkSize);
}
#endif

}  // namespace
