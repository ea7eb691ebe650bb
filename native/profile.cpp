// A stand-in for GetPrivateProfileIntA with the behaviour of the real one on
// the files a user may write; the cases are kept settled by the differential
// INI table that runs against both.
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include "native/windows_standin.h"

namespace {

// The value is read into a 30-character buffer before it is parsed, as the
// real function does, so characters past the 29th never count.
const size_t ValueLimit = 29;

struct Span {
    const char* begin;
    const char* end;
};

// Ctrl-Z counts as white space too, a relic of DOS text files.
bool IsSpace(char c) { return isspace(static_cast<unsigned char>(c)) || c == 0x1A; }

Span Trim(Span s) {
    while (s.begin < s.end && IsSpace(*s.begin)) ++s.begin;
    while (s.end > s.begin && IsSpace(s.end[-1])) --s.end;
    return s;
}

// Finds the value of the first `key` in the first section named `section`.
// Returns false when there is none, or when the key has no '='.
bool FindValue(Span text, Span section, Span key, Span* value) {
    bool inSection = section.begin == section.end;  // keys before any header
    const char* p = text.begin;
    while (p < text.end) {
        Span line = {p, p};
        while (line.end < text.end && *line.end != '\n' && *line.end != '\r') ++line.end;
        p = line.end < text.end ? line.end + 1 : line.end;
        line = Trim(line);
        if (line.begin == line.end) continue;

        if (*line.begin == '[') {
            const char* close = line.end;
            while (close > line.begin && close[-1] != ']') --close;
            if (close > line.begin + 1) {
                // Only the first section of a name counts.
                if (inSection) return false;
                const Span name = Trim({line.begin + 1, close - 1});
                inSection = name.end - name.begin == section.end - section.begin &&
                            strncasecmp(name.begin, section.begin, name.end - name.begin) == 0;
                continue;
            }
        }
        if (!inSection) continue;

        const char* equals = static_cast<const char*>(memchr(line.begin, '=', line.end - line.begin));
        Span name = Trim({line.begin, equals ? equals : line.end});
        if (name.end - name.begin != key.end - key.begin ||
            strncasecmp(name.begin, key.begin, name.end - name.begin) != 0)
            continue;
        if (equals == nullptr) return false;
        *value = Trim({equals + 1, line.end});
        return true;
    }
    return false;
}

uint32_t DigitValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
    if (c >= 'a' && c <= 'z') return static_cast<uint32_t>(c - 'a' + 10);
    if (c >= 'A' && c <= 'Z') return static_cast<uint32_t>(c - 'A' + 10);
    return 99;
}

uint32_t ParseInteger(Span value) {
    const char* p = value.begin;
    while (p < value.end && static_cast<unsigned char>(*p) <= ' ') ++p;
    bool negative = false;
    if (p < value.end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    // 0x, 0o and 0b (lower case only) switch to hexadecimal, octal and binary.
    uint32_t base = 10;
    if (value.end - p >= 2 && p[0] == '0') {
        if (p[1] == 'x') base = 16;
        if (p[1] == 'o') base = 8;
        if (p[1] == 'b') base = 2;
        if (base != 10) p += 2;
    }
    uint32_t total = 0;  // wraps modulo 2^32, as the real parser does
    for (; p < value.end; ++p) {
        const uint32_t digit = DigitValue(*p);
        if (digit >= base) break;
        total = total * base + digit;
    }
    return negative ? 0u - total : total;
}

Span TrimmedName(const char* name) { return Trim({name, name + strlen(name)}); }

}  // namespace

uint32_t ProfileIntFromText(const char* text, size_t length, const char* section,
                            const char* key, int32_t defaultValue) {
    Span all = {text, text + length};
    if (length >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0) all.begin += 3;  // UTF-8 BOM
    Span value;
    if (!FindValue(all, TrimmedName(section), TrimmedName(key), &value))
        return static_cast<uint32_t>(defaultValue);

    // A value in matching quotes is read without them.
    if (value.end - value.begin >= 2 && (*value.begin == '"' || *value.begin == '\'') &&
        value.end[-1] == *value.begin) {
        ++value.begin;
        --value.end;
    }
    if (static_cast<size_t>(value.end - value.begin) > ValueLimit) value.end = value.begin + ValueLimit;
    if (value.begin == value.end) return static_cast<uint32_t>(defaultValue);
    return ParseInteger(value);
}

uint32_t GetPrivateProfileIntA(const char* section, const char* key, int32_t defaultValue,
                               const char* fileName) {
    // Windows takes a backslash as a directory separator too.
    const size_t nameLength = strlen(fileName);
    char* path = static_cast<char*>(malloc(nameLength + 1));
    if (path == nullptr) return static_cast<uint32_t>(defaultValue);
    for (size_t i = 0; i <= nameLength; ++i) path[i] = fileName[i] == '\\' ? '/' : fileName[i];
    FILE* file = fopen(path, "rb");
    free(path);
    if (file == nullptr) return static_cast<uint32_t>(defaultValue);
    char* text = nullptr;
    size_t length = 0;
    size_t capacity = 0;
    for (;;) {
        if (length == capacity) {
            capacity = capacity ? capacity * 2 : 4096;
            char* grown = static_cast<char*>(realloc(text, capacity));
            if (grown == nullptr) break;
            text = grown;
        }
        size_t got = fread(text + length, 1, capacity - length, file);
        if (got == 0) break;
        length += got;
    }
    fclose(file);
    uint32_t result = text ? ProfileIntFromText(text, length, section, key, defaultValue)
                           : static_cast<uint32_t>(defaultValue);
    free(text);
    return result;
}
