// A stand-in for the Tlen messenger: it loads a plugin DLL and plays the
// host's part towards it, so ryx.tpl can be tried and tested for real.
#ifndef RYX_STANDIN_HOST_HOST_H
#define RYX_STANDIN_HOST_HOST_H

#include <windows.h>

#include <string>
#include <vector>

#include "host/tlen.h"

class StandInHost {
public:
    struct Box {
        HWND owner;
        std::string text;
        std::string caption;
        UINT style;
    };
    struct Registration {
        std::string protocol;
        ProtocolHookFunction callback;
        PluginHandle plugin;
        HookHandle handle;
    };
    struct AppliedState {
        std::string protocol;
        std::string description;
        uint32_t value40;
        uint32_t value56;
    };

    // Every step and its outcome, one line each, goes to `log` (or nowhere).
    explicit StandInHost(FILE* log = nullptr);
    ~StandInHost();

    // LoadLibrary, with the plugin's MessageBoxA caught so that no box ever
    // waits for a click. Paths are UTF-8; one starting with '/' is a Unix
    // path under Wine.
    bool Load(const std::string& path);
    // GetPluginInfo with the host's version; null when the plugin refuses.
    const PluginInfo* Describe(uint32_t hostVersion);
    // LoadPlugin with the host's link; `settingsDirectory` is what
    // GetHostPaths names (it should end in a separator, as the real host's
    // does), handed over in the process's code page as an ANSI host would.
    void Bind(const std::string& settingsDirectory);
    void Unbind();  // UnloadPlugin, if bound
    void Unload();  // FreeLibrary, unbinding first if need be

    // The local user picks a state with this description. Returns true when
    // the change went ahead as typed, false when a hook dropped it.
    bool ChangeOwnState(const std::string& protocol, const std::string& description,
                        uint32_t value40 = 2, uint32_t value56 = 0);
    // A contact's state arrives; returns the description as the host would
    // show it once the hooks are done with it.
    std::string ReceiveState(const std::string& protocol, const std::string& description);

    // Log the bytes of every description beside it.
    void ShowBytes(bool show) { showBytes_ = show; }

    HMODULE module() const { return module_; }
    // The link LoadPlugin gets.
    const PluginLink* link() const { return &link_; }
    // The plugin handle each service call named, in order.
    const std::vector<PluginHandle>& callers() const { return callers_; }
    const std::vector<Box>& boxes() const { return boxes_; }
    const std::vector<Registration>& registrations() const { return registrations_; }
    const std::vector<AppliedState>& applied() const { return applied_; }
    void ForgetApplied() { applied_.clear(); }
    // Unhook requests that matched no registration.
    int strayUnhooks() const { return strayUnhooks_; }
    // "PROTOCOL CODE -> RESULT" for each hook call of the last change or
    // arrival, in the order the calls returned (nested ones first).
    const std::vector<std::string>& events() const { return events_; }

private:
    static intptr_t TLEN_CDECL CallService(PluginHandle plugin, const char* service,
                                           uintptr_t wParam, uintptr_t lParam);
    static HostPaths* TLEN_CDECL GetHostPathsFunction(uint32_t, uint32_t);
    static int WINAPI CatchMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style);

    intptr_t Service(PluginHandle plugin, const char* service, uintptr_t wParam, uintptr_t lParam);
    int32_t Raise(const std::string& protocol, uint32_t code, UserState* state);
    void Apply(const std::string& protocol, const UserState& state);
    void Log(const char* format, ...);
    std::string Indent() const;

    FILE* log_;
    HMODULE module_ = nullptr;
    const PluginInfo* (TLEN_CDECL* getPluginInfo_)(uint32_t) = nullptr;
    int32_t (TLEN_CDECL* loadPlugin_)(const PluginLink*) = nullptr;
    int32_t (TLEN_CDECL* unloadPlugin_)() = nullptr;
    PluginLink link_;
    std::string settingsDirectory_;  // as the plugin gets it
    std::string settingsDirectoryShown_;
    HostPaths paths_;
    std::vector<Box> boxes_;
    std::vector<Registration> registrations_;
    std::vector<AppliedState> applied_;
    std::vector<std::string> events_;
    std::vector<PluginHandle> callers_;
    HookHandle nextHandle_ = 0x100;
    int strayUnhooks_ = 0;
    int depth_ = 0;
    bool bound_ = false;
    bool showBytes_ = false;
};

// A path given in UTF-8, as Windows writes it; under Wine a Unix path
// (starting with '/') is on drive Z:.
std::wstring WindowsPath(const std::string& path);

#endif
