#include "tests/message_boxes.h"

#include "host/windows_api.h"
#ifdef _WIN32
#include "standin_host/import_patch.h"
#endif

std::vector<ShownBox> shownBoxes;

namespace {

#ifdef _WIN32
int WINAPI RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
#else
int RecordBox(void* owner, const char* text, const char* caption, uint32_t style) {
#endif
    shownBoxes.push_back({owner, text ? text : "(null)", caption ? caption : "(null)", style});
    return 1;  // IDOK
}

}  // namespace

bool CatchMessageBoxes() {
#ifdef _WIN32
    static bool caught = false;
    if (!caught)
        caught = ReplaceImport(GetModuleHandleA(nullptr), "user32.dll", "MessageBoxA",
                               reinterpret_cast<void*>(&RecordBox)) != nullptr;
    return caught;
#else
    messageBoxHandler = RecordBox;
    return true;
#endif
}
