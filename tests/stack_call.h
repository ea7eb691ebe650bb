// Calls a function the way a 32-bit Windows caller may: with the stack only
// 4-byte aligned, at any of the four offsets from a 16-byte boundary, and
// says how many bytes of arguments the function removed as it returned (0
// for cdecl; 4 per argument for stdcall). Only for 32-bit x86.
#ifndef RYX_TESTS_STACK_CALL_H
#define RYX_TESTS_STACK_CALL_H

#include <stdint.h>

struct StackCall {
    uint32_t result;
    uint32_t removed;  // bytes of arguments the callee took off the stack
};

// `function` gets `count` (at most 12) 32-bit arguments, and is called with
// ESP `offset` (0, 4, 8 or 12) bytes past a 16-byte boundary.
StackCall CallWithStackOffset(const void* function, uint32_t offset, const uint32_t* arguments, uint32_t count);

#endif
