#include "tests/guarded_pages.h"

#include <string.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#endif

GuardedPages::GuardedPages() {
#ifdef _WIN32
    void* mapping = VirtualAlloc(nullptr, 3 * PageSize, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS);
    DWORD previous;
    if (mapping == nullptr) return;
    mapping_ = static_cast<char*>(mapping);
    if (!VirtualProtect(mapping_ + PageSize, PageSize, PAGE_READWRITE, &previous)) return;
#else
    void* mapping = mmap(nullptr, 3 * PageSize, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) return;
    mapping_ = static_cast<char*>(mapping);
    if (mprotect(mapping_ + PageSize, PageSize, PROT_READ | PROT_WRITE) != 0) return;
#endif
    page_ = mapping_ + PageSize;
}

GuardedPages::~GuardedPages() {
    if (mapping_ == nullptr) return;
#ifdef _WIN32
    VirtualFree(mapping_, 0, MEM_RELEASE);
#else
    munmap(mapping_, 3 * PageSize);
#endif
}

char* GuardedPages::AtEnd(const std::string& text, char filler) {
    memset(page_, filler, PageSize);
    char* const start = page_ + PageSize - text.size() - 1;
    memcpy(start, text.c_str(), text.size() + 1);
    return start;
}

char* GuardedPages::AtStart(const std::string& text, char filler) {
    memset(page_, filler, PageSize);
    memcpy(page_, text.c_str(), text.size() + 1);
    return page_;
}
