#include "tests/alloc_counter.h"

#include <stddef.h>

extern "C" {

unsigned long heapAllocations = 0;

void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* block, size_t size);

void* __wrap_malloc(size_t size) {
    ++heapAllocations;
    return __real_malloc(size);
}

void* __wrap_calloc(size_t count, size_t size) {
    ++heapAllocations;
    return __real_calloc(count, size);
}

void* __wrap_realloc(void* block, size_t size) {
    ++heapAllocations;
    return __real_realloc(block, size);
}
}
