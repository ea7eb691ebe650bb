// The native stand-in for GetPrivateProfileIntA, on arbitrary file contents.
#include <stdint.h>
#include <string.h>

#include "fuzz/check.h"
#include "native/windows_standin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    const uint32_t value = ProfileIntFromText(text, size, "general", "recvmax", 999);
    // A key without '=' has no value, so a file without one gives the default.
    if (memchr(text, '=', size) == nullptr) CHECK(value == 999u);
    // The default is only a default: a different one changes nothing else.
    const uint32_t again = ProfileIntFromText(text, size, "general", "recvmax", -7);
    CHECK(value == 999u ? (again == uint32_t(-7) || again == 999u) : again == value);
    return 0;
}
