// The texts every benchmark uses, so that figures from the native build and
// from the shipped DLL describe the same work.
#ifndef RYX_BENCH_TEXTS_H
#define RYX_BENCH_TEXTS_H

#include <stddef.h>

#include <string>

inline std::string Repeat(const std::string& pattern, size_t length) {
    std::string text;
    while (text.size() < length) text += pattern;
    text.resize(length);
    return text;
}

// What a user types: a few lines of prose, three escapes in every 217 bytes.
inline std::string Typed(size_t length) {
    return Repeat(R"(On holiday until the 15th of August, back at the desk on Monday the 18th. )"
                  R"(Anything urgent goes to Anna on 600 100 200, and C:\\shared\\plans holds )"
                  R"(the latest drawings for the site; the rest can wait until I am back.\n)", length);
}
// The worst a user can type: an escape every 42 characters.
inline std::string Dense(size_t length) { return Repeat(R"(Away\nback at 5, call me if it is urgent. )", length); }
// What a contact sends: one line break in every 27 bytes.
inline std::string Received(size_t length) { return Repeat("Line of a long description\n", length); }

const size_t Megabyte = 1 << 20;

#endif
