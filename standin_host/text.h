// Texts between a Linux terminal (UTF-8), Windows (UTF-16) and the
// messenger, whose texts are Windows-1250 bytes.
#ifndef RYX_STANDIN_HOST_TEXT_H
#define RYX_STANDIN_HOST_TEXT_H

#include <string>

std::wstring WideFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& wide);

// The Windows-1250 bytes of `text`, as the messenger would hold it. False
// when a character has no place in Windows-1250: `refused` then names the
// first such, as "'Ж' (U+0416)". Nothing is replaced or approximated.
bool Windows1250FromWide(const std::wstring& text, std::string* bytes, std::string* refused);

// A Windows-1250 text in UTF-8, for the terminal.
std::string ForDisplay(const std::string& text);
// The same on one line, with [LF] and [CR] for the line breaks.
std::string Visible(const std::string& text);
// Visible, cut after 200 bytes, and with the bytes themselves in hex when
// `withBytes` is set.
std::string Shown(const std::string& text, bool withBytes);

#endif
