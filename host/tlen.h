// The Tlen messenger's plugin interface, as far as ryx uses it: the service
// call, the four services and one protocol function it names, and the records
// that cross the boundary. On the 32-bit target every record is a plain
// layout of 32-bit fields, pinned below; on a 64-bit native build the same
// names exist so the core and its tests compile, with wider pointers.
#ifndef RYX_HOST_TLEN_H
#define RYX_HOST_TLEN_H

#include <stddef.h>
#include <stdint.h>

// Everything the host calls, and everything it offers, uses the C calling
// convention: the caller removes the arguments.
#if defined(_WIN32) && !defined(_WIN64)
#define TLEN_CDECL __cdecl
#else
#define TLEN_CDECL
#endif

// The plugin module's instance handle, as the system hands it to the entry
// routine; the first argument of every service call.
typedef void* PluginHandle;

// What "Tlen/ProtocolHookEvent" answers; handed back when unhooking.
typedef uintptr_t HookHandle;

// Host version numbers pack one component per byte, most significant first.
const uint32_t MinHostVersion = 0x045A0103;  // 4.90.1.3

// Service names and the protocol function the plugin reaches through them.
#define TLEN_GET_PROC_ADDRESS "Tlen/GetProcAddress"
#define TLEN_PROTOCOL_HOOK_EVENT "Tlen/ProtocolHookEvent"
#define TLEN_PROTOCOL_UNHOOK_EVENT "Tlen/ProtocolUnhookEvent"
#define TLEN_PROTOCOL_CALL_FUNCTION "Tlen/ProtocolCallFunction"
#define TLEN_PF_CHANGE_USER_STATE "PFChangeUserState"

// Protocol identifiers.
#define TLEN_PROTOCOL_GG "GG"
#define TLEN_PROTOCOL_TLEN "TLEN"

// wParam of "Tlen/GetProcAddress" that asks for GetHostPaths.
const uint32_t GetHostPathsProcId = 0x20001;

// Event codes of ProtocolEvent::code.
const uint32_t EventUserStateReceived = 2;
const uint32_t EventUserStateChange = 6;

// The one host function: (caller, service name, wParam, lParam) -> result.
typedef intptr_t(TLEN_CDECL* CallService)(PluginHandle plugin, const char* service,
                                          uintptr_t wParam, uintptr_t lParam);

// Handed to LoadPlugin; valid until UnloadPlugin returns. Only the service
// call at offset 8 is used.
struct PluginLink {
    uint32_t reserved0;
    uint32_t reserved4;
    CallService callService;
};

// A protocol event, owned by the host for the duration of the hook call.
struct ProtocolEvent {
    uint32_t reserved0;
    uint32_t instance;  // opaque; names the protocol instance in a re-issue
    uint32_t code;      // EventUserStateReceived, EventUserStateChange, ...
};

// A user's state. The host's copy comes with an event; the plugin builds its
// own, zero-filled, to re-issue a state change.
struct UserState {
    uint32_t size;  // 76 when the plugin builds it; never read from the host
    uint32_t reserved4[9];
    uint32_t value40;  // opaque; copied into a re-issue
    uint32_t reserved44;
    char* description;  // may be null in an event
    uint32_t reserved52;
    uint32_t value56;  // opaque; copied into a re-issue
    uint32_t reserved60[4];
};

// The hook the plugin registers: 0 lets the host carry on with the event,
// -1 tells it the change was dealt with here and must not be applied.
typedef int32_t(TLEN_CDECL* ProtocolHookFunction)(ProtocolEvent* event, UserState* state);

// Argument of "Tlen/ProtocolHookEvent"; the host keeps what it needs of it.
struct ProtocolHook {
    uint32_t size;         // 20
    const char* protocol;  // "GG" or "TLEN"
    ProtocolHookFunction callback;
    uint32_t reserved12;
    PluginHandle plugin;
};

// Argument of "Tlen/ProtocolCallFunction".
struct ProtocolCall {
    uint32_t size;  // 20
    uint32_t instance;
    const char* function;  // "PFChangeUserState"
    UserState* parameter;
    uint32_t reserved16;
};

// What GetPluginInfo answers; static for the life of the module.
struct PluginInfo {
    uint32_t size;  // 52
    const char* name;
    uint32_t version;
    uint32_t version2;  // meaning known only to the host
    const char* description;
    const char* copyright;
    const char* author;
    const char* email;
    const char* homePage;
    uint32_t reserved36[4];
};

// The host's paths; only the settings directory at offset 12 is read.
struct HostPaths {
    uint32_t reserved0[3];
    const char* directory;
};

// Reached through "Tlen/GetProcAddress" with GetHostPathsProcId.
typedef HostPaths*(TLEN_CDECL* GetHostPaths)(uint32_t, uint32_t);

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(void*) == 4, "the host is a 32-bit process");
static_assert(offsetof(PluginLink, callService) == 8, "PluginLink layout");
static_assert(offsetof(ProtocolEvent, instance) == 4, "ProtocolEvent layout");
static_assert(offsetof(ProtocolEvent, code) == 8, "ProtocolEvent layout");
static_assert(sizeof(UserState) == 76, "UserState size");
static_assert(offsetof(UserState, value40) == 40, "UserState layout");
static_assert(offsetof(UserState, description) == 48, "UserState layout");
static_assert(offsetof(UserState, value56) == 56, "UserState layout");
static_assert(sizeof(ProtocolHook) == 20, "ProtocolHook size");
static_assert(offsetof(ProtocolHook, protocol) == 4, "ProtocolHook layout");
static_assert(offsetof(ProtocolHook, callback) == 8, "ProtocolHook layout");
static_assert(offsetof(ProtocolHook, plugin) == 16, "ProtocolHook layout");
static_assert(sizeof(ProtocolCall) == 20, "ProtocolCall size");
static_assert(offsetof(ProtocolCall, instance) == 4, "ProtocolCall layout");
static_assert(offsetof(ProtocolCall, function) == 8, "ProtocolCall layout");
static_assert(offsetof(ProtocolCall, parameter) == 12, "ProtocolCall layout");
static_assert(sizeof(PluginInfo) == 52, "PluginInfo size");
static_assert(offsetof(PluginInfo, version) == 8, "PluginInfo layout");
static_assert(offsetof(PluginInfo, description) == 16, "PluginInfo layout");
static_assert(offsetof(PluginInfo, homePage) == 32, "PluginInfo layout");
static_assert(offsetof(HostPaths, directory) == 12, "HostPaths layout");
static_assert(sizeof(CallService) == 4 && sizeof(HookHandle) == 4, "32-bit values");
#endif

#endif
