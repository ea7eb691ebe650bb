#include <stdio.h>

#include "native/windows_standin.h"

namespace {

int PrintBox(void*, const char* text, const char* caption, uint32_t) {
    fprintf(stderr, "[message box] %s: %s\n", caption, text);
    return 1;  // IDOK
}

}  // namespace

int (*messageBoxHandler)(void*, const char*, const char*, uint32_t) = PrintBox;

int MessageBoxA(void* owner, const char* text, const char* caption, uint32_t style) {
    return messageBoxHandler(owner, text, caption, style);
}
