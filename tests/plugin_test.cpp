#include "host/plugin.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "filter/hook.h"
#include "filter/state.h"
#include "host/version.h"
#include "tests/fake_host.h"
#include "tests/message_boxes.h"
#include "tests/temp_dir.h"

namespace {

PluginHandle const Module = reinterpret_cast<PluginHandle>(0x6A000000);

class PluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        pluginState = {nullptr, nullptr, 0, 0, DefaultRecvMax, false};
        DllEntryPoint(Module, 1, nullptr);
        host.directory = dir.Path() + "\\";
        ASSERT_TRUE(CatchMessageBoxes());
        shownBoxes.clear();
    }
    void TearDown() override { pluginState = {nullptr, nullptr, 0, 0, DefaultRecvMax, false}; }

    FakeHost host;
    TempDir dir;
};

TEST_F(PluginTest, EntryRoutineRecordsTheModuleForEveryReason) {
    for (uint32_t reason : {0u, 1u, 2u, 3u}) {
        PluginHandle handle = reinterpret_cast<PluginHandle>(0x1000u * (reason + 1));
        EXPECT_EQ(DllEntryPoint(handle, reason, reinterpret_cast<void*>(1)), 1);
        EXPECT_EQ(pluginState.pluginHandle, handle);
    }
}

TEST_F(PluginTest, VersionGate) {
    const struct {
        uint32_t hostVersion;
        bool accepted;
    } cases[] = {
        {0x045A0102, false}, {0x00000000, false}, {0x045A0000, false},
        {0x045A0103, true},  {0x045A0104, true},  {0xFFFFFFFF, true},
    };
    for (const auto& c : cases) {
        shownBoxes.clear();
        const PluginInfo* info = GetPluginInfo(c.hostVersion);
        if (c.accepted) {
            EXPECT_NE(info, nullptr) << std::hex << c.hostVersion;
            EXPECT_TRUE(shownBoxes.empty()) << std::hex << c.hostVersion;
            EXPECT_EQ(GetPluginInfo(c.hostVersion), info);
            continue;
        }
        EXPECT_EQ(info, nullptr) << std::hex << c.hostVersion;
        ASSERT_EQ(shownBoxes.size(), 1u) << std::hex << c.hostVersion;
        EXPECT_EQ(shownBoxes[0].owner, nullptr);
        EXPECT_EQ(shownBoxes[0].text,
                  "Plugin wymaga komunikatora Tlen.pl w wersji co najmniej 4.90.1.3!");
        EXPECT_EQ(shownBoxes[0].caption, std::string("\x42\xB3\xB9\x64"));
        EXPECT_EQ(shownBoxes[0].style, 0x10u);
    }
}

TEST_F(PluginTest, DescribesItself) {
    const PluginInfo* info = GetPluginInfo(MinHostVersion);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->size, 52u);
    EXPECT_STREQ(info->name, "ryx");
    // The release's version, "A.B.C.D", packed a component per byte.
    unsigned a, b, c, d;
    ASSERT_EQ(sscanf(RYX_VERSION_TEXT, "%u.%u.%u.%u", &a, &b, &c, &d), 4);
    EXPECT_EQ(info->version, (a << 24) | (b << 16) | (c << 8) | d);
    EXPECT_EQ(info->version2, 0x00010004u);
    EXPECT_STREQ(info->description, "\\n");
    for (const char* text : {info->copyright, info->author, info->email, info->homePage}) {
        ASSERT_NE(text, nullptr);
        EXPECT_GT(strlen(text), 0u);
    }
    for (uint32_t reserved : info->reserved36) EXPECT_EQ(reserved, 0u);
}

TEST_F(PluginTest, LoadReadsTheSettingThenHooksGGThenTLEN) {
    dir.Write("ryx.config", "[general]\nrecvmax=4\n");
    EXPECT_EQ(LoadPlugin(&host.link), 0);
    EXPECT_EQ(pluginState.link, &host.link);
    EXPECT_EQ(pluginState.recvMax, 4);

    ASSERT_EQ(host.calls.size(), 3u);
    EXPECT_EQ(host.calls[0].service, TLEN_GET_PROC_ADDRESS);
    const char* protocols[] = {"GG", "TLEN"};
    for (int i = 0; i < 2; ++i) {
        const RecordedCall& call = host.calls[1 + i];
        EXPECT_EQ(call.plugin, Module);
        EXPECT_EQ(call.service, TLEN_PROTOCOL_HOOK_EVENT);
        EXPECT_EQ(call.lParam, 0u);
        EXPECT_EQ(call.protocol, protocols[i]);
        EXPECT_EQ(call.hook.size, 20u);
        EXPECT_EQ(call.hook.callback, &OnProtocolEvent);
        EXPECT_EQ(call.hook.reserved12, 0u);
        EXPECT_EQ(call.hook.plugin, Module);
    }
    EXPECT_EQ(pluginState.hookGG, 0x1000u);
    EXPECT_EQ(pluginState.hookTLEN, 0x1001u);
}

TEST_F(PluginTest, UnloadGivesBackEachHandleGGFirst) {
    LoadPlugin(&host.link);
    host.calls.clear();
    EXPECT_EQ(UnloadPlugin(), 0);
    ASSERT_EQ(host.calls.size(), 2u);
    const struct {
        const char* protocol;
        uintptr_t handle;
    } expected[] = {{"GG", 0x1000}, {"TLEN", 0x1001}};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(host.calls[i].plugin, Module);
        EXPECT_EQ(host.calls[i].service, TLEN_PROTOCOL_UNHOOK_EVENT);
        EXPECT_EQ(host.calls[i].protocol, expected[i].protocol);
        EXPECT_EQ(host.calls[i].lParam, expected[i].handle);
    }
}

TEST_F(PluginTest, LoadUnloadTwiceLeavesNoRegistration) {
    for (int round = 0; round < 2; ++round) {
        LoadPlugin(&host.link);
        UnloadPlugin();
    }
    // Every handle given out was given back once, with its protocol.
    std::vector<std::pair<std::string, uintptr_t>> hooked;
    std::vector<std::pair<std::string, uintptr_t>> unhooked;
    for (const RecordedCall* call : host.CallsTo(TLEN_PROTOCOL_HOOK_EVENT))
        hooked.emplace_back(call->protocol, 0x1000 + hooked.size());
    for (const RecordedCall* call : host.CallsTo(TLEN_PROTOCOL_UNHOOK_EVENT))
        unhooked.emplace_back(call->protocol, call->lParam);
    EXPECT_EQ(hooked.size(), 4u);
    EXPECT_EQ(unhooked, hooked);
}

TEST_F(PluginTest, NothingHappensBeforeLoad) {
    EXPECT_EQ(UnloadPlugin(), 0);
    std::string text = "a\nb\nc";
    ProtocolEvent event = {0, 1, EventUserStateReceived};
    UserState state = {};
    state.description = &text[0];
    pluginState.recvMax = 1;
    EXPECT_EQ(OnProtocolEvent(&event, &state), 0);
    EXPECT_EQ(text, "a\nb\nc");
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(PluginTest, EventsAfterUnloadPassUntouched) {
    LoadPlugin(&host.link);
    UnloadPlugin();
    host.calls.clear();
    std::string text = "Away\\nback";
    ProtocolEvent event = {0, 1, EventUserStateChange};
    UserState state = {};
    state.description = &text[0];
    EXPECT_EQ(OnProtocolEvent(&event, &state), 0);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(UnloadPlugin(), 0);
    EXPECT_TRUE(host.calls.empty());
}

}  // namespace
