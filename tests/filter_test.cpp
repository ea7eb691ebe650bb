#include "filter/filter.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <string.h>

#include <algorithm>
#include <string>

#include "tests/notation.h"

namespace {

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
};

TEST(ExpandDescriptionEscapes, ConvertsAsTheRulesSay) {
    for (const Conversion& c : conversions) {
        const std::string typed = Bytes(c.typed);
        char buffer[DescriptionBufferSize];
        memset(buffer, 'X', sizeof buffer);
        EXPECT_TRUE(ExpandDescriptionEscapes(typed.c_str(), buffer)) << c.typed;
        EXPECT_EQ(Notation(buffer), c.sent) << "typed " << c.typed;
        // The rest of the buffer is zero, not left over from before.
        const size_t length = strlen(buffer);
        for (size_t i = length; i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], '\0') << c.typed;
    }
}

TEST(ExpandDescriptionEscapes, ConvertingTwiceIsNotTheSame) {
    char once[DescriptionBufferSize];
    char twice[DescriptionBufferSize];
    ASSERT_TRUE(ExpandDescriptionEscapes(R"(\\n)", once));
    ASSERT_TRUE(ExpandDescriptionEscapes(once, twice));
    EXPECT_EQ(Notation(twice), "[LF]");
}

struct Overlong {
    const char* name;
    std::string typed;
    bool fits;
    size_t sentLength;
};

TEST(ExpandDescriptionEscapes, NeverWritesPastTheBufferAndSaysWhenTextDoesNotFit) {
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
        EXPECT_EQ(ExpandDescriptionEscapes(c.typed.c_str(), area.buffer), c.fits) << c.name;
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

TEST(CapReceivedLineBreaks, KeepsTheAllowanceAndBlanksTheRest) {
    for (const Cap& c : caps) {
        std::string text = Bytes(c.received);
        const size_t length = text.size();
        CapReceivedLineBreaks(&text[0], c.recvMax);
        EXPECT_EQ(Notation(text), c.shown) << "recvMax " << c.recvMax << ", " << c.received;
        EXPECT_EQ(text.size(), length);
    }
}

TEST(CapReceivedLineBreaks, DefaultKeeps998OfAMillionBytes) {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += "123456789\n";
    CapReceivedLineBreaks(&text[0], 999);
    EXPECT_EQ(text.size(), 1000000u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 998);
    EXPECT_EQ(text.substr(9970, 20), "123456789\n123456789 ");
}

}  // namespace
