#include "standin_host/host.h"

#include <stdarg.h>
#include <string.h>

#include "standin_host/import_patch.h"
#include "standin_host/text.h"

namespace {

StandInHost* current = nullptr;

// The host's protocol instances, as events and protocol calls name them.
const uint32_t InstanceGG = 0x6600;
const uint32_t InstanceTLEN = 0x7100;

uint32_t InstanceOf(const std::string& protocol) { return protocol == "GG" ? InstanceGG : InstanceTLEN; }

// A path as an ANSI program such as the messenger hands it to a plugin: in
// the process's code page, which the plugin's GetPrivateProfileIntA decodes
// it with. Where that code page cannot hold it (a Polish letter under a
// Western one), the path's short form, which is ASCII, as Windows programs do.
std::string AnsiPath(const std::wstring& path, bool* shortened) {
    *shortened = false;
    const auto ansi = [](const std::wstring& wide, bool* lossy) {
        BOOL replaced = FALSE;
        const int size = static_cast<int>(wide.size());
        const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0,
                                               nullptr, &replaced);
        std::string bytes(static_cast<size_t>(length > 0 ? length : 0), '\0');
        if (length > 0)
            WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, &bytes[0], length, nullptr,
                                &replaced);
        *lossy = replaced != FALSE;
        return bytes;
    };
    bool lossy = false;
    const std::string bytes = ansi(path, &lossy);
    if (!lossy) return bytes;
    wchar_t shortPath[MAX_PATH];
    const DWORD length = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return bytes;
    const std::string shortBytes = ansi(shortPath, &lossy);
    if (lossy) return bytes;
    *shortened = true;
    return shortBytes;
}

}  // namespace

std::wstring WindowsPath(const std::string& path) {
    std::wstring converted = WideFromUtf8(path);
    for (wchar_t& c : converted)
        if (c == L'/') c = L'\\';
    // Wine shows the Unix file system as drive Z:.
    if (!path.empty() && path[0] == '/') converted = L"Z:" + converted;
    return converted;
}

StandInHost::StandInHost(FILE* log) : log_(log) {
    memset(&link_, 0, sizeof link_);
    memset(&paths_, 0, sizeof paths_);
    link_.callService = &StandInHost::CallService;
    current = this;
}

StandInHost::~StandInHost() {
    Unload();
    current = nullptr;
}

void StandInHost::Log(const char* format, ...) {
    if (log_ == nullptr) return;
    fputs(Indent().c_str(), log_);
    va_list args;
    va_start(args, format);
    vfprintf(log_, format, args);
    va_end(args);
    fputc('\n', log_);
    fflush(log_);
}

std::string StandInHost::Indent() const { return std::string(2 * depth_, ' '); }

bool StandInHost::Load(const std::string& path) {
    const std::wstring windowsPath = WindowsPath(path);
    const std::string shownPath = Utf8FromWide(windowsPath);
    module_ = LoadLibraryW(windowsPath.c_str());
    if (module_ == nullptr) {
        Log("LoadLibrary %s failed (error %lu)", shownPath.c_str(), GetLastError());
        return false;
    }
    ReplaceImport(module_, "user32.dll", "MessageBoxA", reinterpret_cast<void*>(&CatchMessageBox));
    getPluginInfo_ = reinterpret_cast<decltype(getPluginInfo_)>(
        reinterpret_cast<void*>(GetProcAddress(module_, "GetPluginInfo")));
    loadPlugin_ = reinterpret_cast<decltype(loadPlugin_)>(
        reinterpret_cast<void*>(GetProcAddress(module_, "LoadPlugin")));
    unloadPlugin_ = reinterpret_cast<decltype(unloadPlugin_)>(
        reinterpret_cast<void*>(GetProcAddress(module_, "UnloadPlugin")));
    Log("LoadLibrary %s: loaded", shownPath.c_str());
    if (!getPluginInfo_ || !loadPlugin_ || !unloadPlugin_) {
        Log("the library lacks GetPluginInfo, LoadPlugin or UnloadPlugin: not a plugin");
        return false;
    }
    return true;
}

