// The plugin's entry points: what the system loader and the host call.
#ifndef RYX_HOST_PLUGIN_H
#define RYX_HOST_PLUGIN_H

#include "host/tlen.h"

#if defined(_WIN32) && !defined(_WIN64)
#define RYX_STDCALL __stdcall
#else
#define RYX_STDCALL
#endif

// The library's entry routine: records the module handle, for every reason.
extern "C" int RYX_STDCALL DllEntryPoint(PluginHandle instance, uint32_t reason, void* reserved);

// The plugin's description for a host of `hostVersion` or later than
// 4.90.1.3; for an older host, shows an error box and returns null.
extern "C" const PluginInfo* TLEN_CDECL GetPluginInfo(uint32_t hostVersion);

// Binds the plugin to the host: keeps the link, reads the setting and hooks
// "GG" and "TLEN". Returns 0.
extern "C" int32_t TLEN_CDECL LoadPlugin(const PluginLink* link);

// Removes both hooks. Returns 0.
extern "C" int32_t TLEN_CDECL UnloadPlugin(void);

// The error box's texts; the caption is Windows-1250 for "Błąd".
#define RYX_OLD_HOST_TEXT "Plugin wymaga komunikatora Tlen.pl w wersji co najmniej 4.90.1.3!"
#define RYX_OLD_HOST_CAPTION "B\xB3\xB9" "d"

#endif
