#include "standin_host/host.h"

#include <stdarg.h>
#include <string.h>

#include "standin_host/import_patch.h"

namespace {

StandInHost* current = nullptr;

// The host's protocol instances, as events and protocol calls name them.
const uint32_t InstanceGG = 0x6600;
const uint32_t InstanceTLEN = 0x7100;

uint32_t InstanceOf(const std::string& protocol) { return protocol == "GG" ? InstanceGG : InstanceTLEN; }

std::string WindowsPath(const std::string& path) {
    std::string converted = path;
    for (char& c : converted)
        if (c == '/') c = '\\';
    // Wine shows the Unix file system as drive Z:.
    if (!path.empty() && path[0] == '/') converted = "Z:" + converted;
    return converted;
}

}  // namespace

std::string ForDisplay(const std::string& text) {
    // The messenger's texts are Windows-1250; terminals today expect UTF-8.
    const int wide = MultiByteToWideChar(1250, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (wide <= 0) return text;
    std::wstring utf16(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(1250, 0, text.data(), static_cast<int>(text.size()), &utf16[0], wide);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return text;
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

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
    const std::string windowsPath = WindowsPath(path);
    module_ = LoadLibraryA(windowsPath.c_str());
    if (module_ == nullptr) {
        Log("LoadLibrary %s failed (error %lu)", windowsPath.c_str(), GetLastError());
        return false;
    }
    ReplaceImport(module_, "user32.dll", "MessageBoxA", reinterpret_cast<void*>(&CatchMessageBox));
    getPluginInfo_ = reinterpret_cast<decltype(getPluginInfo_)>(
        reinterpret_cast<void*>(GetProcAddress(module_, "GetPluginInfo")));
    loadPlugin_ = reinterpret_cast<decltype(loadPlugin_)>(
        reinterpret_cast<void*>(GetProcAddress(module_, "LoadPlugin")));
    unloadPlugin_ = reinterpret_cast<decltype(unloadPlugin_)>(
        reinterpret_cast<void*>(GetProcAddress(module_, "UnloadPlugin")));
    Log("LoadLibrary %s: loaded", windowsPath.c_str());
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
    settingsDirectory_ = WindowsPath(settingsDirectory);
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
    current->Log("GetHostPaths: settings directory %s", current->paths_.directory);
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
        Log("%s(%s on %s): \"%s\"", service, call->function, protocol.c_str(),
            Visible(description).c_str());
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
    Log("state applied on %s: status %u, description \"%s\"", protocol.c_str(), state.value40,
        Visible(description).c_str());
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
    Log("you pick status %u on %s with \"%s\"", value40, protocol.c_str(), Visible(description).c_str());
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
    Log("a contact's state arrives on %s: \"%s\"", protocol.c_str(),
        text.size() > 200 ? (Visible(text.substr(0, 200)) + "...").c_str() : Visible(text).c_str());
    ++depth_;
    Raise(protocol, EventUserStateReceived, &state);
    // The hook edits the record's text in place, or points it elsewhere.
    const std::string shown = state.description ? state.description : "";
    Log("shown as \"%s\"",
        shown.size() > 200 ? (Visible(shown.substr(0, 200)) + "...").c_str() : Visible(shown).c_str());
    --depth_;
    return shown;
}
