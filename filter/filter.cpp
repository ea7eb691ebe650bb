#include "filter/filter.h"

#include <string.h>

namespace {

const size_t MaxConvertedLength = DescriptionBufferSize - 1;

}  // namespace

bool ExpandDescriptionEscapes(const char* source, char* buffer) {
    memset(buffer, 0, DescriptionBufferSize);
    size_t length = 0;
    int lineBreaks = 0;
    for (;;) {
        // Copy the run of ordinary characters in one go; only the backslash
        // and the two line-break characters need a decision.
        const size_t run = strcspn(source, "\\\r\n");
        if (run > MaxConvertedLength - length) {
            memcpy(buffer + length, source, MaxConvertedLength - length);
            return false;
        }
        memcpy(buffer + length, source, run);
        length += run;
        source += run;

        char emitted;
        if (*source == '\0') {
            return true;
        } else if (*source != '\\') {  // CR or LF; a CR is sent as LF too
            ++source;
            if (lineBreaks == MaxSentLineBreaks) continue;
            ++lineBreaks;
            emitted = '\n';
        } else {
            const char escaped = source[1];
            if (escaped == '\0') return true;  // a lone trailing backslash is dropped
            source += 2;
            if (escaped == '\\') {
                emitted = '\\';
            } else if (escaped == 'n') {
                if (lineBreaks == MaxSentLineBreaks) continue;
                ++lineBreaks;
                emitted = '\n';
            } else {
                continue;  // an unknown escape is dropped whole
            }
        }
        if (length == MaxConvertedLength) return false;
        buffer[length++] = emitted;
    }
}

void CapReceivedLineBreaks(char* text, int32_t recvMax) {
    // recvMax - 1 with wrap-around, done unsigned so INT32_MIN is no overflow.
    const uint32_t wrapped = static_cast<uint32_t>(recvMax) - 1u;
    uint32_t allowance = wrapped > 0x7FFFFFFFu || wrapped == 0 ? 1u : wrapped;
    for (char* p = strpbrk(text, "\r\n"); p != nullptr; p = strpbrk(p + 1, "\r\n")) {
        if (allowance > 0) {
            --allowance;
        } else {
            *p = ' ';
        }
    }
}
