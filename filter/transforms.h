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
    char* out = buffer;
    char* const last = buffer + MaxConvertedLength;  // where the terminator goes at the latest
    int lineBreaks = 0;
    // A backslash, a CR or a line break left out makes the sent text differ.
    bool changed = false;
    bool fits = true;
    // Emits one character, if it fits.
#define RYX_EMIT(c)            \
    do {                       \
        if (out == last) {     \
            fits = false;      \
            goto done;         \
        }                      \
        *out++ = (c);          \
    } while (0)

    // The scan reads aligned chunks, so it never reaches into another page,
    // and finds in each the bytes that may need a decision. Its loads do not
    // wait for those decisions; only the copying of the plain bytes between
    // them does. The first chunk may begin before the text, and an escape at
    // the end of one chunk takes the first byte of the next: the bytes before
    // `source` are not looked at.
    const char* chunk = scan::ChunkStart(source, Scan::Size);
    for (;; chunk += Scan::Size) {
        const char* const chunkEnd = chunk + Scan::Size;
        typename Scan::Mask marks = Scan::Specials(Scan::Load(chunk)) & ~Scan::FirstBytes(source - chunk);
        if (marks == 0 && static_cast<size_t>(last - out) >= Scan::Size) {
            // The rest of the chunk is plain: the common case, kept short.
            // With no terminator in it, the text goes on into the next chunk,
            // so a load that reaches into that chunk stays in the text's pages.
            Scan::Store(out, Scan::Load(source));
            out += chunkEnd - source;
            source = chunkEnd;
            continue;
        }
        for (;;) {
            // The plain bytes up to the next marked one, or to the chunk's
            // end: one store puts them in place (what it writes past them is
            // overwritten later, or cleared at the end), where the buffer and
            // the page have room for a whole chunk; else a byte at a time.
            const char* const stop = marks != 0 ? chunk + Scan::FirstIndex(marks) : chunkEnd;
            const size_t plain = static_cast<size_t>(stop - source);
            if (plain != 0) {
                if (static_cast<size_t>(last - out) >= Scan::Size && scan::FitsInPage(source, Scan::Size)) {
                    Scan::Store(out, Scan::Load(source));
                    out += plain;
                    source = stop;
                } else {
                    for (; source < stop; ++source) RYX_EMIT(*source);
                }
            }
            if (marks == 0) break;

            // The marked byte, and the next one after a backslash.
            const char c = *source;
            if (c == '\0') goto done;
            if (c == '\\') {
                changed = true;
                const char escaped = source[1];
                if (escaped == '\0') goto done;  // a lone trailing backslash is dropped
                source += 2;
                if (escaped == '\\') {
                    RYX_EMIT('\\');
                } else if (escaped == 'n' && lineBreaks < MaxSentLineBreaks) {
                    ++lineBreaks;
                    RYX_EMIT('\n');
                }  // else: an unknown escape, or a fifth line break, is dropped whole
            } else if (c == '\r' || c == '\n') {  // a CR is sent as LF too
                ++source;
                if (c == '\r') changed = true;
                if (lineBreaks < MaxSentLineBreaks) {
                    ++lineBreaks;
                    RYX_EMIT('\n');
                } else {
                    changed = true;
                }
            } else {
                ++source;  // another control character: passed on as it is
                RYX_EMIT(c);
            }
            if (source >= chunkEnd) break;
            marks &= ~Scan::FirstBytes(static_cast<size_t>(source - chunk));
        }
    }
#undef RYX_EMIT

done:
    // Everything after the text is zero, the terminator included.
    Scan::ZeroUpTo(out, buffer + DescriptionBufferSize);
    if (!fits) return ExpansionTooLong;
    return changed ? ExpansionConverted : ExpansionUnchanged;
}

// CapReceivedLineBreaks with the allowance worked out, in one pass.
template <class Scan>
RYX_INLINE void Cap(char* text, uint32_t allowance) {
    // Aligned chunks: an aligned load never reaches into another page. The
    // first chunk may begin before the text; those bytes are not looked at.
    char* p = scan::ChunkStart(text, Scan::Size);
    typename Scan::Mask outside = Scan::FirstBytes(static_cast<size_t>(text - p));
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
