#!/usr/bin/env bash
# Builds ryx.tpl and the stand-in messenger, and plays a short session:
# the plugin's info, the setting in force, one state change converted and
# re-issued, one received description capped, unload.
#
#   bash scripts/demo.sh [--send TEXT] [--receive TEXT] [--recvmax N]
#
# --send TEXT     your description, as typed: a backslash and n is a line break
# --receive TEXT  a contact's description; here too \n stands for a line break
# --recvmax N     the setting written to ryx.config first
set -euo pipefail
cd "$(dirname "$0")/.."

send='Away\nback at 5'
receive='Line 1\nLine 2\nLine 3\nLine 4\nLine 5'
recvmax=3
while (($#)); do
    case "$1" in
        --send) send=$2; shift 2 ;;
        --receive) receive=$2; shift 2 ;;
        --recvmax) recvmax=$2; shift 2 ;;
        *) sed -n '2,12s/^# \{0,1\}//p' "$0"; exit 2 ;;
    esac
done

bash scripts/setup.sh

# The plugin is 32-bit. Where this machine cannot run 32-bit programs (a
# kernel without 32-bit support), the same sources built for 64-bit Windows
# show the same session under wine64.
preset=win32 wine=wine
if ! wine --version >/dev/null 2>&1; then
    preset=win64 wine=wine64
    echo "note: 32-bit Wine cannot start on this machine; showing the 64-bit build under wine64."
    echo "      The plugin to install is still build/win32/ryx.tpl."
fi
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target ryx ryx-host >/dev/null
if [[ $preset == win64 ]]; then
    cmake --preset win64 >/dev/null
    cmake --build --preset win64 --target ryx ryx-host >/dev/null
fi
echo "built $(pwd)/build/win32/ryx.tpl"
echo

build=$(pwd)/build/$preset
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all
[[ -d $WINEPREFIX ]] || cmake/wine-run.sh "$wine" wineboot --init >/dev/null 2>&1
settings=$(mktemp -d)
trap 'rm -rf "$settings"' EXIT
cd "$build"
../../cmake/wine-run.sh "$wine" ./ryx-host.exe --settings "$settings" --recvmax "$recvmax" ryx.tpl \
    --send TLEN "$send" --receive GG "$(printf '%b' "${receive//%/%%}")"
