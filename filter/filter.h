// The two description transforms. Pure functions of their arguments: no
// Windows, no host, no allocation.
#ifndef RYX_FILTER_FILTER_H
#define RYX_FILTER_FILTER_H

#include <stddef.h>
#include <stdint.h>

// The converted description is built here: at most 2047 characters and NUL.
const size_t DescriptionBufferSize = 2048;
// Line breaks the outgoing conversion emits at most.
const int MaxSentLineBreaks = 4;

// What the outgoing conversion made of a description.
enum Expansion {
    ExpansionUnchanged,  // nothing to convert: the buffer holds the text as it is
    ExpansionConverted,  // the buffer holds the converted text, which differs
    ExpansionTooLong,    // more than 2047 characters once converted
};

// Converts the description the user typed into the text that is sent: "\n"
// and each CR or LF become LF (four at most, the rest left out), "\\" becomes
// one backslash, any other escape and a trailing lone backslash are dropped.
// `buffer` ends up holding the converted text and zeros up to its end; nothing
// is written past it. When the converted text would not fit in 2047
// characters, the buffer holds only its first 2047 and ExpansionTooLong is
// returned. The source may be read up to the end of the memory page that
// holds its terminator, never further.
Expansion ExpandDescriptionEscapes(const char* source, char* buffer);

// Turns every CR or LF of `text` beyond the allowance into a space, in place.
// The allowance is recvMax - 1 in 32-bit wrap-around arithmetic, at least 1.
// Like the conversion, it may read up to the end of the terminator's page.
void CapReceivedLineBreaks(char* text, int32_t recvMax);

#endif
