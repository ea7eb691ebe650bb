// ExpandDescriptionEscapes, each build of it, against the rules written as a
// plain loop. The text ends at the last byte of a page with no readable page
// after it, so any read past that page crashes.
#include <stdint.h>
#include <string.h>

#include <string>

#include "filter/filter.h"
#include "filter/variant.h"
#include "fuzz/check.h"
#include "tests/guarded_pages.h"
#include "tests/reference_filters.h"

namespace {

GuardedPages pages;

void CheckBuild(const FilterVariant& build, const char* source, const std::string& expected) {
    const size_t sourceLength = strlen(source);
    struct {
        char buffer[DescriptionBufferSize];
        char guard[32];
    } area;
    memset(&area, 0x5A, sizeof area);
    const Expansion result = build.expand(source, area.buffer);

    for (char g : area.guard) CHECK(g == 0x5A);
    const size_t length = strlen(area.buffer);
    CHECK(length <= sourceLength);
    CHECK(length <= DescriptionBufferSize - 1);
    CHECK(memchr(area.buffer, '\r', length) == nullptr);
    int lineFeeds = 0;
    for (size_t i = 0; i < length; ++i) lineFeeds += area.buffer[i] == '\n';
    CHECK(lineFeeds <= MaxSentLineBreaks);
    for (size_t i = length; i < DescriptionBufferSize; ++i) CHECK(area.buffer[i] == '\0');

    CHECK(std::string(area.buffer, length) == expected.substr(0, DescriptionBufferSize - 1));
    if (expected.size() > DescriptionBufferSize - 1)
        CHECK(result == ExpansionTooLong);
    else
        CHECK(result == (expected == source ? ExpansionUnchanged : ExpansionConverted));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string typed = input.c_str();  // up to the first NUL, as the host's text
    const char* source = typed.size() < GuardedPages::PageSize ? pages.AtEnd(typed, '\n') : typed.c_str();
    const std::string expected = ReferenceExpansion(typed);
    CheckBuild(WordFilters, source, expected);
    if (ProcessorHasSse2()) CheckBuild(Sse2Filters, source, expected);
    return 0;
}
