#include "standin_host/text.h"

#include <stdio.h>
#include <windows.h>

namespace {

const UINT Windows1250 = 1250;

std::wstring Decode(UINT codePage, const std::string& bytes) {
    if (bytes.empty()) return std::wstring();
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) MultiByteToWideChar(codePage, 0, bytes.data(), size, &wide[0], length);
    return wide;
}

// One character, a surrogate pair counted as one, starting at `at`.
size_t CharacterLength(const std::wstring& text, size_t at) {
    const bool pair = text[at] >= 0xD800 && text[at] <= 0xDBFF && at + 1 < text.size() &&
                      text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF;
    return pair ? 2 : 1;
}

}  // namespace

std::wstring WideFromUtf8(const std::string& utf8) { return Decode(CP_UTF8, utf8); }

std::string Utf8FromWide(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, &utf8[0], length, nullptr, nullptr);
    return utf8;
}

bool Windows1250FromWide(const std::wstring& text, std::string* bytes, std::string* refused) {
    bytes->clear();
    // A character at a time, so that the first one refused can be named.
    for (size_t at = 0; at < text.size();) {
        const size_t length = CharacterLength(text, at);
        char converted[8];
        BOOL replaced = FALSE;
        const int size = WideCharToMultiByte(Windows1250, WC_NO_BEST_FIT_CHARS, text.data() + at,
                                             static_cast<int>(length), converted, sizeof converted, nullptr,
                                             &replaced);
        if (size <= 0 || replaced) {
            const unsigned code = length == 2 ? 0x10000 + ((text[at] - 0xD800u) << 10) + (text[at + 1] - 0xDC00u)
                                              : static_cast<unsigned>(text[at]);
            char name[16];
            snprintf(name, sizeof name, "U+%04X", code);
            *refused = "'" + Utf8FromWide(text.substr(at, length)) + "' (" + name + ")";
            return false;
        }
        bytes->append(converted, static_cast<size_t>(size));
        at += length;
    }
    return true;
}

std::string ForDisplay(const std::string& text) { return Utf8FromWide(Decode(Windows1250, text)); }

std::string Visible(const std::string& text) {
    std::string shown;
    for (char c : text) {
        if (c == '\n')
            shown += "[LF]";
        else if (c == '\r')
            shown += "[CR]";
        else
            shown += c;
    }
    return ForDisplay(shown);
}

std::string Shown(const std::string& text, bool withBytes) {
    const size_t Limit = 200;
    const std::string head = text.substr(0, Limit);
    std::string shown = "\"" + Visible(head) + (text.size() > Limit ? "\"..." : "\"");
    if (withBytes) {
        shown += " (bytes";
        for (unsigned char c : head) {
            char hex[4];
            snprintf(hex, sizeof hex, " %02X", c);
            shown += hex;
        }
        shown += text.size() > Limit ? " ...)" : ")";
    }
    return shown;
}
