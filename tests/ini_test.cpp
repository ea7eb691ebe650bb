// One table of INI files, read through GetPrivateProfileIntA: the real
// function in the Windows builds, the stand-in in the native one. Both must
// give the same values, so the stand-in keeps behaving like the real thing.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <string>

#include "host/windows_api.h"
#include "tests/notation.h"
#include "tests/temp_dir.h"

namespace {

const int32_t Default = 999;

struct IniCase {
    const char* name;
    const char* contents;
    int32_t expected;
};

const IniCase iniCases[] = {
    {"plain", "[general][LF]recvmax=3[LF]", 3},
    {"CR LF lines", "[general][CR][LF]recvmax=5[CR][LF]", 5},
    {"no final line break", "[general][LF]recvmax=6", 6},
    {"names in other case", "[GENERAL][LF]RecvMax=7[LF]", 7},
    {"spaces around names and value", "  [general]  [LF]  recvmax  =   8   [LF]", 8},
    {"tabs around the value", "[general][LF]recvmax=\t9\t[LF]", 9},
    {"comment lines", "; settings[LF];recvmax=1[LF][general][LF]; recvmax=2[LF]recvmax=10[LF]", 10},
    {"comment after the value", "[general][LF]recvmax=11 ; eleven[LF]", 11},
    {"among other keys", "[general][LF]other=1[LF]recvmax=12[LF]more=2[LF]", 12},
    {"after other sections", "[first][LF]recvmax=1[LF][general][LF]recvmax=13[LF][last][LF]recvmax=2", 13},
    {"first of two keys", "[general][LF]recvmax=14[LF]recvmax=15[LF]", 14},
    {"zero", "[general][LF]recvmax=0[LF]", 0},
    {"negative", "[general][LF]recvmax=-5[LF]", -5},
    {"plus sign", "[general][LF]recvmax=+16[LF]", 16},
    {"leading zeros", "[general][LF]recvmax=0017[LF]", 17},
    {"digits then letters", "[general][LF]recvmax=18abc[LF]", 18},
    {"digits then a dot", "[general][LF]recvmax=19.5[LF]", 19},
    {"too large for 32 bits wraps", "[general][LF]recvmax=4294967298[LF]", 2},
    {"largest int", "[general][LF]recvmax=2147483647[LF]", 2147483647},
    {"past largest int", "[general][LF]recvmax=2147483648[LF]", INT32_MIN},
    {"smallest int", "[general][LF]recvmax=-2147483648[LF]", INT32_MIN},
    {"non-numeric", "[general][LF]recvmax=many[LF]", 0},
    {"sign alone", "[general][LF]recvmax=-[LF]", 0},
    {"hexadecimal", "[general][LF]recvmax=0x1F[LF]", 31},
    {"negative hexadecimal", "[general][LF]recvmax=-0x10[LF]", -16},
    {"upper-case X is no prefix", "[general][LF]recvmax=0X10[LF]", 0},
    {"octal", "[general][LF]recvmax=0o17[LF]", 15},
    {"binary", "[general][LF]recvmax=0b101[LF]", 5},
    {"prefix alone", "[general][LF]recvmax=0x[LF]", 0},
    {"hex digit past a decimal", "[general][LF]recvmax=12f[LF]", 12},
    {"decimal digit past binary", "[general][LF]recvmax=0b12[LF]", 1},
    {"in double quotes", "[general][LF]recvmax=\"20\"[LF]", 20},
    {"in single quotes", "[general][LF]recvmax='21'[LF]", 21},
    {"empty value", "[general][LF]recvmax=[LF]", Default},
    {"only spaces", "[general][LF]recvmax=   [LF]", Default},
    {"no equals sign", "[general][LF]recvmax[LF]", Default},
    {"key in another section", "[other][LF]recvmax=3[LF]", Default},
    {"key before any section", "recvmax=3[LF][general][LF]", Default},
    {"misspelt key", "[general][LF]recvmx=3[LF]", Default},
    {"misspelt section", "[genral][LF]recvmax=3[LF]", Default},
    {"no section", "", Default},
    {"utf-8 byte order mark", "\xEF\xBB\xBF[general][LF]recvmax=22[LF]", 22},
    {"spaces inside the brackets", "[ general ][LF]recvmax=30[LF]", 30},
    {"second section of the name is not read", "[general][LF]x=1[LF][other][LF][general][LF]recvmax=23[LF]", Default},
    {"unclosed section header", "[general[LF]recvmax=24[LF]", Default},
    {"text after the section header", "[general] trailing[LF]recvmax=25[LF]", 25},
    {"Ctrl-Z after the value", "[general][LF]recvmax = 26 \x1a[LF]", 26},
    {"unmatched quote", "[general][LF]recvmax=\"28[LF]", 0},
    {"only 29 characters are read", "[general][LF]recvmax=1234567890123456789012345678901[LF]",
     1849262357},
    {"space after the sign", "[general][LF]recvmax=-  3[LF]", 0},
    {"key on the header line", "[general]recvmax=3[LF]", Default},
    {"CR alone ends lines", "[general][CR]recvmax=29[CR]", 29},
};

TEST(PrivateProfileInt, ReadsTheFilesUsersWrite) {
    for (const IniCase& c : iniCases) {
        TempDir dir;
        const std::string file = dir.Write("ryx.config", Bytes(c.contents));
        const int32_t got =
            static_cast<int32_t>(GetPrivateProfileIntA("general", "recvmax", Default, file.c_str()));
        EXPECT_EQ(got, c.expected) << c.name << ": " << c.contents;
    }
}

TEST(PrivateProfileInt, MissingFileGivesTheDefault) {
    TempDir dir;
    const std::string file = dir.Path() + "/ryx.config";
    EXPECT_EQ(static_cast<int32_t>(GetPrivateProfileIntA("general", "recvmax", -3, file.c_str())), -3);
}

// The sample ryx.config of the release package: read through the INI reader
// of this build (the real one under Wine), it gives what no file gives; with
// its example line switched on, it gives the example's value. RYX_SAMPLE_CONFIG
// names another copy to check, such as the one unpacked from the ZIP.
TEST(SampleConfig, ChangesNothingUntilItsExampleIsSwitchedOn) {
    const char* named = getenv("RYX_SAMPLE_CONFIG");
    const std::string sample = named ? named : RYX_SAMPLE_CONFIG_PATH;
    std::ifstream file(sample, std::ios::binary);
    ASSERT_TRUE(file) << sample;
    const std::string contents((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());

    TempDir dir;
    const std::string missing = dir.Path() + "/ryx.config";
    for (int32_t fallback : {Default, -7}) {
        EXPECT_EQ(static_cast<int32_t>(GetPrivateProfileIntA("general", "recvmax", fallback, sample.c_str())),
                  static_cast<int32_t>(GetPrivateProfileIntA("general", "recvmax", fallback, missing.c_str())));
        EXPECT_EQ(static_cast<int32_t>(GetPrivateProfileIntA("general", "recvmax", fallback, sample.c_str())),
                  fallback);
    }

    const size_t example = contents.find(";recvmax=3");
    ASSERT_NE(example, std::string::npos);
    std::string edited = contents;
    edited.erase(example, 1);
    const std::string switchedOn = dir.Write("edited.config", edited);
    EXPECT_EQ(static_cast<int32_t>(GetPrivateProfileIntA("general", "recvmax", Default, switchedOn.c_str())), 3);
}

}  // namespace
