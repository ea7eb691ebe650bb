// ExpandDescriptionEscapes against the rules written as a plain loop.
#include <stdint.h>
#include <string.h>

#include <string>

#include "filter/filter.h"
#include "fuzz/check.h"

namespace {

// The conversion, one character at a time and without a length limit.
std::string Reference(const char* source) {
    std::string sent;
    int lineBreaks = 0;
    auto lineBreak = [&] {
        if (++lineBreaks <= MaxSentLineBreaks) sent += '\n';
    };
    for (const char* p = source; *p; ++p) {
        if (*p == '\r' || *p == '\n') {
            lineBreak();
        } else if (*p != '\\') {
            sent += *p;
        } else if (p[1] == '\0') {
            break;
        } else if (*++p == '\\') {
            sent += '\\';
        } else if (*p == 'n') {
            lineBreak();
        }
    }
    return sent;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const char* source = input.c_str();  // up to the first NUL, as the host's text
    const size_t sourceLength = strlen(source);

    struct {
        char buffer[DescriptionBufferSize];
        char guard[32];
    } area;
    memset(&area, 0x5A, sizeof area);
    const bool fits = ExpandDescriptionEscapes(source, area.buffer);

    for (char g : area.guard) CHECK(g == 0x5A);
    const size_t length = strlen(area.buffer);
    CHECK(length <= sourceLength);
    CHECK(length <= DescriptionBufferSize - 1);
    CHECK(memchr(area.buffer, '\r', length) == nullptr);
    int lineFeeds = 0;
    for (size_t i = 0; i < length; ++i) lineFeeds += area.buffer[i] == '\n';
    CHECK(lineFeeds <= MaxSentLineBreaks);
    for (size_t i = length; i < DescriptionBufferSize; ++i) CHECK(area.buffer[i] == '\0');

    const std::string expected = Reference(source);
    CHECK(fits == (expected.size() <= DescriptionBufferSize - 1));
    CHECK(std::string(area.buffer, length) == expected.substr(0, DescriptionBufferSize - 1));
    return 0;
}
