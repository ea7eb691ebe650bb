// The chunk scanners' tricks, checked exhaustively: every position, among
// every other byte value, for both scanners the plugin ships.
#include "filter/scan.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The mask bit a scanner sets for byte i.
template <class Scan>
typename Scan::Mask Mark(size_t i) {
    return typename Scan::Mask(1) << (i * Scan::BitsPerByte + Scan::BitsPerByte - 1);
}

template <class Scan>
typename Scan::Chunk Load(const std::string& bytes) {
    return Scan::Load(bytes.data());
}

template <class Scan>
class ScanTest : public ::testing::Test {};

#ifdef __SSE2__
typedef ::testing::Types<scan::Words, scan::Sse2> Scanners;
#else
typedef ::testing::Types<scan::Words> Scanners;
#endif
TYPED_TEST_SUITE(ScanTest, Scanners);

// The first of backslash, CR, LF and NUL, after any other byte value: the
// word trick must not be fooled by bytes near the sought ones (one more or
// less, or with the high bit set), nor by a second one later. Other bytes
// below 0x0E may be marked too (they pass on unchanged); no other byte is.
TYPED_TEST(ScanTest, SpecialsFindTheFirstSpecialByte) {
    typedef TypeParam Scan;
    const char specials[] = {'\\', '\r', '\n', '\0'};
    for (int filler = 1; filler < 256; ++filler) {
        const char plain = static_cast<char>(filler);
        if (plain == '\\' || plain == '\r' || plain == '\n') continue;
        const bool control = filler < 0x0E;
        const std::string chunk(Scan::Size, plain);
        const typename Scan::Mask none = Scan::Specials(Load<Scan>(chunk));
        if (control) {
            ASSERT_NE(none, 0u) << filler;
            ASSERT_EQ(Scan::FirstIndex(none), 0u) << filler;
            continue;
        }
        ASSERT_EQ(none, 0u) << filler;
        for (size_t at = 0; at < Scan::Size; ++at) {
            for (char special : specials) {
                std::string text = chunk;
                text[at] = special;
                if (at + 1 < Scan::Size) text[Scan::Size - 1] = '\0';
                const typename Scan::Mask found = Scan::Specials(Load<Scan>(text));
                ASSERT_NE(found, 0u);
                ASSERT_EQ(Scan::FirstIndex(found), at) << "filler " << filler << ", at " << at;
            }
        }
    }
}

// Any two positions holding CR, LF or NUL, among every other byte value: the
// line-break and terminator masks mark exactly those bytes, so that they can
// be counted and cut at the terminator.
TYPED_TEST(ScanTest, LineBreaksAndTerminatorsAreMarkedExactly) {
    typedef TypeParam Scan;
    const struct {
        char first;
        char second;
    } pairs[] = {{'\r', '\n'}, {'\n', '\r'}, {'\0', '\n'}, {'\n', '\0'}, {'\0', '\0'}, {'\r', '\r'}};
    for (int filler = 1; filler < 256; ++filler) {
        if (filler == '\r' || filler == '\n') continue;
        for (const auto& pair : pairs) {
            for (size_t first = 0; first < Scan::Size; ++first) {
                for (size_t second = first + 1; second < Scan::Size; ++second) {
                    std::string text(Scan::Size, static_cast<char>(filler));
                    text[first] = pair.first;
                    text[second] = pair.second;
                    typename Scan::Mask breaks = 0, ends = 0;
                    (pair.first == '\0' ? ends : breaks) |= Mark<Scan>(first);
                    (pair.second == '\0' ? ends : breaks) |= Mark<Scan>(second);
                    const typename Scan::Chunk chunk = Load<Scan>(text);
                    ASSERT_EQ(Scan::LineBreaks(chunk), breaks)
                        << "filler " << filler << ", at " << first << " and " << second;
                    ASSERT_EQ(Scan::Terminators(chunk), ends)
                        << "filler " << filler << ", at " << first << " and " << second;
                    ASSERT_EQ(Scan::HasTerminator(chunk), ends != 0);
                    ASSERT_EQ(Scan::Count(breaks | ends), 2u);
                }
            }
        }
    }
}

TYPED_TEST(ScanTest, FirstBytesMarksTheBytesBeforeAnIndex) {
    typedef TypeParam Scan;
    for (size_t n = 0; n < Scan::Size; ++n) {
        typename Scan::Mask expected = 0;
        for (size_t i = 0; i < n; ++i) expected |= Mark<Scan>(i);
        EXPECT_EQ(Scan::FirstBytes(n), expected) << n;
    }
}

// Lanes counted as far as a lane goes (MaxCountedChunks chunks, each with a
// line break in every byte), then totalled.
TYPED_TEST(ScanTest, CountsAddUpAcrossLanes) {
    typedef TypeParam Scan;
    const struct {
        const char* name;
        std::string chunk;
        unsigned perChunk;
    } cases[] = {
        {"none", std::string(Scan::Size, 'x'), 0},
        {"one", "\n" + std::string(Scan::Size - 1, 'x'), 1},
        {"all", std::string(Scan::Size, '\r'), static_cast<unsigned>(Scan::Size)},
        {"every other", [] {
             std::string s(Scan::Size, '\xFF');
             for (size_t i = 0; i < s.size(); i += 2) s[i] = '\n';
             return s;
         }(),
         static_cast<unsigned>(Scan::Size / 2)},
    };
    for (const auto& c : cases) {
        typename Scan::Counts counts = Scan::NoCounts();
        for (size_t i = 0; i < Scan::MaxCountedChunks; ++i) counts = Scan::AddLineBreaks(counts, Load<Scan>(c.chunk));
        EXPECT_EQ(Scan::Total(counts), c.perChunk * Scan::MaxCountedChunks) << c.name;
    }
}

TEST(Scan, FitsInPage) {
    const struct {
        uintptr_t address;
        size_t size;
        bool fits;
    } cases[] = {
        {0x10000, 16, true}, {0x10FF0, 16, true}, {0x10FF1, 16, false},
        {0x10FFF, 1, true},  {0x10FFC, 4, true},  {0x10FFD, 4, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scan::FitsInPage(reinterpret_cast<const char*>(c.address), c.size), c.fits)
            << std::hex << c.address << " + " << c.size;
}

}  // namespace
