// CapReceivedLineBreaks, each build of it, against the rules: the first
// min(line breaks, allowance) stay and the rest become spaces, nothing else
// changes. The first four bytes are recvMax, the rest the text, placed at
// the end of a page with no readable page after it.
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

void CheckBuild(const FilterVariant& build, const std::string& received, int32_t recvMax,
                const std::string& expected) {
    std::string copy = received;
    char* text = received.size() < GuardedPages::PageSize ? pages.AtEnd(received, '\r') : &copy[0];
    filterVariant = &build;
    CapReceivedLineBreaks(text, recvMax);
    filterVariant = nullptr;
    CHECK(strlen(text) == received.size());
    CHECK(std::string(text) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    int32_t recvMax;
    memcpy(&recvMax, data, 4);
    const std::string input(reinterpret_cast<const char*>(data) + 4, size - 4);
    const std::string received = input.c_str();  // up to the first NUL
    const std::string expected = ReferenceCap(received, recvMax);
    CheckBuild(WordFilters, received, recvMax, expected);
    if (ProcessorHasSse2()) CheckBuild(Sse2Filters, received, recvMax, expected);
    return 0;
}
