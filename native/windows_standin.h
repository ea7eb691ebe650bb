// Native stand-ins for the Windows functions the plugin calls, with the same
// names and contracts, so the plugin's code is the same in both builds.
#ifndef RYX_NATIVE_WINDOWS_STANDIN_H
#define RYX_NATIVE_WINDOWS_STANDIN_H

#include <stddef.h>
#include <stdint.h>

// Reads `key` in `section` of the INI file `fileName` as an integer, as the
// Windows function of the same name does: names compared without regard to
// case, spaces around names and values ignored, a sign and leading digits
// taken (decimal, or hexadecimal, octal or binary after 0x, 0o or 0b), 32-bit
// wrap-around, anything after the digits ignored. Returns `defaultValue` when
// the file, section or key is missing or the value is empty. Backslashes in
// `fileName` separate directories, as on Windows.
uint32_t GetPrivateProfileIntA(const char* section, const char* key, int32_t defaultValue,
                               const char* fileName);

// Parses the contents of an INI file held in memory; what the function above
// does once it has read the file.
uint32_t ProfileIntFromText(const char* text, size_t length, const char* section,
                            const char* key, int32_t defaultValue);

// Hands the box to `messageBoxHandler` and returns what it answers.
int MessageBoxA(void* owner, const char* text, const char* caption, uint32_t style);

// Where boxes go; by default a line on standard error, answered with IDOK (1).
extern int (*messageBoxHandler)(void* owner, const char* text, const char* caption,
                                uint32_t style);

#endif
