// The two transforms, written once over a scanner (scan.h). Each build of
// them, a word at a time and SSE2, instantiates these in its own file.
// Internal to the filters.
#ifndef RYX_FILTER_TRANSFORMS_H
#define RYX_FILTER_TRANSFORMS_H

#include <stdint.h>

#include "filter/filter.h"
#include "filter/scan.h"

namespace transforms {

const size_t MaxConvertedLength = DescriptionBufferSize - 1;

// ExpandDescriptionEscapes, in one pass: the terminator is one of the bytes
// the scan stops at.
template <class Scan>
RYX_INLINE Expansion Expand(const char* source, char* buffer) {
    size_t length = 0;
    int lineBreaks = 0;
    // A backslash, a CR or a line break left out makes the sent text differ.
    bool changed = false;
    bool fits = true;
    for (;;) {
        // Plain text, a chunk at a time, copied as it is scanned: a chunk is
        // stored whole, and what follows a special byte in it is overwritten
        // or cleared later. A load may read past the terminator, never past
        // the page.
        while (length + Scan::Size <= MaxConvertedLength && scan::FitsInPage(source, Scan::Size)) {
            const typename Scan::Chunk chunk = Scan::Load(source);
            Scan::Store(buffer + length, chunk);
            const typename Scan::Mask special = Scan::Specials(chunk);
            if (special != 0) {
                const size_t plain = Scan::FirstIndex(special);
                source += plain;
                length += plain;
                break;
            }
            source += Scan::Size;
            length += Scan::Size;
        }

        // One character: one that needs a decision, or any near the end of
        // the buffer or of a page.
        char emitted = *source;
        if (emitted == '\0') break;
        if (emitted == '\\') {
            changed = true;
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
        } else if (emitted == '\r' || emitted == '\n') {  // a CR is sent as LF too
            ++source;
            if (emitted == '\r') changed = true;
            if (lineBreaks == MaxSentLineBreaks) {
                changed = true;
                continue;
            }
            ++lineBreaks;
            emitted = '\n';
        } else {
            ++source;
        }
        if (length == MaxConvertedLength) {
            fits = false;
            break;
        }
        buffer[length++] = emitted;
    }

    // Everything after the text is zero, the terminator included.
    Scan::ZeroUpTo(buffer + length, buffer + DescriptionBufferSize);
    if (!fits) return ExpansionTooLong;
    return changed ? ExpansionConverted : ExpansionUnchanged;
}

// CapReceivedLineBreaks with the allowance worked out, in one pass.
template <class Scan>
RYX_INLINE void Cap(char* text, uint32_t allowance) {
    // Aligned chunks: an aligned load never reaches into another page. The
    // first chunk may begin before the text; those bytes are not looked at.
    const size_t lead = reinterpret_cast<uintptr_t>(text) % Scan::Size;
    char* p = text - lead;
    typename Scan::Mask outside = Scan::FirstBytes(lead);
    for (;;) {
        // One chunk, each of its line breaks kept or blanked.
        const typename Scan::Chunk chunk = Scan::Load(p);
        typename Scan::Mask breaks = Scan::LineBreaks(chunk) & ~outside;
        const typename Scan::Mask ends = Scan::Terminators(chunk) & ~outside;
        // (m & -m) - 1 marks every byte before the first that m marks: the
        // line breaks before the terminator are the text's.
        if (ends != 0) breaks &= (ends & (0 - ends)) - 1;
        const unsigned count = Scan::Count(breaks);
        if (count <= allowance) {
            allowance -= count;
        } else {
            for (; breaks != 0; breaks &= breaks - 1) {  // each marked byte, first to last
                if (allowance > 0) {
                    --allowance;
                } else {
                    p[Scan::FirstIndex(breaks)] = ' ';
                }
            }
        }
        if (ends != 0) return;
        p += Scan::Size;
        outside = 0;

        // n chunks hold at most n * Size line breaks: while the allowance
        // covers that, only count them, a lane per byte, and decide nothing.
        for (size_t n; (n = allowance / Scan::Size) > 0;) {
            if (n > Scan::MaxCountedChunks) n = Scan::MaxCountedChunks;
            typename Scan::Counts counts = Scan::NoCounts();
            size_t whole = 0;
            for (; whole < n; ++whole, p += Scan::Size) {
                const typename Scan::Chunk next = Scan::Load(p);
                if (Scan::HasTerminator(next)) break;  // the text's last chunk: decided above
                counts = Scan::AddLineBreaks(counts, next);
            }
            allowance -= Scan::Total(counts);
            if (whole < n) break;
        }
    }
}

}  // namespace transforms

#endif
