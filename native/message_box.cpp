#include <string.h>

#include "native/windows_standin.h"

MessageBoxRecord lastMessageBox;

int MessageBoxA(void* owner, const char* text, const char* caption, uint32_t style) {
    ++lastMessageBox.calls;
    lastMessageBox.owner = owner;
    strncpy(lastMessageBox.text, text ? text : "", sizeof lastMessageBox.text - 1);
    strncpy(lastMessageBox.caption, caption ? caption : "", sizeof lastMessageBox.caption - 1);
    lastMessageBox.style = style;
    return 1;  // IDOK
}
