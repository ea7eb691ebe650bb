# The plugin's core and its unit tests as 32-bit x86 code (gcc -m32, static),
# run under qemu-i386. Where the kernel cannot run 32-bit programs, and so
# 32-bit Wine cannot start, this still runs the plugin's own code as a 32-bit
# processor does: 4-byte words, SSE2 with a 4-byte aligned stack, stdcall
# and cdecl.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32 -march=i686")
set(CMAKE_CXX_FLAGS_INIT "-m32 -march=i686")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32 -static")

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386)
