#include "filter/filter.h"

#include <string.h>

#include "filter/scan.h"

namespace {

const size_t MaxConvertedLength = DescriptionBufferSize - 1;

}  // namespace

bool ExpandDescriptionEscapes(const char* source, char* buffer) {
    const char* const end = source + strlen(source);
    size_t length = 0;
    int lineBreaks = 0;
    bool fits = true;
    for (;;) {
        // Plain text, a chunk at a time, copied as it is scanned: a chunk is
        // stored whole, and what follows a special byte in it is overwritten
        // or cleared later.
        while (static_cast<size_t>(end - source) >= scan::ChunkSize &&
               length + scan::ChunkSize <= MaxConvertedLength) {
            const size_t plain = scan::FirstOf(source, '\\', '\r', '\n');
            memcpy(buffer + length, source, scan::ChunkSize);
            source += plain;
            length += plain;
            if (plain < scan::ChunkSize) break;
        }

        // One character: near either end, or one that needs a decision.
        if (source == end) break;
        char emitted;
        if (*source == '\\') {
            const char escaped = source[1];
            if (escaped == '\0') break;  // a lone trailing backslash is dropped
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
        } else if (*source == '\r' || *source == '\n') {  // a CR is sent as LF too
            ++source;
            if (lineBreaks == MaxSentLineBreaks) continue;
            ++lineBreaks;
            emitted = '\n';
        } else {
            emitted = *source++;
        }
        if (length == MaxConvertedLength) {
            fits = false;
            break;
        }
        buffer[length++] = emitted;
    }
    // Everything after the text is zero, the terminator included.
    memset(buffer + length, 0, DescriptionBufferSize - length);
    return fits;
}

void CapReceivedLineBreaks(char* text, int32_t recvMax) {
    // recvMax - 1 with wrap-around, done unsigned so INT32_MIN is no overflow.
    const uint32_t wrapped = static_cast<uint32_t>(recvMax) - 1u;
    uint32_t allowance = wrapped > 0x7FFFFFFFu || wrapped == 0 ? 1u : wrapped;
    char* const end = text + strlen(text);
    char* p = text;
    // A chunk at a time: while the allowance lasts, only the number of line
    // breaks in a chunk matters.
    for (; static_cast<size_t>(end - p) >= scan::ChunkSize; p += scan::ChunkSize) {
        scan::Mask breaks = scan::LineBreaks(p);
        const unsigned count = scan::CountOf(breaks);
        if (count <= allowance) {
            allowance -= count;
            continue;
        }
        for (; breaks != 0; breaks &= breaks - 1) {
            if (allowance > 0) {
                --allowance;
            } else {
                p[scan::FirstIndexOf(breaks, scan::MaskBitsPerByte)] = ' ';
            }
        }
    }
    for (; p < end; ++p) {
        if (*p != '\r' && *p != '\n') continue;
        if (allowance > 0) {
            --allowance;
        } else {
            *p = ' ';
        }
    }
}
