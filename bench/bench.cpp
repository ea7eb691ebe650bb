// Benchmarks of ryx's per-event work, each beside its floor: what any
// program pays to touch the same bytes. The ratios are printed at the end.
//   build/native/bench/ryx_bench [--benchmark_filter=...]
#include <benchmark/benchmark.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "bench/floors.h"
#include "bench/texts.h"
#include "filter/filter.h"
#include "filter/hook.h"
#include "filter/state.h"

namespace {

void Expand(benchmark::State& state, std::string (*text)(size_t)) {
    const std::string typed = text(state.range(0));
    char buffer[DescriptionBufferSize];
    for (auto _ : state) {
        benchmark::DoNotOptimize(ExpandDescriptionEscapes(typed.c_str(), buffer));
        benchmark::ClobberMemory();
    }
}

// Zeroing the buffer and copying the text into it.
void ExpandFloor(benchmark::State& state) {
    const std::string typed = Typed(state.range(0));
    char buffer[DescriptionBufferSize];
    for (auto _ : state) {
        FloorZeroAndCopy(buffer, typed.c_str(), typed.size());
        benchmark::ClobberMemory();
    }
}

// The largest allowance, so that the text stays the same from run to run and
// every line break is visited in every run.
void Cap(benchmark::State& state) {
    std::string text = Received(state.range(0));
    for (auto _ : state) {
        CapReceivedLineBreaks(&text[0], INT32_MAX);
        benchmark::ClobberMemory();
    }
}

// Finding the end of the text.
void CapFloor(benchmark::State& state) {
    const std::string text = Received(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(FloorLength(text.c_str()));
    }
}

intptr_t TLEN_CDECL QuietHost(PluginHandle, const char*, uintptr_t, uintptr_t) { return 0; }
PluginLink quietLink = {0, 0, QuietHost};

void Bind(int32_t recvMax) { pluginState = {&quietLink, nullptr, 0, 0, recvMax, false}; }

// One event through the hook: a received state is capped in place (with the
// largest allowance, as above), the user's own change converted and re-issued.
void Hook(benchmark::State& state, uint32_t code) {
    const bool received = code == EventUserStateReceived;
    Bind(received ? INT32_MAX : DefaultRecvMax);
    std::string text = received ? Received(state.range(0)) : Typed(state.range(0));
    ProtocolEvent event = {12, 1, code};
    UserState user = {};
    user.description = &text[0];
    for (auto _ : state) {
        benchmark::DoNotOptimize(OnProtocolEvent(&event, &user));
        benchmark::ClobberMemory();
    }
}

// A login with a large contact list: 100,000 states arrive, each with a
// short description of a few lines.
const int BurstSize = 100000;

std::vector<std::string> BurstTexts() {
    std::vector<std::string> texts;
    for (int i = 0; i < BurstSize; ++i)
        texts.push_back("Contact " + std::to_string(i) + "\nout until Monday\nphone 600 100 " +
                        std::to_string(i % 1000) + "\r\n");
    return texts;
}

void ReceivedBurst(benchmark::State& state) {
    Bind(DefaultRecvMax);
    std::vector<std::string> texts = BurstTexts();
    ProtocolEvent event = {12, 1, EventUserStateReceived};
    for (auto _ : state) {
        for (std::string& text : texts) {
            UserState user = {};
            user.description = &text[0];
            benchmark::DoNotOptimize(OnProtocolEvent(&event, &user));
        }
        benchmark::ClobberMemory();
    }
}

void ReceivedBurstFloor(benchmark::State& state) {
    const std::vector<std::string> texts = BurstTexts();
    for (auto _ : state) {
        for (const std::string& text : texts) benchmark::DoNotOptimize(FloorLength(text.c_str()));
    }
}

BENCHMARK_CAPTURE(Expand, typical, Typed)->Arg(16)->Arg(256)->Arg(2047);
BENCHMARK_CAPTURE(Expand, dense, Dense)->Arg(16)->Arg(256)->Arg(2047);
BENCHMARK(ExpandFloor)->Arg(16)->Arg(256)->Arg(2047);
BENCHMARK_CAPTURE(Hook, change, EventUserStateChange)->Arg(16)->Arg(256)->Arg(2047);
BENCHMARK(Cap)->Arg(16)->Arg(256)->Arg(2047)->Arg(Megabyte);
BENCHMARK(CapFloor)->Arg(16)->Arg(256)->Arg(2047)->Arg(Megabyte);
BENCHMARK_CAPTURE(Hook, received, EventUserStateReceived)->Arg(16)->Arg(256)->Arg(2047)->Arg(Megabyte);
BENCHMARK(ReceivedBurst)->Unit(benchmark::kMillisecond);
BENCHMARK(ReceivedBurstFloor)->Unit(benchmark::kMillisecond);

// Keeps each run's time, so the ratios can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Plain text, for logs and pipes.
    RatioReporter() : ConsoleReporter(OO_Tabular) {}
    // With --benchmark_repetitions, the median of the repetitions counts.
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Iteration || median)
                seconds[run.run_name.str()] =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    // Each measurement against the floor for the same bytes.
    const struct {
        const char* name;
        const char* floor;
    } pairs[] = {{"Expand/typical", "ExpandFloor"},
                 {"Expand/dense", "ExpandFloor"},
                 {"Hook/change", "ExpandFloor"},
                 {"Cap", "CapFloor"},
                 {"Hook/received", "CapFloor"},
                 {"ReceivedBurst", "ReceivedBurstFloor"}};
    printf("\n%-24s %14s %14s %8s\n", "benchmark", "time", "floor", "ratio");
    for (const auto& pair : pairs) {
        // This benchmark's runs, by the length of their text.
        std::vector<std::pair<long, std::string>> runs;
        for (const auto& [name, seconds] : reporter.seconds) {
            if (name.compare(0, strlen(pair.name), pair.name) != 0) continue;
            const std::string suffix = name.substr(strlen(pair.name));
            if (!suffix.empty() && suffix[0] != '/') continue;
            runs.emplace_back(suffix.empty() ? 0 : std::stol(suffix.substr(1)), suffix);
        }
        std::sort(runs.begin(), runs.end());
        for (const auto& [length, suffix] : runs) {
            const auto floor = reporter.seconds.find(pair.floor + suffix);
            if (floor == reporter.seconds.end()) continue;
            const double seconds = reporter.seconds[pair.name + suffix];
            printf("%-24s %11.1f ns %11.1f ns %7.1fx\n", (pair.name + suffix).c_str(), seconds * 1e9,
                   floor->second * 1e9, seconds / floor->second);
        }
    }
    return 0;
}
