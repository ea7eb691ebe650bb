#!/usr/bin/env bash
# Installs what building and testing ryx needs and is not yet installed
# (Debian 12, as root). Safe to run again: it installs nothing twice.
set -euo pipefail

missing=()
have_package() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
want() { have_package "$1" || missing+=("$1"); }

want cmake
want make
want g++
want googletest
want g++-mingw-w64-i686
want wine
want wine32:i386
want wine64
want g++-mingw-w64-x86-64-posix
# The core as 32-bit code, run under qemu-i386 where the kernel cannot run it.
want g++-multilib
want qemu-user
# Fuzzing (libFuzzer comes with clang's runtime) and benchmarks.
want clang
want libclang-rt-14-dev
want libbenchmark-dev

if ((${#missing[@]})); then
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
    log=$(mktemp)
    if ! { apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
        cat "$log" >&2
        exit 1
    fi
    rm -f "$log"
fi
