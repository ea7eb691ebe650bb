// End to end: the real ryx.tpl, loaded by the stand-in messenger.
// Usage: ryx_e2e_tests PATH_TO_RYX_TPL [gtest options]
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "standin_host/host.h"
#include "tests/stack_call.h"
#include "tests/temp_dir.h"

namespace {

std::string pluginPath;

class EndToEnd : public ::testing::Test {
protected:
    // Loads, describes and binds the plugin with `config` (if any) as ryx.config.
    void Start(const char* config = nullptr, const char* separator = "\\") {
        if (config) settings.Write("ryx.config", config);
        ASSERT_TRUE(host.Load(pluginPath)) << pluginPath;
        ASSERT_NE(host.Describe(MinHostVersion), nullptr);
        host.Bind(settings.Path() + separator);
    }

    TempDir settings;
    StandInHost host;
};

TEST_F(EndToEnd, TypedChangeIsAppliedOnceConverted) {
    Start();
    const struct {
        const char* protocol;
        const char* typed;
        const char* applied;
    } cases[] = {
        {"TLEN", "Away\\nback at 5", "Away\nback at 5"},
        // Converting this once more would change it again: only the guard
        // against the re-issue's own event keeps it from a second round.
        {"GG", "C:\\\\new", "C:\\new"},
    };
    for (const auto& c : cases) {
        host.ChangeOwnState(c.protocol, c.typed, 3, 77);
        ASSERT_EQ(host.applied().size(), 1u) << c.typed;
        EXPECT_EQ(host.applied()[0].protocol, c.protocol);
        EXPECT_EQ(host.applied()[0].description, c.applied);
        EXPECT_EQ(host.applied()[0].value40, 3u);
        EXPECT_EQ(host.applied()[0].value56, 77u);
        // The nested event of the re-issued change passed; the typed one was dropped.
        const std::string p = c.protocol;
        EXPECT_EQ(host.events(), (std::vector<std::string>{p + " 6 -> 0", p + " 6 -> -1"}));
        host.ForgetApplied();
    }
}

TEST_F(EndToEnd, DescriptionWithNothingToConvertGoesAheadAsTyped) {
    Start();
    EXPECT_TRUE(host.ChangeOwnState("GG", "Back at 5"));
    ASSERT_EQ(host.applied().size(), 1u);
    EXPECT_EQ(host.applied()[0].description, "Back at 5");
    EXPECT_EQ(host.applied()[0].protocol, "GG");
}

TEST_F(EndToEnd, RecvmaxFromTheSettingsDirectoryCapsBothProtocols) {
    Start("[general]\r\nrecvmax=3\r\n");
    for (const char* protocol : {"GG", "TLEN"}) {
        EXPECT_EQ(host.ReceiveState(protocol, "a\nb\nc\nd\ne"), "a\nb\nc d e") << protocol;
        EXPECT_EQ(host.ReceiveState(protocol, "a\r\nb\r\nc"), "a\r\nb  c") << protocol;
    }
}

TEST_F(EndToEnd, SettingsDirectoryWithoutATrailingSeparator) {
    Start("[general]\nrecvmax=2\n", "");
    EXPECT_EQ(host.ReceiveState("GG", "a\nb\nc"), "a\nb c");
}

TEST_F(EndToEnd, WithoutASettingsFileTheFirst998LineBreaksStay) {
    Start();
    std::string text;
    for (int i = 0; i < 1000; ++i) text += "x\n";
    const std::string shown = host.ReceiveState("GG", text);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 998);
    EXPECT_EQ(shown.size(), text.size());
}

TEST_F(EndToEnd, OldHostGetsTheErrorBoxAndNoPlugin) {
    ASSERT_TRUE(host.Load(pluginPath));
    EXPECT_EQ(host.Describe(0x045A0102), nullptr);
    ASSERT_EQ(host.boxes().size(), 1u);
    EXPECT_EQ(host.boxes()[0].owner, nullptr);
    EXPECT_EQ(host.boxes()[0].text, "Plugin wymaga komunikatora Tlen.pl w wersji co najmniej 4.90.1.3!");
    EXPECT_EQ(host.boxes()[0].caption, std::string("\x42\xB3\xB9\x64"));
    EXPECT_EQ(host.boxes()[0].style, 0x10u);
    EXPECT_TRUE(host.registrations().empty());

    // The current host is accepted with no box.
    EXPECT_NE(host.Describe(0x045A0103), nullptr);
    EXPECT_EQ(host.boxes().size(), 1u);
    host.Unload();
}

TEST_F(EndToEnd, ExportAliasesAreTheSameFunctions) {
    ASSERT_TRUE(host.Load(pluginPath));
    for (const char* name : {"GetPluginInfo", "LoadPlugin", "UnloadPlugin"}) {
        const FARPROC plain = GetProcAddress(host.module(), name);
        ASSERT_NE(plain, nullptr) << name;
        EXPECT_EQ(GetProcAddress(host.module(), (std::string("_") + name).c_str()), plain) << name;
    }
    host.Unload();
}

TEST_F(EndToEnd, LoadUnloadTwiceLeavesNoRegistration) {
    Start();
    ASSERT_EQ(host.registrations().size(), 2u);
    EXPECT_EQ(host.registrations()[0].protocol, "GG");
    EXPECT_EQ(host.registrations()[1].protocol, "TLEN");
    host.Unbind();
    host.Unload();
    EXPECT_TRUE(host.registrations().empty());

    Start();
    EXPECT_EQ(host.registrations().size(), 2u);
    host.Unbind();
    EXPECT_TRUE(host.registrations().empty());
    EXPECT_EQ(host.strayUnhooks(), 0);
}

