#!/usr/bin/env bash
# Builds ryx.tpl and the stand-in messenger, and plays a short session: the
# plugin's info, the setting in force, your description converted and
# re-issued, a contact's description capped, and the unload.
#
# usage: bash scripts/demo.sh [--send TEXT] [--receive TEXT] [--recvmax VALUE]
#
#   --send TEXT      your description, as typed: \n is a line break and \\ a
#                    backslash (default: 'Away\nback at 5')
#   --receive TEXT   a contact's description; here \n and \r stand for line
#                    breaks and nothing else is interpreted
#                    (default: 'Line 1\nLine 2\nLine 3\nLine 4\nLine 5')
#   --recvmax VALUE  the setting, written to ryx.config as given (default: 3)
#   --help           show this
#
# Texts are UTF-8; Polish letters reach the plugin as Windows-1250, as the
# messenger hands them over. The exit status is ryx-host's, or 2 for a wrong
# command line.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() { sed -n '6,18s/^# \{0,1\}//p' "$0"; }
misused() {
    echo "demo.sh: $1" >&2
    echo >&2
    usage >&2
    exit 2
}

send='Away\nback at 5'
receive='Line 1\nLine 2\nLine 3\nLine 4\nLine 5'
recvmax=3
while (($#)); do
    case $1 in
        --help) usage; exit 0 ;;
        --send | --receive | --recvmax)
            (($# >= 2)) || misused "$1 needs a value"
            case $1 in
                --send) send=$2 ;;
                --receive) receive=$2 ;;
                --recvmax) recvmax=$2 ;;
            esac
            shift 2
            ;;
        *) misused "unknown option '$1'" ;;
    esac
done
# Only \n and \r mean something in a received text.
receive=${receive//'\n'/$'\n'}
receive=${receive//'\r'/$'\r'}

bash scripts/setup.sh demo

# The plugin is 32-bit. Where this machine cannot run 32-bit programs (a
# kernel without 32-bit support), the same sources built for 64-bit Windows
# show the same session under wine64.
preset=win32 wine=wine
if ! wine --version >/dev/null 2>&1; then
    preset=win64 wine=wine64
    echo "note: 32-bit Wine cannot start on this machine; showing the 64-bit build under wine64."
    echo "      The plugin to install is still build/win32/ryx.tpl."
fi
# CMake's output only if something fails (its note that the tests are not
# built without GoogleTest does not matter here).
quietly() {
    local log
    log=$("$@" 2>&1) || { echo "$log" >&2; return 1; }
}
quietly cmake --preset win32
quietly cmake --build --preset win32 --target ryx ryx-host
if [[ $preset == win64 ]]; then
    quietly cmake --preset win64
    quietly cmake --build --preset win64 --target ryx ryx-host
fi
echo "built $(pwd)/build/win32/ryx.tpl"
echo

build=$(pwd)/build/$preset
export WINEPREFIX=$build/wineprefix
[[ -d $WINEPREFIX ]] || cmake/wine-run.sh "$wine" wineboot --init >/dev/null 2>&1
settings=$(mktemp -d)
trap 'rm -rf "$settings"' EXIT
cd "$build"
status=0
../../cmake/wine-run.sh "$wine" ./ryx-host.exe --settings "$settings" --recvmax "$recvmax" ryx.tpl \
    --send TLEN "$send" --receive GG "$receive" || status=$?
exit $status
