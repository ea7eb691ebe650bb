#include "settings/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "filter/hook.h"
#include "filter/state.h"
#include "tests/fake_host.h"
#include "tests/temp_dir.h"

namespace {

PluginHandle const Plugin = reinterpret_cast<PluginHandle>(0x10000000);

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { pluginState = {&host.link, Plugin, 0, 0, DefaultRecvMax, false}; }
    void TearDown() override { pluginState = {nullptr, nullptr, 0, 0, DefaultRecvMax, false}; }

    // How many of 1000 line feeds a received description keeps.
    static long KeptLineBreaks() {
        std::string text(2000, 'x');
        for (size_t i = 1; i < text.size(); i += 2) text[i] = '\n';
        ProtocolEvent event = {0, 1, EventUserStateReceived};
        UserState state = {};
        state.description = &text[0];
        OnProtocolEvent(&event, &state);
        return static_cast<long>(std::count(text.begin(), text.end(), '\n'));
    }

    FakeHost host;
};

TEST_F(SettingsTest, RecvmaxFromTheConfigFileLimitsReceivedLineBreaks) {
    const struct {
        const char* name;
        const char* contents;  // null: no file
        int32_t recvMax;
        long kept;
    } cases[] = {
        {"no file", nullptr, 999, 998},
        {"a small limit", "[general]\nrecvmax=3\n", 3, 2},
        {"one", "[general]\nrecvmax=1\n", 1, 1},
        {"zero", "[general]\nrecvmax=0\n", 0, 1},
        {"negative", "[general]\nrecvmax=-5\n", -5, 1},
        {"key in another section", "[other]\nrecvmax=3\n", 999, 998},
        {"misspelt key", "[general]\nrecvmx=3\n", 999, 998},
    };
    for (const auto& c : cases) {
        TempDir dir;
        if (c.contents) dir.Write("ryx.config", c.contents);
        host.directory = dir.Path() + "\\";
        pluginState.recvMax = DefaultRecvMax;
        LoadSettings(&host.link, Plugin);
        EXPECT_EQ(pluginState.recvMax, c.recvMax) << c.name;
        EXPECT_EQ(KeptLineBreaks(), c.kept) << c.name;
    }
}

TEST_F(SettingsTest, AsksTheHostForItsPathsWithItsOwnHandle) {
    LoadSettings(&host.link, Plugin);
    ASSERT_FALSE(host.calls.empty());
    const RecordedCall& ask = host.calls[0];
    EXPECT_EQ(ask.plugin, Plugin);
    EXPECT_EQ(ask.service, TLEN_GET_PROC_ADDRESS);
    EXPECT_EQ(ask.wParam, 0x20001u);
    EXPECT_EQ(ask.lParam, 0u);
}

TEST_F(SettingsTest, DirectoryWithOrWithoutATrailingSeparator) {
    for (const char* separator : {"\\", "/", ""}) {
        TempDir dir;
        dir.Write("ryx.config", "[general]\nrecvmax=7\n");
        host.directory = dir.Path() + separator;
        pluginState.recvMax = DefaultRecvMax;
        LoadSettings(&host.link, Plugin);
        EXPECT_EQ(pluginState.recvMax, 7) << "separator '" << separator << "'";
    }
}

TEST_F(SettingsTest, KeepsTheValueWhenTheHostGivesNoPath) {
    const struct {
        const char* name;
        bool getHostPaths;
        bool paths;
        const char* directory;
    } cases[] = {
        {"no GetHostPaths", false, true, "C:\\"},
        {"no paths record", true, false, "C:\\"},
        {"no directory", true, true, ""},
    };
    for (const auto& c : cases) {
        host.offerGetHostPaths = c.getHostPaths;
        host.offerPaths = c.paths;
        host.directory = c.directory;
        pluginState.recvMax = 42;
        LoadSettings(&host.link, Plugin);
        EXPECT_EQ(pluginState.recvMax, 42) << c.name;
    }
}

TEST_F(SettingsTest, LongDirectoryIsReadSafely) {
    host.directory = std::string(100000, 'd') + "\\";
    pluginState.recvMax = 42;
    LoadSettings(&host.link, Plugin);
    EXPECT_EQ(pluginState.recvMax, 42);
}

TEST_F(SettingsTest, SecondLoadKeepsTheValueWhenTheFileHasGone) {
    TempDir withFile;
    withFile.Write("ryx.config", "[general]\nrecvmax=5\n");
    host.directory = withFile.Path() + "\\";
    LoadSettings(&host.link, Plugin);
    EXPECT_EQ(pluginState.recvMax, 5);

    TempDir empty;
    host.directory = empty.Path() + "\\";
    LoadSettings(&host.link, Plugin);
    EXPECT_EQ(pluginState.recvMax, 5);
}

}  // namespace
