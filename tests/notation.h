// Test texts are written with [LF] and [CR] for the line-break characters,
// so every backslash in a raw string is a real backslash and nothing hides.
#ifndef RYX_TESTS_NOTATION_H
#define RYX_TESTS_NOTATION_H

#include <string>

inline std::string Bytes(const std::string& notation) {
    std::string bytes;
    for (size_t i = 0; i < notation.size();) {
        if (notation.compare(i, 4, "[LF]") == 0) {
            bytes += '\n';
            i += 4;
        } else if (notation.compare(i, 4, "[CR]") == 0) {
            bytes += '\r';
            i += 4;
        } else {
            bytes += notation[i++];
        }
    }
    return bytes;
}

inline std::string Notation(const std::string& bytes) {
    std::string notation;
    for (char c : bytes) {
        if (c == '\n')
            notation += "[LF]";
        else if (c == '\r')
            notation += "[CR]";
        else
            notation += c;
    }
    return notation;
}

#endif
