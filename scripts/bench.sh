#!/usr/bin/env bash
# Runs the benchmarks: first the plugin users install, the 32-bit ryx.tpl,
# loaded by a Windows program under Wine as the messenger loads it (the
# processor runs the plugin's code itself; only system calls go to Wine);
# then the native build, the same table and Google Benchmark's finer one.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

dll_bench() {  # PRESET WINE
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1" --target ryx ryx_dll_bench >/dev/null
    export WINEPREFIX=$PWD/build/$1/wineprefix WINEDEBUG=-all
    [[ -d $WINEPREFIX ]] || cmake/wine-run.sh "$2" wineboot --init >/dev/null 2>&1
    (cd "build/$1" && ../../cmake/wine-run.sh "$2" ./ryx_dll_bench.exe ryx.tpl)
}

echo "== The shipped plugin: build/win32/ryx.tpl, 32-bit, under Wine"
if wine --version >/dev/null 2>&1; then
    dll_bench win32 wine
else
    echo "NOT MEASURED: 32-bit Wine cannot start on this machine (its kernel runs no"
    echo "32-bit programs), so the shipped DLL's figures cannot be taken here."
    echo
    echo "== Instead, for the Windows side only: the 64-bit build of the same sources,"
    echo "== under wine64. Not the DLL users install."
    dll_bench win64 wine64
fi

echo
echo "== The native build (Linux x86-64): the hook, as above"
cmake --preset native >/dev/null
cmake --build --preset native --target ryx_hook_bench ryx_bench >/dev/null
build/native/bench/ryx_hook_bench
echo
echo "== The native build: each transform and the hook (Google Benchmark, medians of 5)"
build/native/bench/ryx_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
