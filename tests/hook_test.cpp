#include "filter/hook.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "filter/state.h"
#include "tests/alloc_counter.h"
#include "tests/fake_host.h"
#include "tests/notation.h"

namespace {

const uint32_t Instance = 0x51;
PluginHandle const Plugin = reinterpret_cast<PluginHandle>(0x10000000);

// An event as the host raises it: its records, and a description it owns.
struct Event {
    ProtocolEvent event;
    UserState state;
    std::string text;

    Event(uint32_t code, const std::string& description) : text(description) {
        memset(&event, 0, sizeof event);
        memset(&state, 0xA5, sizeof state);  // host records are not zero-filled
        event.instance = Instance;
        event.code = code;
        state.value40 = 0x40404040;
        state.value56 = 0x56565656;
        state.description = &text[0];
    }
    int32_t Raise() { return OnProtocolEvent(&event, &state); }
};

class HookTest : public ::testing::Test {
protected:
    void SetUp() override {
        pluginState = {&host.link, Plugin, 0, 0, DefaultRecvMax, false};
    }
    void TearDown() override { pluginState = {nullptr, nullptr, 0, 0, DefaultRecvMax, false}; }

    FakeHost host;
};

TEST_F(HookTest, ChangeThatNeedsNoConversionGoesAheadAsTyped) {
    const char* unchanged[] = {"Away", "", "1[LF]2[LF]3[LF]4[LF]5", "Mi\xB3" "e", "tab\there"};
    for (const char* typed : unchanged) {
        Event e(EventUserStateChange, Bytes(typed));
        EXPECT_EQ(e.Raise(), 0) << typed;
        EXPECT_EQ(e.text, Bytes(typed));
    }
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(HookTest, ChangedDescriptionIsReissuedOnceAndTheTypedOneDropped) {
    const struct {
        const char* typed;
        const char* sent;
    } cases[] = {
        {R"(Away\nback at 5)", "Away[LF]back at 5"},
        {R"(C:\\dir)", R"(C:\dir)"},
        {R"(a\tb)", "ab"},
        {"x[CR][LF]y", "x[LF][LF]y"},
        {R"(trailing\)", "trailing"},
        {"1[LF]2[LF]3[LF]4[LF]5[LF]6", "1[LF]2[LF]3[LF]4[LF]56"},
    };
    for (const auto& c : cases) {
        host.calls.clear();
        Event e(EventUserStateChange, Bytes(c.typed));
        char* const typedPointer = e.state.description;
        EXPECT_EQ(e.Raise(), -1) << c.typed;
        EXPECT_FALSE(pluginState.changingState);
        // The host's own record is left as it was.
        EXPECT_EQ(e.state.description, typedPointer);
        EXPECT_EQ(e.text, Bytes(c.typed));

        ASSERT_EQ(host.calls.size(), 1u) << c.typed;
        const RecordedCall& call = host.calls[0];
        EXPECT_EQ(call.plugin, Plugin);
        EXPECT_EQ(call.service, TLEN_PROTOCOL_CALL_FUNCTION);
        EXPECT_EQ(call.lParam, 0u);
        EXPECT_TRUE(call.changingState);
        EXPECT_EQ(call.call.size, 20u);
        EXPECT_EQ(call.call.instance, Instance);
        EXPECT_EQ(call.function, TLEN_PF_CHANGE_USER_STATE);
        EXPECT_EQ(call.call.reserved16, 0u);
        EXPECT_EQ(Notation(call.description), c.sent);

        // The re-issued state: size, the two copied values, all else zero.
        UserState expected;
        memset(&expected, 0, sizeof expected);
        expected.size = 76;
        expected.value40 = 0x40404040;
        expected.value56 = 0x56565656;
        expected.description = call.state.description;
        EXPECT_EQ(memcmp(&call.state, &expected, sizeof expected), 0) << c.typed;
    }
}

TEST_F(HookTest, NullDescriptionBecomesEmptyText) {
    for (uint32_t code : {EventUserStateChange, EventUserStateReceived}) {
        Event e(code, "");
        e.state.description = nullptr;
        EXPECT_EQ(e.Raise(), 0);
        ASSERT_NE(e.state.description, nullptr) << "code " << code;
        EXPECT_STREQ(e.state.description, "");
    }
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(HookTest, ReceivedDescriptionIsCappedInPlace) {
    const struct {
        int32_t recvMax;
        const char* received;
        const char* shown;
    } cases[] = {
        {3, "a[LF]b[LF]c[LF]d", "a[LF]b[LF]c d"},
        {0, "a[CR][LF]b", "a[CR] b"},
        {999, "a[LF]b", "a[LF]b"},
    };
    for (const auto& c : cases) {
        pluginState.recvMax = c.recvMax;
        Event e(EventUserStateReceived, Bytes(c.received));
        char* const pointer = e.state.description;
        EXPECT_EQ(e.Raise(), 0);
        EXPECT_EQ(e.state.description, pointer);
        EXPECT_EQ(Notation(e.text), c.shown) << "recvMax " << c.recvMax;
    }
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(HookTest, OtherCodesAndEventsDuringAReissuePassUntouched) {
    const std::string typed = Bytes(R"(a\nb[LF][LF][LF][LF][LF])");
    const struct {
        uint32_t code;
        bool changing;
        bool bound;
    } cases[] = {
        {0, false, true},           {1, false, true},
        {3, false, true},           {7, false, true},
        {0xFFFFFFFF, false, true},  {EventUserStateChange, true, true},
        {EventUserStateReceived, true, true}, {EventUserStateChange, false, false},
        {EventUserStateReceived, false, false},
    };
    pluginState.recvMax = 1;
    for (const auto& c : cases) {
        pluginState.changingState = c.changing;
        pluginState.link = c.bound ? &host.link : nullptr;
        Event withText(c.code, typed);
        EXPECT_EQ(withText.Raise(), 0) << "code " << c.code;
        EXPECT_EQ(withText.text, typed) << "code " << c.code;
        Event withNull(c.code, "");
        withNull.state.description = nullptr;
        EXPECT_EQ(withNull.Raise(), 0);
        EXPECT_EQ(withNull.state.description, nullptr) << "code " << c.code;
        EXPECT_EQ(pluginState.changingState, c.changing);
    }
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(HookTest, EventsRaisedInsideTheReissuePassUntouched) {
    int32_t nestedChange = 99;
    int32_t nestedReceived = 99;
    const std::string received = Bytes("1[LF]2[LF]3");
    std::string nestedText;
    pluginState.recvMax = 1;
    host.onChangeUserState = [&] {
        // The host applies the re-issued change and raises its event 6, and
        // a contact's state arrives meanwhile.
        Event change(EventUserStateChange, host.calls.back().description);
        nestedChange = change.Raise();
        Event arrival(EventUserStateReceived, received);
        nestedReceived = arrival.Raise();
        nestedText = arrival.text;
    };
    Event e(EventUserStateChange, R"(Away\nback at 5\\)");
    EXPECT_EQ(e.Raise(), -1);
    EXPECT_EQ(nestedChange, 0);
    EXPECT_EQ(nestedReceived, 0);
    EXPECT_EQ(nestedText, received);
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(Notation(host.calls[0].description), R"(Away[LF]back at 5\)");
    EXPECT_FALSE(pluginState.changingState);

    // Once the re-issue is over, the next event is handled again.
    Event next(EventUserStateReceived, received);
    EXPECT_EQ(next.Raise(), 0);
    EXPECT_EQ(Notation(next.text), "1[LF]2 3");
}

TEST_F(HookTest, LongDescriptionsAreReissuedOrLetThroughWhole) {
    std::string escapes;
    while (escapes.size() < 100000) escapes += R"(\\x\n)";
    const struct {
        const char* name;
        std::string typed;
        int32_t result;
        size_t sentLength;
    } cases[] = {
        {"2047 plain", std::string(2047, 'a'), 0, 0},
        {"2048 plain", std::string(2048, 'a'), 0, 0},
        {"100000 plain", std::string(100000, 'a'), 0, 0},
        {"2047 with an escape", std::string(2045, 'a') + R"(\n)", -1, 2046},
        {"2048 with an escape", std::string(2046, 'a') + R"(\n)", -1, 2047},
        {"2049 with an escape", std::string(2047, 'a') + R"(\n)", 0, 0},
        {"100000 of escapes", escapes, 0, 0},
    };
    for (const auto& c : cases) {
        host.calls.clear();
        Event e(EventUserStateChange, c.typed);
        EXPECT_EQ(e.Raise(), c.result) << c.name;
        EXPECT_EQ(e.text, c.typed) << c.name;
        if (c.result == -1) {
            ASSERT_EQ(host.calls.size(), 1u) << c.name;
            EXPECT_EQ(host.calls[0].description.size(), c.sentLength) << c.name;
        } else {
            EXPECT_TRUE(host.calls.empty()) << c.name;
        }
    }
}

int quietCalls = 0;

intptr_t TLEN_CDECL QuietCallService(PluginHandle, const char*, uintptr_t, uintptr_t) {
    ++quietCalls;
    return 0;
}

TEST_F(HookTest, MakesNoHeapAllocation) {
    // A host that records nothing, so that every allocation counted is the hook's.
    PluginLink quiet;
    memset(&quiet, 0, sizeof quiet);
    quiet.callService = QuietCallService;
    pluginState.link = &quiet;
    Event change(EventUserStateChange, R"(Away\nback)");
    Event arrival(EventUserStateReceived, Bytes("a[LF]b[CR]c[LF]d"));
    Event nullArrival(EventUserStateReceived, "");
    nullArrival.state.description = nullptr;

    const unsigned long before = heapAllocations;
    EXPECT_EQ(change.Raise(), -1);
    EXPECT_EQ(arrival.Raise(), 0);
    EXPECT_EQ(nullArrival.Raise(), 0);
    EXPECT_EQ(quietCalls, 1);
    EXPECT_EQ(heapAllocations - before, 0u);

    // The counter does see an allocation when one is made.
    void* volatile probe = malloc(1);
    free(probe);
    EXPECT_EQ(heapAllocations - before, 1u);
}

}  // namespace
