#!/usr/bin/env bash
# Builds the release ZIP and checks its files as a Windows user gets them:
#   check_package.sh BUILD_DIR VERSION UNPACK_DIR
# - the ZIP is named for VERSION and holds exactly the plugin, both guides,
#   the sample ryx.config, the licence and the changelog;
# - every text file has CR LF line ends, and nothing else ends a line;
# - the guides are UTF-8 with a byte-order mark (which Notepad shows right
#   on any Windows, whatever its code page), the Polish one with Polish
#   letters, and both name VERSION;
# - ryx.config, the licence and the changelog are ASCII, with no mark.
# The files are left in UNPACK_DIR, for the check that reads ryx.config
# with Windows' own INI reader.
set -euo pipefail
build=$1 version=$2 unpacked=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack --config CPackConfig.cmake -B "$out" >/dev/null)
zip=$out/ryx-$version-win32.zip
[[ -f $zip ]] || { echo "FAIL: no $(basename "$zip") in: $(ls "$out")"; exit 1; }
texts="CHANGELOG.txt LICENSE.txt README-EN.txt README-PL.txt ryx.config"
listing=$(cmake -E tar tf "$zip" | sort | tr '\n' ' ')
[[ $listing == "$texts ryx.tpl " ]] || fail "$(basename "$zip") holds: $listing"

rm -rf "$unpacked" && mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$zip")
cmp -s "$unpacked/ryx.tpl" "$build/ryx.tpl" || fail "the ZIP's ryx.tpl is not the one built"

bom=$'\xEF\xBB\xBF'
for name in $texts; do
    file=$unpacked/$name
    [[ -f $file ]] || continue
    # Every LF after a CR, every CR before an LF, and a line end at the end.
    lf=$(tr -cd '\n' <"$file" | wc -c)
    crlf=$(grep -c $'\r$' "$file" || true)
    cr=$(tr -cd '\r' <"$file" | wc -c)
    ((lf > 0 && lf == crlf && cr == lf)) || fail "$name: $lf LF, $cr CR, $crlf CR LF: not CR LF throughout"
    [[ $(tail -c 2 "$file" | od -An -tx1 | tr -d ' \n') == 0d0a ]] || fail "$name does not end with CR LF"
    if [[ $name == README-* ]]; then
        [[ $(head -c 3 "$file") == "$bom" ]] || fail "$name has no UTF-8 byte-order mark"
        iconv -f UTF-8 -t UTF-16 "$file" >/dev/null 2>&1 || fail "$name is not valid UTF-8"
        grep -q "ryx $version" "$file" || fail "$name does not name version $version"
    else
        LC_ALL=C grep -q $'[\x80-\xFF]' "$file" && fail "$name is not ASCII"
        [[ $(head -c 3 "$file") != "$bom" ]] || fail "$name has a byte-order mark"
    fi
done
# Polish letters, as UTF-8, in the Polish guide.
for letter in ą ć ę ł ń ó ś ż; do
    grep -q "$letter" "$unpacked/README-PL.txt" || fail "README-PL.txt has no $letter"
done

((failures == 0)) || exit 1
echo "ok: $(basename "$zip") holds $listing; CR LF throughout; guides UTF-8 with a mark; the rest ASCII"
