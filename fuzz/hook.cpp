// OnProtocolEvent with arbitrary codes, descriptions (null included),
// recvMax values and events raised inside its own re-issue. The hook either
// leaves the event's records alone, caps a received text as the cap does, or
// re-issues exactly what the conversion gives.
//
// Input: code selector, flags, recvMax (4 bytes), description.
#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "filter/filter.h"
#include "filter/hook.h"
#include "filter/state.h"
#include "filter/variant.h"
#include "fuzz/check.h"
#include "tests/reference_filters.h"

namespace {

struct Reissue {
    ProtocolCall call;
    UserState state;
    std::string description;
};
std::vector<Reissue> reissues;
bool reenter = false;
std::string nestedText;

int32_t Raise(uint32_t code, char* description, UserState* state) {
    ProtocolEvent event = {12, 0x51, code};
    memset(state, 0x33, sizeof *state);
    state->description = description;
    return OnProtocolEvent(&event, state);
}

intptr_t TLEN_CDECL FakeHost(PluginHandle, const char* service, uintptr_t wParam, uintptr_t) {
    CHECK(strcmp(service, TLEN_PROTOCOL_CALL_FUNCTION) == 0);
    CHECK(pluginState.changingState);
    const auto* call = reinterpret_cast<const ProtocolCall*>(wParam);
    reissues.push_back({*call, *call->parameter, call->parameter->description});
    if (reenter) {
        // The host applies the change and raises its events, nested.
        for (uint32_t code : {EventUserStateChange, EventUserStateReceived}) {
            std::string text = nestedText;
            UserState state;
            CHECK(Raise(code, &text[0], &state) == 0);
            CHECK(text == nestedText);
        }
    }
    return 0;
}

PluginLink link = {0, 0, FakeHost};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 6) return 0;
    const uint32_t codes[] = {EventUserStateChange, EventUserStateReceived, 0, 1, 3, 7, 0xFFFFFFFF};
    const uint32_t code = codes[data[0] % (sizeof codes / sizeof codes[0])];
    const uint8_t flags = data[1];
    int32_t recvMax;
    memcpy(&recvMax, data + 2, 4);
    std::string text(reinterpret_cast<const char*>(data) + 6, size - 6);
    text.resize(strlen(text.c_str()));
    const std::string typed = text;
    const bool nullDescription = flags & 1;
    const bool alreadyChanging = flags & 2;
    reenter = flags & 4;
    nestedText = typed;
    reissues.clear();
    pluginState = {&link, nullptr, 0, 0, recvMax, alreadyChanging};
    // Either build of the filters, as the processor may pick.
    filterVariant = flags & 8 || !ProcessorHasSse2() ? &WordFilters : &Sse2Filters;

    UserState state;
    char* const description = nullDescription ? nullptr : &text[0];
    const int32_t result = Raise(code, description, &state);

    CHECK(pluginState.changingState == alreadyChanging);
    const bool handled = !alreadyChanging && (code == EventUserStateChange || code == EventUserStateReceived);
    if (!handled) {
        CHECK(result == 0);
        CHECK(reissues.empty());
        CHECK(state.description == description);
        CHECK(text == typed);
        return 0;
    }
    CHECK(state.description != nullptr);
    if (nullDescription) CHECK(state.description[0] == '\0');

    if (code == EventUserStateReceived) {
        CHECK(result == 0);
        CHECK(reissues.empty());
        CHECK(nullDescription || text == ReferenceCap(typed, recvMax));
        return 0;
    }

    const std::string converted = ReferenceExpansion(nullDescription ? "" : typed);
    CHECK(text == typed);  // the event's own text is never changed
    if (converted.size() > DescriptionBufferSize - 1 || converted == (nullDescription ? "" : typed)) {
        CHECK(result == 0);
        CHECK(reissues.empty());
        return 0;
    }
    CHECK(result == -1);
    CHECK(reissues.size() == 1);
    const Reissue& r = reissues[0];
    CHECK(r.description == converted);
    CHECK(r.call.size == 20 && r.call.instance == 0x51 && r.call.reserved16 == 0);
    CHECK(strcmp(r.call.function, TLEN_PF_CHANGE_USER_STATE) == 0);
    UserState expected;
    memset(&expected, 0, sizeof expected);
    expected.size = 76;
    expected.value40 = 0x33333333;
    expected.value56 = 0x33333333;
    expected.description = r.state.description;
    CHECK(memcmp(&expected, &r.state, sizeof expected) == 0);
    return 0;
}
