// The calling conventions that the messenger and Windows rely on, and the
// stack they may hand the plugin. Both only matter, and only differ, on
// 32-bit x86, so that is where this file has anything to check.
#include <gtest/gtest.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <type_traits>
#include <vector>

#include "filter/hook.h"
#include "filter/state.h"
#include "filter/variant.h"
#include "host/plugin.h"
#include "tests/fake_host.h"
#include "tests/stack_call.h"

#if defined(_WIN32) && !defined(_WIN64)
// Written out here rather than through the header's macros: were the header
// to change a convention, the plugin, its fake host and the stand-in
// messenger would all follow it, and only these would disagree.
typedef int32_t(__attribute__((cdecl)) * CdeclHook)(ProtocolEvent*, UserState*);
static_assert(std::is_same<ProtocolHookFunction, CdeclHook>::value, "the host calls hooks as cdecl");
static_assert(std::is_same<decltype(&OnProtocolEvent), CdeclHook>::value, "the hook is cdecl");
static_assert(std::is_same<CallService, intptr_t(__attribute__((cdecl)) *)(PluginHandle, const char*, uintptr_t,
                                                                            uintptr_t)>::value,
              "the host's service call is cdecl");
static_assert(std::is_same<GetHostPaths, HostPaths*(__attribute__((cdecl)) *)(uint32_t, uint32_t)>::value,
              "GetHostPaths is cdecl");
static_assert(std::is_same<decltype(&GetPluginInfo), const PluginInfo*(__attribute__((cdecl)) *)(uint32_t)>::value,
              "GetPluginInfo is cdecl");
static_assert(std::is_same<decltype(&LoadPlugin), int32_t(__attribute__((cdecl)) *)(const PluginLink*)>::value,
              "LoadPlugin is cdecl");
static_assert(std::is_same<decltype(&UnloadPlugin), int32_t(__attribute__((cdecl)) *)()>::value,
              "UnloadPlugin is cdecl");
static_assert(std::is_same<decltype(&DllEntryPoint),
                           int(__attribute__((stdcall)) *)(PluginHandle, uint32_t, void*)>::value,
              "the entry routine is stdcall, as Windows calls it");
#endif

namespace {

#if defined(__i386__)

uint32_t Word(const void* pointer) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer)); }

struct Build {
    const char* name;
    const FilterVariant* filters;
};

// Every entry point and the hook, called with ESP at each offset from a
// 16-byte boundary that a 32-bit caller may leave, with each build of the
// filters: SSE2 code must not assume more than 4-byte alignment, and each
// function must take off the stack what its convention says.
TEST(Conventions, EveryEntryPointRunsWithTheStackAtAnyOffset) {
    std::vector<Build> builds = {{"words", &WordFilters}};
    if (ProcessorHasSse2()) builds.push_back({"SSE2", &Sse2Filters});
#ifdef _WIN32
    const uint32_t entryRemoves = 12;  // stdcall, three arguments
#else
    const uint32_t entryRemoves = 0;
#endif
    for (const Build& build : builds) {
        for (uint32_t offset : {0u, 4u, 8u, 12u}) {
            SCOPED_TRACE(std::string(build.name) + ", offset " + std::to_string(offset));
            pluginState = {nullptr, nullptr, 0, 0, DefaultRecvMax, false};
            filterVariant = build.filters;
            FakeHost host;
            host.directory = "/nonexistent/";

            const uint32_t entry[] = {0x6A000000, 1, 0};
            StackCall call = CallWithStackOffset(reinterpret_cast<const void*>(&DllEntryPoint), offset, entry, 3);
            EXPECT_EQ(call.result, 1u);
            EXPECT_EQ(call.removed, entryRemoves);

            const uint32_t version[] = {MinHostVersion};
            call = CallWithStackOffset(reinterpret_cast<const void*>(&GetPluginInfo), offset, version, 1);
            EXPECT_NE(call.result, 0u);
            EXPECT_EQ(call.removed, 0u);

            const uint32_t link[] = {Word(&host.link)};
            call = CallWithStackOffset(reinterpret_cast<const void*>(&LoadPlugin), offset, link, 1);
            EXPECT_EQ(call.removed, 0u);
            ASSERT_EQ(host.CallsTo(TLEN_PROTOCOL_HOOK_EVENT).size(), 2u);
            const void* hook = reinterpret_cast<const void*>(host.calls.back().hook.callback);

            // Long enough for every part of both filters: whole chunks,
            // counted blocks, and the ends.
            std::string typed;
            while (typed.size() < 1500) typed += "Away\\nback at 5, C:\\\\dir ";
            ProtocolEvent change = {0, 1, EventUserStateChange};
            UserState own = {};
            own.description = &typed[0];
            const uint32_t changeArguments[] = {Word(&change), Word(&own)};
            call = CallWithStackOffset(hook, offset, changeArguments, 2);
            EXPECT_EQ(call.result, 0xFFFFFFFFu);
            EXPECT_EQ(call.removed, 0u);
            EXPECT_EQ(host.calls.back().description.substr(0, 20), "Away\nback at 5, C:\\d");

            std::string received;
            while (received.size() < 5000) received += "line\n";
            ProtocolEvent arrival = {0, 1, EventUserStateReceived};
            UserState contact = {};
            contact.description = &received[0];
            const uint32_t receivedArguments[] = {Word(&arrival), Word(&contact)};
            call = CallWithStackOffset(hook, offset, receivedArguments, 2);
            EXPECT_EQ(call.result, 0u);
            EXPECT_EQ(call.removed, 0u);
            EXPECT_EQ(std::count(received.begin(), received.end(), '\n'), DefaultRecvMax - 1);

            call = CallWithStackOffset(reinterpret_cast<const void*>(&UnloadPlugin), offset, nullptr, 0);
            EXPECT_EQ(call.removed, 0u);
            EXPECT_EQ(host.CallsTo(TLEN_PROTOCOL_UNHOOK_EVENT).size(), 2u);
        }
    }
    pluginState = {nullptr, nullptr, 0, 0, DefaultRecvMax, false};
    filterVariant = nullptr;
}

#endif

}  // namespace
