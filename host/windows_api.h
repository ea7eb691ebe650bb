// The two Windows functions the plugin calls. The win32 build takes the real
// ones; the native build links a stand-in layer that behaves like them.
#ifndef RYX_HOST_WINDOWS_API_H
#define RYX_HOST_WINDOWS_API_H

#ifdef _WIN32
#include <windows.h>
#else
#include "native/windows_standin.h"
#endif

#endif
