// The filters 16 bytes at a time. The only file compiled with SSE2 allowed:
// it is called only where the processor has SSE2.
#include "filter/transforms.h"
#include "filter/variant.h"

namespace {

Expansion ExpandSse2(const char* source, char* buffer) { return transforms::Expand<scan::Sse2>(source, buffer); }
void CapSse2(char* text, uint32_t allowance) { transforms::Cap<scan::Sse2>(text, allowance); }

}  // namespace

const FilterVariant Sse2Filters = {ExpandSse2, CapSse2};
