// Both transforms, through each build of them that this processor runs:
// the tables of cases, the edges of buffers and pages, and random texts
// against the rules written as plain loops.
#include "filter/filter.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <string.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "filter/variant.h"
#include "tests/guarded_pages.h"
#include "tests/notation.h"
#include "tests/reference_filters.h"

namespace {

struct Build {
    const char* name;
    const FilterVariant* filters;
};
void PrintTo(const Build& build, std::ostream* out) { *out << build.name; }

std::vector<Build> BuildsThatRunHere() {
    std::vector<Build> builds = {{"Words", &WordFilters}};
#if RYX_HAVE_SSE2_FILTERS
    if (ProcessorHasSse2()) builds.push_back({"Sse2", &Sse2Filters});
#endif
    return builds;
}

// The public functions, with the build under test forced.
class Filters : public ::testing::TestWithParam<Build> {
protected:
    void SetUp() override { filterVariant = GetParam().filters; }
    void TearDown() override { filterVariant = nullptr; }
};

INSTANTIATE_TEST_SUITE_P(Builds, Filters, ::testing::ValuesIn(BuildsThatRunHere()),
                         [](const ::testing::TestParamInfo<Build>& info) { return info.param.name; });

TEST(FilterBuild, FirstCallPicksSse2WhereTheProcessorHasIt) {
    filterVariant = nullptr;
    char buffer[DescriptionBufferSize];
    ExpandDescriptionEscapes("x", buffer);
#if RYX_HAVE_SSE2_FILTERS
    EXPECT_EQ(filterVariant, ProcessorHasSse2() ? &Sse2Filters : &WordFilters);
#else
    EXPECT_EQ(filterVariant, &WordFilters);
#endif
    filterVariant = nullptr;
}

struct Conversion {
    const char* typed;
    const char* sent;
};

const Conversion conversions[] = {
    {R"(Away\nback)", "Away[LF]back"},
    {R"(C:\\dir)", R"(C:\dir)"},
    {R"(\\n)", R"(\n)"},  // unescaped backslash, then n: no line break
    {R"(a\tb)", "ab"},
    {R"(\N)", ""},
    {R"(a\[LF]b)", "ab"},  // the escaped LF is dropped and not counted
    {R"(1\n2\n3\n4\n5\n6\n7)", "1[LF]2[LF]3[LF]4[LF]567"},
    {"x[CR][LF]y", "x[LF][LF]y"},
    {R"(a[LF]b\nc\nd\ne)", "a[LF]b[LF]c[LF]d[LF]e"},
    {R"(a[LF]b\nc\nd\ne\nf[LF]g[CR]h)", "a[LF]b[LF]c[LF]d[LF]efgh"},
    {"[CR][CR][CR][CR][CR]", "[LF][LF][LF][LF]"},
    {R"(abc\)", "abc"},
    {R"(\)", ""},
    {R"(\\\)", R"(\)"},
    {R"(\\\\)", R"(\\)"},
    {R"(\\\n)", R"(\[LF])"},
    {"", ""},
    {"plain text", "plain text"},
    {"Mi\xB3" "e\x9Cnie", "Mi\xB3" "e\x9Cnie"},  // Windows-1250 letters pass through
    {"tab\there\x01\x0B\x0C", "tab\there\x01\x0B\x0C"},  // other control characters too
};

TEST_P(Filters, ConvertsAsTheRulesSay) {
    for (const Conversion& c : conversions) {
        const std::string typed = Bytes(c.typed);
        char buffer[DescriptionBufferSize];
        memset(buffer, 'X', sizeof buffer);
        const Expansion result = ExpandDescriptionEscapes(typed.c_str(), buffer);
        EXPECT_EQ(Notation(buffer), c.sent) << "typed " << c.typed;
        // Unchanged exactly when the text sent is the text typed.
        EXPECT_EQ(result, Bytes(c.sent) == typed ? ExpansionUnchanged : ExpansionConverted) << c.typed;
        // The rest of the buffer is zero, not left over from before.
        const size_t length = strlen(buffer);
        for (size_t i = length; i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], '\0') << c.typed;
    }
}

TEST_P(Filters, ConvertingTwiceIsNotTheSame) {
    char once[DescriptionBufferSize];
    char twice[DescriptionBufferSize];
    ASSERT_EQ(ExpandDescriptionEscapes(R"(\\n)", once), ExpansionConverted);
    ASSERT_EQ(ExpandDescriptionEscapes(once, twice), ExpansionConverted);
    EXPECT_EQ(Notation(twice), "[LF]");
}

