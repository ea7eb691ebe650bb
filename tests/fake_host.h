// A fake Tlen host for the unit tests: its CallService records every call,
// with copies of the records it was handed (they live only during the call).
#ifndef RYX_TESTS_FAKE_HOST_H
#define RYX_TESTS_FAKE_HOST_H

#include <functional>
#include <string>
#include <vector>

#include "host/tlen.h"

struct RecordedCall {
    PluginHandle plugin;
    std::string service;
    uintptr_t wParam;
    uintptr_t lParam;
    bool changingState;  // the plugin's flag as the call was made
    // "Tlen/ProtocolHookEvent": the record and its protocol text.
    ProtocolHook hook;
    // "Tlen/ProtocolUnhookEvent" and "Tlen/ProtocolHookEvent": the protocol text.
    std::string protocol;
    // "Tlen/ProtocolCallFunction": the call, its user state and description.
    ProtocolCall call;
    std::string function;
    UserState state;
    std::string description;
};

class FakeHost {
public:
    FakeHost();
    ~FakeHost();

    PluginLink link;
    std::vector<RecordedCall> calls;

    // What "Tlen/GetProcAddress" answers for GetHostPaths: by default the
    // host's own function, which returns `paths` with `directory`.
    bool offerGetHostPaths = true;
    bool offerPaths = true;
    std::string directory;
    HostPaths paths;

    // Run inside "PFChangeUserState", as a host raises the change's events.
    std::function<void()> onChangeUserState;

    uintptr_t nextHookHandle = 0x1000;

    std::vector<const RecordedCall*> CallsTo(const std::string& service) const;
};

#endif
