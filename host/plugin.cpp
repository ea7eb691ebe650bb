#include "host/plugin.h"

#include <string.h>

#include "filter/hook.h"
#include "filter/state.h"
#include "host/version.h"
#include "host/windows_api.h"
#include "settings/settings.h"

namespace {

const uint32_t MessageBoxErrorOk = 0x10;  // MB_OK | MB_ICONERROR

const PluginInfo pluginInfo = {
    52,
    "ryx",
    RYX_VERSION_WORD,
    0x00010004,
    "\\n",  // a backslash and an n: the escape the plugin is about
    "Copyright (c) 2026 the ryx developers",
    "The ryx developers",
    "ryx@example.org",
    "https://example.org/ryx",
    {0, 0, 0, 0},
};

HookHandle Hook(const char* protocol, ProtocolHook* hook) {
    hook->protocol = protocol;
    return static_cast<HookHandle>(pluginState.link->callService(
        pluginState.pluginHandle, TLEN_PROTOCOL_HOOK_EVENT, reinterpret_cast<uintptr_t>(hook), 0));
}

void Unhook(const char* protocol, HookHandle handle) {
    pluginState.link->callService(pluginState.pluginHandle, TLEN_PROTOCOL_UNHOOK_EVENT,
                                  reinterpret_cast<uintptr_t>(protocol), handle);
}

}  // namespace

extern "C" int RYX_STDCALL DllEntryPoint(PluginHandle instance, uint32_t, void*) {
    pluginState.pluginHandle = instance;
    return 1;
}

extern "C" const PluginInfo* TLEN_CDECL GetPluginInfo(uint32_t hostVersion) {
    if (hostVersion >= MinHostVersion) return &pluginInfo;
    MessageBoxA(nullptr, RYX_OLD_HOST_TEXT, RYX_OLD_HOST_CAPTION, MessageBoxErrorOk);
    return nullptr;
}

extern "C" int32_t TLEN_CDECL LoadPlugin(const PluginLink* link) {
    pluginState.link = link;
    if (link == nullptr || link->callService == nullptr) return 0;
    LoadSettings(link, pluginState.pluginHandle);

    ProtocolHook hook;
    memset(&hook, 0, sizeof hook);
    hook.size = 20;
    hook.callback = OnProtocolEvent;
    hook.plugin = pluginState.pluginHandle;
    pluginState.hookGG = Hook(TLEN_PROTOCOL_GG, &hook);
    pluginState.hookTLEN = Hook(TLEN_PROTOCOL_TLEN, &hook);
    return 0;
}

extern "C" int32_t TLEN_CDECL UnloadPlugin(void) {
    if (pluginState.link == nullptr || pluginState.link->callService == nullptr) return 0;
    // Separate copies of the identifiers: the host matches them by content.
    static const char gg[] = TLEN_PROTOCOL_GG;
    static const char tlen[] = TLEN_PROTOCOL_TLEN;
    Unhook(gg, pluginState.hookGG);
    Unhook(tlen, pluginState.hookTLEN);
    // The link is the host's only until now; a late event must not use it.
    pluginState.link = nullptr;
    return 0;
}