struct Overlong {
    const char* name;
    std::string typed;
    bool fits;
    size_t sentLength;
};

TEST_P(Filters, NeverWritesPastTheBufferAndSaysWhenTextDoesNotFit) {
    const Overlong cases[] = {
        {"2047 plain", std::string(2047, 'a'), true, 2047},
        {"2048 plain", std::string(2048, 'a'), false, 2047},
        {"100000 plain", std::string(100000, 'a'), false, 2047},
        {"2048 with one escape", std::string(2046, 'a') + R"(\n)", true, 2047},
        {"2049 ending in a doubled backslash", std::string(2047, 'a') + R"(\\)", false, 2047},
        {"2047 then a dropped escape", std::string(2047, 'a') + R"(\t)", true, 2047},
        {"2047 then a fifth line break", std::string(4, '\n') + std::string(2043, 'a') + "\n",
         true, 2047},
        {"100000 of escapes", [] {
             std::string s;
             while (s.size() < 100000) s += R"(\\\n\t)";
             return s;
         }(),
         false, 2047},
        {"100000 of dropped escapes", [] {
             std::string s;
             while (s.size() < 100000) s += R"(\x)";
             return s + "end";
         }(),
         true, 3},
    };
    for (const Overlong& c : cases) {
        // Guard bytes after the buffer show any write past its end.
        struct {
            char buffer[DescriptionBufferSize];
            char guard[64];
        } area;
        memset(&area, 'G', sizeof area);
        EXPECT_EQ(ExpandDescriptionEscapes(c.typed.c_str(), area.buffer) != ExpansionTooLong, c.fits) << c.name;
        EXPECT_EQ(strlen(area.buffer), c.sentLength) << c.name;
        EXPECT_EQ(std::string(area.guard, sizeof area.guard), std::string(64, 'G')) << c.name;
    }
}

struct Cap {
    int32_t recvMax;
    const char* received;
    const char* shown;
};

const Cap caps[] = {
    {3, "a[LF]b[LF]c[LF]d", "a[LF]b[LF]c d"},
    {1, "a[LF]b[LF]c[LF]d", "a[LF]b c d"},
    {0, "a[LF]b[LF]c[LF]d", "a[LF]b c d"},
    {-5, "a[LF]b[LF]c[LF]d", "a[LF]b c d"},
    {2, "a[CR][LF]b", "a[CR] b"},
    {999, "a[LF]b[CR]c", "a[LF]b[CR]c"},
    {INT_MIN, "[LF][LF][LF]", "[LF][LF][LF]"},  // INT_MIN - 1 wraps to INT_MAX
    {INT_MIN + 1, "[LF][LF][LF]", "[LF]  "},
    {INT_MAX, "[CR][LF][CR]", "[CR][LF][CR]"},
    {5, "", ""},
    {1, R"(no breaks \n here)", R"(no breaks \n here)"},
};

TEST_P(Filters, KeepsTheAllowanceAndBlanksTheRest) {
    for (const Cap& c : caps) {
        std::string text = Bytes(c.received);
        const size_t length = text.size();
        CapReceivedLineBreaks(&text[0], c.recvMax);
        EXPECT_EQ(Notation(text), c.shown) << "recvMax " << c.recvMax << ", " << c.received;
        EXPECT_EQ(text.size(), length);
    }
}

TEST_P(Filters, DefaultKeeps998OfAMillionBytes) {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += "123456789\n";
    CapReceivedLineBreaks(&text[0], 999);
    EXPECT_EQ(text.size(), 1000000u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 998);
    EXPECT_EQ(text.substr(9970, 20), "123456789\n123456789 ");
}

// Nothing but line breaks, with an allowance that runs out near the end:
// their count may not overflow however many chunks are counted at a time.
TEST_P(Filters, LongRunsOfLineBreaksAreCountedExactly) {
    for (const char* unit : {"\n", "\r\n"}) {
        std::string text;
        while (text.size() < 10000) text += unit;
        for (int32_t recvMax : {9000, 9999, 10000, 10001}) {
            std::string capped = text;
            CapReceivedLineBreaks(&capped[0], recvMax);
            EXPECT_TRUE(capped == ReferenceCap(text, recvMax)) << "recvMax " << recvMax;
        }
    }
}

