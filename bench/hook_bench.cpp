// The hook's two paths, as the messenger calls them, each timed beside its
// floor (floors.h) in the same process. Each row times the path and its
// floor in alternation and reports the median of the paired ratios, which
// holds steady on a busy machine where separate timings do not.
//
//   ryx_dll_bench PATH/ryx.tpl   (Windows: the real plugin, loaded as the
//                                 messenger loads it)
//   ryx_hook_bench               (native: the same code, linked in)
#include <cpuid.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "bench/floors.h"
#include "bench/texts.h"
#include "filter/filter.h"
#include "host/tlen.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "filter/hook.h"
#include "filter/state.h"
#endif

namespace {

typedef int32_t(TLEN_CDECL* Hook)(ProtocolEvent*, UserState*);

// The host's side: a service call that keeps the hook and records nothing,
// so that what is timed is the plugin's work.
Hook registeredHook = nullptr;
HostPaths hostPaths;

HostPaths* TLEN_CDECL QuietGetHostPaths(uint32_t, uint32_t) { return &hostPaths; }

intptr_t TLEN_CDECL QuietCallService(PluginHandle, const char* service, uintptr_t wParam, uintptr_t) {
    if (strcmp(service, TLEN_PROTOCOL_HOOK_EVENT) == 0) {
        registeredHook = reinterpret_cast<const ProtocolHook*>(wParam)->callback;
        return 1;
    }
    if (strcmp(service, TLEN_GET_PROC_ADDRESS) == 0) return reinterpret_cast<intptr_t>(&QuietGetHostPaths);
    return 0;
}

PluginLink quietLink = {0, 0, QuietCallService};

std::string ProcessorName() {
    unsigned words[12] = {};
    for (unsigned i = 0; i < 3; ++i)
        if (!__get_cpuid(0x80000002 + i, &words[4 * i], &words[4 * i + 1], &words[4 * i + 2], &words[4 * i + 3]))
            return "an unnamed processor";
    std::string name(reinterpret_cast<const char*>(words), sizeof words);
    name.resize(strlen(name.c_str()));
    name.erase(0, name.find_first_not_of(' '));
    name.erase(name.find_last_not_of(' ') + 1);
    return name;
}

volatile uintptr_t sink;

typedef std::chrono::steady_clock Clock;

template <typename Work>
double SecondsPerCall(Work work, long calls) {
    const Clock::time_point start = Clock::now();
    for (long i = 0; i < calls; ++i) work();
    return std::chrono::duration<double>(Clock::now() - start).count() / static_cast<double>(calls);
}

// Enough calls for a batch of about two milliseconds.
template <typename Work>
long CallsPerBatch(Work work) {
    long calls = 1;
    while (SecondsPerCall(work, calls) * static_cast<double>(calls) < 0.002) calls *= 2;
    return calls;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <typename Path, typename Floor>
void Row(const char* name, size_t length, Path path, Floor floor) {
    const long pathCalls = CallsPerBatch(path);
    const long floorCalls = CallsPerBatch(floor);
    std::vector<double> paths, floors, ratios;
    for (int round = 0; round < 31; ++round) {
        const double p = SecondsPerCall(path, pathCalls);
        const double f = SecondsPerCall(floor, floorCalls);
        paths.push_back(p);
        floors.push_back(f);
        ratios.push_back(p / f);
    }
    const std::string bytes = length == Megabyte ? "1 MiB" : std::to_string(length);
    printf("%-28s %7s %12.1f ns %10.1f ns %7.1fx\n", name, bytes.c_str(), Median(paths) * 1e9,
           Median(floors) * 1e9, Median(ratios));
    fflush(stdout);
}

// The user's own state change, converted and re-issued.
void ChangeRow(Hook hook, const char* name, std::string (*text)(size_t), size_t length) {
    std::string typed = text(length);
    ProtocolEvent event = {12, 1, EventUserStateChange};
    UserState state = {};
    state.description = &typed[0];
    char buffer[DescriptionBufferSize];
    Row(name, length, [&] { sink = static_cast<uintptr_t>(hook(&event, &state)); },
        [&] {
            FloorZeroAndCopy(buffer, typed.c_str(), typed.size());
            sink = static_cast<uintptr_t>(buffer[length / 2]);
        });
}

// A contact's state, capped in place; the allowance is the largest, so the
// text stays the same from call to call.
void ReceivedRow(Hook hook, size_t length) {
    std::string received = Received(length);
    ProtocolEvent event = {12, 1, EventUserStateReceived};
    UserState state = {};
    state.description = &received[0];
    Row("received state", length, [&] { sink = static_cast<uintptr_t>(hook(&event, &state)); },
        [&] { sink = FloorLength(received.c_str()); });
}

// Loads the plugin and binds it, with a settings file that sets the largest
// recvmax. Returns its hook, or null.
Hook Bind(int argc, char** argv) {
#ifdef _WIN32
    if (argc < 2) {
        fprintf(stderr, "usage: %s PATH_TO_RYX_TPL\n", argv[0]);
        return nullptr;
    }
    static char directory[MAX_PATH + 32];
    GetTempPathA(MAX_PATH, directory);
    strcat(directory, "ryx-bench\\");
    CreateDirectoryA(directory, nullptr);
    const std::string config = std::string(directory) + "ryx.config";
    FILE* file = fopen(config.c_str(), "wb");
    if (file == nullptr) return nullptr;
    fputs("[general]\r\nrecvmax=2147483647\r\n", file);
    fclose(file);
    hostPaths.directory = directory;

    HMODULE plugin = LoadLibraryA(argv[1]);
    if (plugin == nullptr) {
        fprintf(stderr, "cannot load %s (error %lu)\n", argv[1], GetLastError());
        return nullptr;
    }
    typedef const PluginInfo*(TLEN_CDECL * GetInfo)(uint32_t);
    typedef int32_t(TLEN_CDECL * Load)(const PluginLink*);
    const auto getInfo = reinterpret_cast<GetInfo>(reinterpret_cast<void*>(GetProcAddress(plugin, "GetPluginInfo")));
    const auto load = reinterpret_cast<Load>(reinterpret_cast<void*>(GetProcAddress(plugin, "LoadPlugin")));
    if (getInfo == nullptr || load == nullptr || getInfo(MinHostVersion) == nullptr) return nullptr;
    load(&quietLink);
    printf("%s, %d-bit, on %s\n", argv[1], static_cast<int>(8 * sizeof(void*)), ProcessorName().c_str());
#else
    (void)argc;
    (void)argv;
    pluginState = {&quietLink, nullptr, 0, 0, INT32_MAX, false};
    registeredHook = OnProtocolEvent;
    printf("the native build's hook, %d-bit, on %s\n", static_cast<int>(8 * sizeof(void*)),
           ProcessorName().c_str());
#endif
    return registeredHook;
}

}  // namespace

int main(int argc, char** argv) {
    const Hook hook = Bind(argc, argv);
    if (hook == nullptr) return 1;
    printf("(medians of 31 paired rounds; ratio: time / floor)\n\n");
    printf("%-28s %7s %15s %13s %8s\n", "path", "bytes", "time", "floor", "ratio");
    for (size_t length : {16, 256, 2047}) ChangeRow(hook, "own change, typical text", Typed, length);
    for (size_t length : {16, 256, 2047}) ChangeRow(hook, "own change, dense escapes", Dense, length);
    for (size_t length : {size_t(16), size_t(256), size_t(2047), Megabyte}) ReceivedRow(hook, length);
    return 0;
}
