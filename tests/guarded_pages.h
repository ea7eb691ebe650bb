// One readable page between two that cannot be touched: a text placed at
// either edge shows any read that strays out of the page.
#ifndef RYX_TESTS_GUARDED_PAGES_H
#define RYX_TESTS_GUARDED_PAGES_H

#include <stddef.h>

#include <string>

class GuardedPages {
public:
    static const size_t PageSize = 4096;

    GuardedPages();
    ~GuardedPages();
    GuardedPages(const GuardedPages&) = delete;
    GuardedPages& operator=(const GuardedPages&) = delete;

    // The readable page, or null if it could not be made.
    char* page() const { return page_; }
    // `text` and its terminator copied so that the terminator is the page's
    // last byte; the bytes before it are filled with `filler`.
    char* AtEnd(const std::string& text, char filler);
    // `text` and its terminator copied to the page's first bytes; the rest of
    // the page is `filler`.
    char* AtStart(const std::string& text, char filler);

private:
    char* mapping_ = nullptr;
    char* page_ = nullptr;
};

#endif
