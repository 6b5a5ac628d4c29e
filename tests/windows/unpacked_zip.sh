#!/usr/bin/env bash
# The Windows download as a user gets it: unpacked alone into an empty folder, with nothing else
# on wine's search path, xsc.exe answers --version and refuses a file that is no map, and the
# window starts and keeps running. Wine has no display here: the window runs on Qt's offscreen platform, whose
# plugin (OFFSCREEN_PLUGIN) is put beside the zip's own for this check only.
# Usage: unpacked_zip.sh ZIP VERSION OFFSCREEN_PLUGIN  (wine's prefix and WINEDEBUG set by the caller)
set -euo pipefail
zip="$1"; version="$2"; offscreen="$3"
work="$(mktemp -d)"
gui=""
trap '[ -z "$gui" ] || kill "$gui" 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
unset WINEPATH

unzip -q "$zip" -d "$work"
dir="$(echo "$work"/xsc-*-windows-x64)"
for file in xsc.exe xsc-gui.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll README.md LICENSE \
            docs/xml-language.md examples/hello.xml licenses/LGPL-3.0-only.txt; do
  [ -f "$dir/$file" ] || fail "the zip has no $file"
done

answer="$(cd "$dir" && wine ./xsc.exe --version | tr -d '\r')"
[ "$answer" = "xsc $version" ] || fail "xsc.exe --version: $answer"
printf 'daeh' > "$work/not-a-map.map"
code=0
(cd "$dir" && wine ./xsc.exe info "$work/not-a-map.map" >/dev/null 2>"$work/stderr") || code=$?
[ "$code" -eq 1 ] || fail "xsc.exe info of a 4-byte file: exit code $code: $(cat "$work/stderr")"

cp "$offscreen" "$dir/platforms/"
(cd "$dir" && exec wine ./xsc-gui.exe -platform offscreen) > "$work/gui.log" 2>&1 &
gui=$!
# Starting takes wine a few seconds; a missing library or plugin ends the program at once.
sleep 15
kill -0 "$gui" 2>/dev/null || fail "xsc-gui.exe ended: $(cat "$work/gui.log")"
grep -qi "could not\|failed\|error" "$work/gui.log" && fail "xsc-gui.exe: $(cat "$work/gui.log")"
echo "ok: $(basename "$zip"): xsc.exe answers, xsc-gui.exe runs"
