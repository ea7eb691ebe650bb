#!/usr/bin/env bash
# A session in Polish through ryx-host and the real plugin, started from a
# shell in the POSIX locale, as a fresh Debian shell is:
#   check_polish_session.sh SETTINGS_DIR RUNNER... RYX_HOST RYX_TPL
# Your «Zażółć\ngęślą» must reach the plugin as its Windows-1250 bytes and
# come back as two lines; a contact's «Zażółć[LF]gęślą[LF]jaźń», with
# recvmax 2 in a settings folder named in Polish, keeps one line break;
# what is printed is UTF-8 with LF line ends.
set -uo pipefail
settings=$1
shift
dll=${*: -1}
host=("${@:1:$#-1}")  # the runner, then ryx-host
rm -rf "$settings" && mkdir -p "$settings"
output=$(env LC_ALL=C LANG= "${host[@]}" --bytes --settings "$settings" --recvmax 2 "$dll" \
    --send TLEN 'Zażółć\ngęślą' --receive GG $'Zażółć\ngęślą\njaźń')
status=$?
((status == 77)) && { echo "$output"; exit 77; }
failures=0
expect() {
    grep -qF -- "$1" <<<"$output" || { echo "FAIL: no line with: $1"; failures=$((failures + 1)); }
}
expect 'recvmax=2: read as 2, so received descriptions keep 1 line break'
# Typed: Z a ż ó ł ć \ n g ę ś l ą, each Polish letter one Windows-1250 byte.
expect 'you pick status 2 on TLEN with "Zażółć\ngęślą" (bytes 5A 61 BF F3 B3 E6 5C 6E 67 EA 9C 6C B9)'
expect 'PFChangeUserState on TLEN): "Zażółć[LF]gęślą" (bytes 5A 61 BF F3 B3 E6 0A 67 EA 9C 6C B9)'
expect 'a contact'"'"'s state arrives on GG: "Zażółć[LF]gęślą[LF]jaźń" (bytes 5A 61 BF F3 B3 E6 0A 67 EA 9C 6C B9 0A 6A 61 9F F1)'
expect 'shown as "Zażółć[LF]gęślą jaźń" (bytes 5A 61 BF F3 B3 E6 0A 67 EA 9C 6C B9 20 6A 61 9F F1)'
expect $'your description on TLEN is now:\n    | Zażółć\n    | gęślą'
expect $'the contact\'s description is shown as:\n    | Zażółć\n    | gęślą jaźń'
[[ $output != *$'\r'* ]] || { echo "FAIL: the output has CR line ends"; failures=$((failures + 1)); }
((status == 0)) || { echo "FAIL: ryx-host exited with $status"; failures=$((failures + 1)); }
if ((failures)); then
    echo "--- ryx-host printed:"
    echo "$output"
    exit 1
fi
echo "ok: Polish texts reach the plugin as Windows-1250 and come back as UTF-8"