const PluginInfo* StandInHost::Describe(uint32_t hostVersion) {
    const PluginInfo* info = getPluginInfo_(hostVersion);
    if (info == nullptr) {
        Log("GetPluginInfo(%u.%u.%u.%u): refused", hostVersion >> 24, (hostVersion >> 16) & 0xFF,
            (hostVersion >> 8) & 0xFF, hostVersion & 0xFF);
        return nullptr;
    }
    Log("GetPluginInfo(%u.%u.%u.%u): \"%s\" version %u.%u.%u.%u, description \"%s\"",
        hostVersion >> 24, (hostVersion >> 16) & 0xFF, (hostVersion >> 8) & 0xFF, hostVersion & 0xFF,
        info->name, info->version >> 24, (info->version >> 16) & 0xFF, (info->version >> 8) & 0xFF,
        info->version & 0xFF, info->description);
    Log("  %s, %s <%s>, %s", info->copyright, info->author, info->email, info->homePage);
    return info;
}

void StandInHost::Bind(const std::string& settingsDirectory) {
    const std::wstring directory = WindowsPath(settingsDirectory);
    settingsDirectoryShown_ = Utf8FromWide(directory);
    bool shortened = false;
    settingsDirectory_ = AnsiPath(directory, &shortened);
    if (shortened) settingsDirectoryShown_ += " (as " + settingsDirectory_ + ")";
    Log("LoadPlugin");
    ++depth_;
    loadPlugin_(&link_);
    --depth_;
    bound_ = true;
}

void StandInHost::Unbind() {
    if (!bound_) return;
    bound_ = false;
    Log("UnloadPlugin");
    ++depth_;
    unloadPlugin_();
    --depth_;
    if (!registrations_.empty()) Log("%zu hook(s) still registered", registrations_.size());
}

void StandInHost::Unload() {
    if (module_ == nullptr) return;
    Unbind();
    FreeLibrary(module_);
    module_ = nullptr;
    getPluginInfo_ = nullptr;
    loadPlugin_ = nullptr;
    unloadPlugin_ = nullptr;
    Log("FreeLibrary: unloaded");
}

intptr_t TLEN_CDECL StandInHost::CallService(PluginHandle plugin, const char* service,
                                             uintptr_t wParam, uintptr_t lParam) {
    return current->Service(plugin, service, wParam, lParam);
}

HostPaths* TLEN_CDECL StandInHost::GetHostPathsFunction(uint32_t, uint32_t) {
    current->paths_.directory = current->settingsDirectory_.c_str();
    current->Log("GetHostPaths: settings directory %s", current->settingsDirectoryShown_.c_str());
    return &current->paths_;
}

int WINAPI StandInHost::CatchMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    current->boxes_.push_back({owner, text ? text : "", caption ? caption : "", style});
    std::string bytes;
    for (const char* c = caption; c && *c; ++c) {
        char hex[8];
        snprintf(hex, sizeof hex, "%s%02X", bytes.empty() ? "" : " ", static_cast<unsigned char>(*c));
        bytes += hex;
    }
    current->Log("MessageBoxA(owner %p, style 0x%X): caption bytes %s, text \"%s\"",
                 static_cast<void*>(owner), style, bytes.c_str(), text);
    return IDOK;
}

