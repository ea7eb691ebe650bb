#include "filter/hook.h"

#include <string.h>

#include "filter/filter.h"
#include "filter/state.h"

namespace {

// A null description in an event is replaced by this, and the host keeps it.
char emptyDescription[1] = {'\0'};

int32_t ReissueStateChange(const ProtocolEvent& event, const UserState& typed, char* converted) {
    UserState state;
    memset(&state, 0, sizeof state);
    state.size = 76;
    state.description = converted;
    state.value40 = typed.value40;
    state.value56 = typed.value56;

    ProtocolCall call;
    memset(&call, 0, sizeof call);
    call.size = 20;
    call.instance = event.instance;
    call.function = TLEN_PF_CHANGE_USER_STATE;
    call.parameter = &state;

    // The host raises the events of this change synchronously, inside the
    // call; the flag lets them pass through the hook untouched.
    pluginState.changingState = true;
    pluginState.link->callService(pluginState.pluginHandle, TLEN_PROTOCOL_CALL_FUNCTION,
                                  reinterpret_cast<uintptr_t>(&call), 0);
    pluginState.changingState = false;
    return -1;
}

}  // namespace

extern "C" int32_t TLEN_CDECL OnProtocolEvent(ProtocolEvent* event, UserState* state) {
    if (pluginState.changingState) return 0;
    if (pluginState.link == nullptr || pluginState.link->callService == nullptr) return 0;
    if (event == nullptr || state == nullptr) return 0;

    if (event->code == EventUserStateReceived) {
        if (state->description == nullptr) state->description = emptyDescription;
        CapReceivedLineBreaks(state->description, pluginState.recvMax);
        return 0;
    }
    if (event->code == EventUserStateChange) {
        if (state->description == nullptr) state->description = emptyDescription;
        char converted[DescriptionBufferSize];
        // Text that would not fit is let through as typed rather than cut.
        if (ExpandDescriptionEscapes(state->description, converted) != ExpansionConverted) return 0;
        return ReissueStateChange(*event, *state, converted);
    }
    return 0;
}
