// The floors the filters are measured against: what any program pays to
// touch the same bytes, written here with SSE2 (16 bytes at a time) rather
// than taken from a C runtime, whose speed differs between Linux, Windows
// and Wine.
#ifndef RYX_BENCH_FLOORS_H
#define RYX_BENCH_FLOORS_H

#include <stddef.h>

// The received path's floor: the length of the text.
size_t FloorLength(const char* text);

// The own-change path's floor: zeroing the 2048-byte buffer, then copying
// the text of `length` characters and its terminator into it.
void FloorZeroAndCopy(char* buffer, const char* text, size_t length);

#endif
