#!/bin/sh
# Runs a Windows test program for ctest: wine-run.sh WINE PROGRAM [ARGS...],
# where WINE is wine (32-bit programs) or wine64. Exits 77, which the tests
# take as "skipped", when this machine cannot start that kind of program.
wine=$1
shift
# Debian keeps the 64-bit loader off PATH.
if [ "$wine" = wine64 ] && ! command -v wine64 >/dev/null 2>&1 && [ -x /usr/lib/wine/wine64 ]; then
    wine=/usr/lib/wine/wine64
    export WINELOADER="$wine"
fi
export WINEDEBUG="${WINEDEBUG:--all}"
# Wine reads a Unix command line, file names and output in the locale's
# character set: UTF-8 (C.UTF-8 is on every Debian), whatever the caller's.
export LC_ALL=C.UTF-8
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-ryx}"
if ! command -v "$wine" >/dev/null 2>&1; then
    echo "skipped: $wine is not installed"
    exit 77
fi
if ! probe=$("$wine" --version 2>&1); then
    echo "skipped: $wine cannot start on this machine: $probe"
    echo "(a kernel without 32-bit support cannot run 32-bit Wine)"
    exit 77
fi
exec "$wine" "$@"
