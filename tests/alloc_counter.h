// Counts the heap allocations made by the code linked into the test program
// (the linker routes malloc, calloc and realloc through the counter).
#ifndef RYX_TESTS_ALLOC_COUNTER_H
#define RYX_TESTS_ALLOC_COUNTER_H

extern "C" unsigned long heapAllocations;

#endif
