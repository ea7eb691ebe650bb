#!/usr/bin/env bash
# Installs what ryx needs and is not yet installed (Debian 12, as root).
# Safe to run again: it installs nothing twice.
#
#   bash scripts/setup.sh          everything the tests and benchmarks need
#   bash scripts/setup.sh demo     only what the demo needs: CMake, make, the
#                                  i686 compiler and 32-bit Wine (and, where
#                                  32-bit Wine cannot start, wine64 and the
#                                  x86-64 compiler for the 64-bit build)
#   bash scripts/setup.sh package  only what the release package needs:
#                                  CMake, make and the i686 compiler
set -euo pipefail
mode=${1:-all}
case $mode in
    all | demo | package) ;;
    *) echo "usage: setup.sh [demo | package]" >&2; exit 2 ;;
esac

have_package() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

install_missing() {
    local missing=()
    for package in "$@"; do have_package "$package" || missing+=("$package"); done
    ((${#missing[@]})) || return 0
    echo "Installing: ${missing[*]}"
    if [[ $(id -u) != 0 ]]; then
        echo "Run this as root (or with sudo): it installs packages with apt-get." >&2
        exit 1
    fi
    # Wine's 32-bit half comes from the i386 architecture.
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    export DEBIAN_FRONTEND=noninteractive
    local log
    log=$(mktemp)
    if ! { apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
        cat "$log" >&2
        exit 1
    fi
    rm -f "$log"
}

package=(cmake make g++-mingw-w64-i686)
demo=("${package[@]}" wine wine32:i386)
wine64=(wine64 g++-mingw-w64-x86-64-posix)
if [[ $mode == package ]]; then
    install_missing "${package[@]}"
    exit 0
fi
if [[ $mode == demo ]]; then
    install_missing "${demo[@]}"
    # A kernel without 32-bit support runs no 32-bit Wine: the demo then
    # shows the 64-bit build of the same sources under wine64.
    wine --version >/dev/null 2>&1 || install_missing "${wine64[@]}"
    exit 0
fi

# Besides: the native build and its tests (g++, GoogleTest); the core as
# 32-bit code under qemu-i386 (g++-multilib, qemu-user); fuzzing (clang and
# its libFuzzer runtime) and benchmarks (Google Benchmark).
install_missing "${demo[@]}" "${wine64[@]}" \
    g++ googletest \
    g++-multilib qemu-user \
    clang libclang-rt-14-dev libbenchmark-dev