// The plugin names itself to the host by its module handle, which only its
// entry routine can have recorded: in every service call and registration.
TEST_F(EndToEnd, ThePluginNamesItselfByItsModuleHandle) {
    Start("[general]\r\nrecvmax=3\r\n");
    const PluginHandle module = reinterpret_cast<PluginHandle>(host.module());
    ASSERT_EQ(host.registrations().size(), 2u);
    for (const StandInHost::Registration& registration : host.registrations())
        EXPECT_EQ(registration.plugin, module) << registration.protocol;
    host.ChangeOwnState("TLEN", "a\\nb");
    host.Unbind();
    EXPECT_EQ(host.callers().size(), 6u);  // paths, two hooks, the re-issue, two unhooks
    for (PluginHandle caller : host.callers()) EXPECT_EQ(caller, module);
}

#if defined(__i386__)
// What the messenger may do on 32-bit Windows: call the exports and the hook
// with the stack at any multiple of 4 bytes from a 16-byte boundary. Each
// returns as its convention says (the entry point, called as Windows calls
// it, takes its 12 bytes of arguments; the rest take none).
TEST_F(EndToEnd, EntryPointsAndHookRunWithTheStackAtAnyOffset) {
    Start();
    const auto* image = reinterpret_cast<const BYTE*>(host.module());
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        image + reinterpret_cast<const IMAGE_DOS_HEADER*>(image)->e_lfanew);
    ASSERT_NE(headers->OptionalHeader.AddressOfEntryPoint, 0u);
    const void* entry = image + headers->OptionalHeader.AddressOfEntryPoint;
    const auto exported = [&](const char* name) {
        return reinterpret_cast<const void*>(GetProcAddress(host.module(), name));
    };
    const auto word = [](const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); };
    ASSERT_EQ(host.registrations().size(), 2u);
    const void* hook = reinterpret_cast<const void*>(host.registrations()[0].callback);

    for (uint32_t offset : {0u, 4u, 8u, 12u}) {
        SCOPED_TRACE("offset " + std::to_string(offset));
        const uint32_t attach[] = {word(host.module()), DLL_THREAD_ATTACH, 0};
        StackCall call = CallWithStackOffset(entry, offset, attach, 3);
        EXPECT_EQ(call.result, 1u);
        EXPECT_EQ(call.removed, 12u);

        const uint32_t version[] = {MinHostVersion};
        call = CallWithStackOffset(exported("GetPluginInfo"), offset, version, 1);
        EXPECT_NE(call.result, 0u);
        EXPECT_EQ(call.removed, 0u);

        std::string typed;
        while (typed.size() < 1500) typed += "Away\\nback at 5, C:\\\\dir ";
        ProtocolEvent change = {0, 0x7100, EventUserStateChange};
        UserState own = {};
        own.description = &typed[0];
        const uint32_t changeArguments[] = {word(&change), word(&own)};
        host.ForgetApplied();
        call = CallWithStackOffset(hook, offset, changeArguments, 2);
        EXPECT_EQ(call.result, 0xFFFFFFFFu);
        EXPECT_EQ(call.removed, 0u);
        ASSERT_EQ(host.applied().size(), 1u);
        EXPECT_EQ(host.applied()[0].description.substr(0, 20), "Away\nback at 5, C:\\d");

        std::string received;
        while (received.size() < 5000) received += "line\n";
        ProtocolEvent arrival = {0, 0x6600, EventUserStateReceived};
        UserState contact = {};
        contact.description = &received[0];
        const uint32_t receivedArguments[] = {word(&arrival), word(&contact)};
        call = CallWithStackOffset(hook, offset, receivedArguments, 2);
        EXPECT_EQ(call.result, 0u);
        EXPECT_EQ(call.removed, 0u);
        EXPECT_EQ(std::count(received.begin(), received.end(), '\n'), 998);

        call = CallWithStackOffset(exported("UnloadPlugin"), offset, nullptr, 0);
        EXPECT_EQ(call.removed, 0u);
        EXPECT_TRUE(host.registrations().empty());
        const uint32_t link[] = {word(host.link())};
        call = CallWithStackOffset(exported("LoadPlugin"), offset, link, 1);
        EXPECT_EQ(call.removed, 0u);
        ASSERT_EQ(host.registrations().size(), 2u);
        hook = reinterpret_cast<const void*>(host.registrations()[0].callback);
    }
}
#endif

TEST_F(EndToEnd, HugeTextsFromEitherSide) {
    Start();
    // A contact's megabyte with 100,000 line breaks.
    std::string received;
    while (received.size() < 1000000) received += "123456789\n";
    const std::string shown = host.ReceiveState("TLEN", received);
    ASSERT_EQ(shown.size(), received.size());
    EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 998);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), ' '), 100000 - 998);

    // 100,000 typed characters full of escapes: the converted text would
    // exceed 2047 characters, so the change goes ahead as typed, uncut.
    std::string typed;
    while (typed.size() < 100000) typed += "a\\\\b\\nc";
    EXPECT_TRUE(host.ChangeOwnState("GG", typed));
    ASSERT_EQ(host.applied().size(), 1u);
    EXPECT_EQ(host.applied()[0].description, typed);

    // The same length of escapes that convert to almost nothing is re-issued.
    std::string dropped;
    while (dropped.size() < 100000) dropped += "\\t";
    EXPECT_FALSE(host.ChangeOwnState("GG", dropped + "done"));
    ASSERT_EQ(host.applied().size(), 2u);
    EXPECT_EQ(host.applied()[1].description, "done");
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: %s PATH_TO_RYX_TPL\n", argv[0]);
        return 2;
    }
    pluginPath = argv[1];
    return RUN_ALL_TESTS();
}
