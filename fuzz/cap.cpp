// CapReceivedLineBreaks: the first four bytes are recvMax, the rest the text.
#include <stdint.h>
#include <string.h>

#include <string>

#include "filter/filter.h"
#include "fuzz/check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    int32_t recvMax;
    memcpy(&recvMax, data, 4);
    std::string text(reinterpret_cast<const char*>(data) + 4, size - 4);
    text.resize(strlen(text.c_str()));  // up to the first NUL
    const std::string before = text;

    CapReceivedLineBreaks(&text[0], recvMax);

    // recvMax - 1 in 32 bits with wrap-around, and at least 1.
    const int64_t minusOne = recvMax == INT32_MIN ? INT32_MAX : int64_t(recvMax) - 1;
    const int64_t allowance = minusOne < 1 ? 1 : minusOne;
    CHECK(text.size() == before.size());
    CHECK(strlen(text.c_str()) == before.size());
    int64_t seen = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool lineBreak = before[i] == '\r' || before[i] == '\n';
        if (!lineBreak) {
            CHECK(text[i] == before[i]);
        } else if (++seen <= allowance) {
            CHECK(text[i] == before[i]);  // the first ones stay
        } else {
            CHECK(text[i] == ' ');
        }
    }
    return 0;
}
