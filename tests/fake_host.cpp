#include "tests/fake_host.h"

#include <string.h>

#include "filter/state.h"

namespace {

FakeHost* currentHost = nullptr;

HostPaths* TLEN_CDECL FakeGetHostPaths(uint32_t, uint32_t) {
    if (!currentHost->offerPaths) return nullptr;
    currentHost->paths.directory =
        currentHost->directory.empty() ? nullptr : currentHost->directory.c_str();
    return &currentHost->paths;
}

intptr_t TLEN_CDECL FakeCallService(PluginHandle plugin, const char* service, uintptr_t wParam,
                                    uintptr_t lParam) {
    FakeHost& host = *currentHost;
    RecordedCall call;
    memset(&call.hook, 0, sizeof call.hook);
    memset(&call.call, 0, sizeof call.call);
    memset(&call.state, 0, sizeof call.state);
    call.plugin = plugin;
    call.service = service;
    call.wParam = wParam;
    call.lParam = lParam;
    call.changingState = pluginState.changingState;

    intptr_t result = 0;
    if (call.service == TLEN_GET_PROC_ADDRESS) {
        if (wParam == GetHostPathsProcId && host.offerGetHostPaths)
            result = reinterpret_cast<intptr_t>(&FakeGetHostPaths);
    } else if (call.service == TLEN_PROTOCOL_HOOK_EVENT) {
        call.hook = *reinterpret_cast<const ProtocolHook*>(wParam);
        call.protocol = call.hook.protocol;
        result = static_cast<intptr_t>(host.nextHookHandle++);
    } else if (call.service == TLEN_PROTOCOL_UNHOOK_EVENT) {
        call.protocol = reinterpret_cast<const char*>(wParam);
    } else if (call.service == TLEN_PROTOCOL_CALL_FUNCTION) {
        call.call = *reinterpret_cast<const ProtocolCall*>(wParam);
        call.function = call.call.function;
        call.state = *call.call.parameter;
        call.description = call.state.description;
    }
    host.calls.push_back(call);
    if (call.function == TLEN_PF_CHANGE_USER_STATE && host.onChangeUserState)
        host.onChangeUserState();
    return result;
}

}  // namespace

FakeHost::FakeHost() {
    memset(&link, 0, sizeof link);
    memset(&paths, 0, sizeof paths);
    link.callService = FakeCallService;
    currentHost = this;
}

FakeHost::~FakeHost() { currentHost = nullptr; }

std::vector<const RecordedCall*> FakeHost::CallsTo(const std::string& service) const {
    std::vector<const RecordedCall*> found;
    for (const RecordedCall& call : calls)
        if (call.service == service) found.push_back(&call);
    return found;
}