// What the scans may read past a text's terminator stays in its page: texts
// ending at the last byte of a page, or starting at the first, with no
// readable page beyond. A stray read would crash the test.
TEST_P(Filters, ReadNothingOutsideTheTextsPage) {
    GuardedPages pages;
    ASSERT_NE(pages.page(), nullptr);
    const std::string pattern = "ab\\c\\nd\r\ne\\xf\ng\nh\ni\nj";
    for (size_t length = 0; length <= 40; ++length) {
        for (char filler : {'\0', '\n', 'q'}) {
            const std::string text = pattern.substr(0, std::min(length, pattern.size())) +
                                     std::string(length > pattern.size() ? length - pattern.size() : 0, 'z');
            for (bool atEnd : {true, false}) {
                char* placed = atEnd ? pages.AtEnd(text, filler) : pages.AtStart(text, filler);
                char buffer[DescriptionBufferSize];
                ExpandDescriptionEscapes(placed, buffer);
                EXPECT_EQ(std::string(buffer), ReferenceExpansion(text)) << Notation(text);
                CapReceivedLineBreaks(placed, 3);
                EXPECT_EQ(std::string(placed), ReferenceCap(text, 3)) << Notation(text);
            }
        }
    }
}

// The cap reads whole aligned chunks, so a text's first chunk may begin with
// bytes that are not its own: line breaks and terminators there must be
// neither counted nor touched, at every offset.
TEST_P(Filters, CapIgnoresTheBytesAroundTheText) {
    const std::string texts[] = {"\x01" "a\nb", "\n\n\n\n", "\x01\x01\n", "abc", "", "\r\n\r\n\r\nxyz\n\n"};
    for (char around : {'\0', '\n', '\r', '\x01'}) {
        for (size_t offset = 0; offset < 32; ++offset) {
            for (const std::string& text : texts) {
                std::string area(96, around);
                area.replace(offset, text.size() + 1, text + '\0');
                CapReceivedLineBreaks(&area[offset], 2);
                std::string expected(96, around);
                expected.replace(offset, text.size() + 1, ReferenceCap(text, 2) + '\0');
                ASSERT_EQ(Notation(area), Notation(expected)) << "offset " << offset << ": " << Notation(text);
            }
        }
    }
}

// Random texts over the bytes that matter, at random offsets, against the
// rules: the builds must agree with them byte for byte, the Expansion
// verdict included.
TEST_P(Filters, MatchRulesOnRandomTexts) {
    std::mt19937 random(20261211);
    const char alphabet[] = {'a', 'n', 'N', ' ', '\\', '\\', '\r', '\n', '\n', '\t', '\x01', '\x0E', '\x80', '\xFF', '\xB3'};
    for (int round = 0; round < 20000; ++round) {
        // Mostly short; some about the buffer's size, some past a lane's
        // worth of counted chunks.
        const size_t length = round % 10 == 0 ? 2040 + random() % 20 : round % 10 == 1 ? 4000 + random() % 200 : random() % 200;
        std::string text(length, 'a');
        for (char& c : text) c = alphabet[random() % sizeof alphabet];
        const size_t offset = random() % 16;
        std::string area(offset, 'x');
        area += text;

        char buffer[DescriptionBufferSize];
        const Expansion result = ExpandDescriptionEscapes(area.c_str() + offset, buffer);
        const std::string sent = ReferenceExpansion(text);
        if (sent.size() > DescriptionBufferSize - 1) {
            ASSERT_EQ(result, ExpansionTooLong) << Notation(text);
            ASSERT_EQ(std::string(buffer), sent.substr(0, DescriptionBufferSize - 1)) << Notation(text);
        } else {
            ASSERT_EQ(result, sent == text ? ExpansionUnchanged : ExpansionConverted) << Notation(text);
            ASSERT_EQ(std::string(buffer), sent) << Notation(text);
        }

        const int32_t recvMaxes[] = {static_cast<int32_t>(random() % 40) - 2, 500, INT32_MAX};
        const int32_t recvMax = recvMaxes[round % 3];
        CapReceivedLineBreaks(&area[offset], recvMax);
        ASSERT_EQ(area.substr(offset), ReferenceCap(text, recvMax)) << "recvMax " << recvMax << ": " << Notation(text);
    }
}

}  // namespace
