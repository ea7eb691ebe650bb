#include "tests/stack_call.h"

#if defined(__i386__)

#define RYX_TEXT(x) #x
#define RYX_NAME(prefix, name) RYX_TEXT(prefix) #name
#define RYX_SYMBOL(name) RYX_NAME(__USER_LABEL_PREFIX__, name)

// uint32_t RyxCallWithStack(function, offset, arguments, count, removed*), cdecl.
extern "C" uint32_t RyxCallWithStack(const void* function, uint32_t offset, const uint32_t* arguments,
                                     uint32_t count, uint32_t* removed);

asm(".text\n"
    ".globl " RYX_SYMBOL(RyxCallWithStack) "\n"
    RYX_SYMBOL(RyxCallWithStack) ":\n"
    "    pushl %ebp\n"
    "    movl %esp, %ebp\n"
    "    pushl %esi\n"
    "    pushl %edi\n"
    "    pushl %ebx\n"
    // Room for 12 arguments below the saved registers, on a 16-byte
    // boundary, then `offset` bytes past it.
    "    movl %esp, %eax\n"
    "    subl $64, %eax\n"
    "    andl $-16, %eax\n"
    "    addl 12(%ebp), %eax\n"
    "    movl %eax, %esp\n"
    "    movl 16(%ebp), %esi\n"
    "    movl 20(%ebp), %ecx\n"
    "    xorl %edx, %edx\n"
    "1:  cmpl %ecx, %edx\n"
    "    jae 2f\n"
    "    movl (%esi,%edx,4), %ebx\n"
    "    movl %ebx, (%esp,%edx,4)\n"
    "    incl %edx\n"
    "    jmp 1b\n"
    // EDI survives the call in either convention: the stack pointer before it.
    "2:  movl %esp, %edi\n"
    "    call *8(%ebp)\n"
    "    movl %esp, %ecx\n"
    "    subl %edi, %ecx\n"
    "    movl 24(%ebp), %edx\n"
    "    movl %ecx, (%edx)\n"
    "    leal -12(%ebp), %esp\n"
    "    popl %ebx\n"
    "    popl %edi\n"
    "    popl %esi\n"
    "    popl %ebp\n"
    "    ret\n");

StackCall CallWithStackOffset(const void* function, uint32_t offset, const uint32_t* arguments, uint32_t count) {
    StackCall call = {0, 0};
    if (count > 12 || offset % 4 != 0 || offset > 12) return call;
    call.result = RyxCallWithStack(function, offset, arguments, count, &call.removed);
    return call;
}

#endif