intptr_t StandInHost::Service(PluginHandle plugin, const char* service, uintptr_t wParam,
                              uintptr_t lParam) {
    callers_.push_back(plugin);
    const std::string name = service ? service : "";
    if (name == TLEN_GET_PROC_ADDRESS) {
        const bool known = wParam == GetHostPathsProcId;
        Log("%s(0x%lX): %s", service, static_cast<unsigned long>(wParam),
            known ? "GetHostPaths" : "unknown, none");
        return known ? reinterpret_cast<intptr_t>(&GetHostPathsFunction) : 0;
    }
    if (name == TLEN_PROTOCOL_HOOK_EVENT) {
        const auto* hook = reinterpret_cast<const ProtocolHook*>(wParam);
        // The record lives only for this call: keep copies of what is needed.
        Registration registration = {hook->protocol, hook->callback, hook->plugin, nextHandle_++};
        registrations_.push_back(registration);
        Log("%s(%s): hook %lu registered", service, registration.protocol.c_str(),
            static_cast<unsigned long>(registration.handle));
        return static_cast<intptr_t>(registration.handle);
    }
    if (name == TLEN_PROTOCOL_UNHOOK_EVENT) {
        const std::string protocol = reinterpret_cast<const char*>(wParam);
        for (auto r = registrations_.begin(); r != registrations_.end(); ++r) {
            if (r->protocol == protocol && r->handle == lParam && r->plugin == plugin) {
                registrations_.erase(r);
                Log("%s(%s, hook %lu): removed", service, protocol.c_str(),
                    static_cast<unsigned long>(lParam));
                return 0;
            }
        }
        ++strayUnhooks_;
        Log("%s(%s, hook %lu): no such registration", service, protocol.c_str(),
            static_cast<unsigned long>(lParam));
        return 0;
    }
    if (name == TLEN_PROTOCOL_CALL_FUNCTION) {
        const auto* call = reinterpret_cast<const ProtocolCall*>(wParam);
        const std::string protocol = call->instance == InstanceGG ? "GG" : "TLEN";
        if (call->function == nullptr || strcmp(call->function, TLEN_PF_CHANGE_USER_STATE) != 0) {
            Log("%s(%s): unknown protocol function", service, call->function ? call->function : "null");
            return 0;
        }
        // A real host takes its own copy of the state before doing anything.
        UserState state = *call->parameter;
        std::string description = state.description ? state.description : "";
        state.description = &description[0];
        Log("%s(%s on %s): %s", service, call->function, protocol.c_str(),
            Shown(description, showBytes_).c_str());
        ++depth_;
        // Setting the state raises its event, synchronously, inside this call.
        if (Raise(protocol, EventUserStateChange, &state) == 0) Apply(protocol, state);
        --depth_;
        return 0;
    }
    Log("%s: unknown service", service);
    return 0;
}

int32_t StandInHost::Raise(const std::string& protocol, uint32_t code, UserState* state) {
    ProtocolEvent event;
    memset(&event, 0, sizeof event);
    event.reserved0 = sizeof event;
    event.instance = InstanceOf(protocol);
    event.code = code;
    int32_t result = 0;
    // A copy: a hook may unhook while it runs.
    const std::vector<Registration> hooks = registrations_;
    for (const Registration& hook : hooks) {
        if (hook.protocol != protocol) continue;
        Log("event %u on %s: hook %lu called", code, protocol.c_str(),
            static_cast<unsigned long>(hook.handle));
        ++depth_;
        result = hook.callback(&event, state);
        --depth_;
        Log("hook %lu answered %d", static_cast<unsigned long>(hook.handle), result);
        events_.push_back(protocol + " " + std::to_string(code) + " -> " + std::to_string(result));
        if (result == -1) break;
    }
    return result;
}

void StandInHost::Apply(const std::string& protocol, const UserState& state) {
    const std::string description = state.description ? state.description : "";
    applied_.push_back({protocol, description, state.value40, state.value56});
    Log("state applied on %s: status %u, description %s", protocol.c_str(), state.value40,
        Shown(description, showBytes_).c_str());
}

bool StandInHost::ChangeOwnState(const std::string& protocol, const std::string& description,
                                 uint32_t value40, uint32_t value56) {
    events_.clear();
    std::string text = description;
    UserState state;
    memset(&state, 0, sizeof state);
    state.size = sizeof state;
    state.value40 = value40;
    state.value56 = value56;
    state.description = &text[0];
    Log("you pick status %u on %s with %s", value40, protocol.c_str(), Shown(description, showBytes_).c_str());
    ++depth_;
    const bool goesAhead = Raise(protocol, EventUserStateChange, &state) == 0;
    if (goesAhead)
        Apply(protocol, state);
    else
        Log("the change as typed is dropped");
    --depth_;
    return goesAhead;
}

std::string StandInHost::ReceiveState(const std::string& protocol, const std::string& description) {
    events_.clear();
    std::string text = description;
    UserState state;
    memset(&state, 0, sizeof state);
    state.size = sizeof state;
    state.value40 = 2;
    state.description = &text[0];
    Log("a contact's state arrives on %s: %s", protocol.c_str(), Shown(text, showBytes_).c_str());
    ++depth_;
    Raise(protocol, EventUserStateReceived, &state);
    // The hook edits the record's text in place, or points it elsewhere.
    const std::string shown = state.description ? state.description : "";
    Log("shown as %s", Shown(shown, showBytes_).c_str());
    --depth_;
    return shown;
}
