// The two transforms as their rules read, a character at a time and without
// any limit on length: what the tests and fuzz targets hold the plugin's
// builds of them against.
#ifndef RYX_TESTS_REFERENCE_FILTERS_H
#define RYX_TESTS_REFERENCE_FILTERS_H

#include <stdint.h>

#include <string>

#include "filter/filter.h"

// The text sent for `typed` (up to its first NUL), however long.
inline std::string ReferenceExpansion(const std::string& typed) {
    std::string sent;
    int lineBreaks = 0;
    auto lineBreak = [&] {
        if (++lineBreaks <= MaxSentLineBreaks) sent += '\n';
    };
    for (const char* p = typed.c_str(); *p; ++p) {
        if (*p == '\r' || *p == '\n') {
            lineBreak();
        } else if (*p != '\\') {
            sent += *p;
        } else if (p[1] == '\0') {
            break;
        } else if (*++p == '\\') {
            sent += '\\';
        } else if (*p == 'n') {
            lineBreak();
        }
    }
    return sent;
}

// recvMax - 1 in 32 bits with wrap-around, and at least 1.
inline int64_t ReferenceAllowance(int32_t recvMax) {
    const int64_t minusOne = recvMax == INT32_MIN ? INT32_MAX : int64_t(recvMax) - 1;
    return minusOne < 1 ? 1 : minusOne;
}

// `received` as shown: line breaks past the allowance become spaces.
inline std::string ReferenceCap(std::string received, int32_t recvMax) {
    int64_t allowance = ReferenceAllowance(recvMax);
    for (char& c : received) {
        if (c != '\r' && c != '\n') continue;
        if (allowance > 0)
            --allowance;
        else
            c = ' ';
    }
    return received;
}

#endif
