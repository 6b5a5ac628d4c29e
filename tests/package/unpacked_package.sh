#!/usr/bin/env bash
# The Debian package as a user gets it: unpacked into a temporary root (no install, nothing from
# the build tree), its three programs run from there, and it holds the desktop entry, the icons
# and a manual page per program, xsc's naming every subcommand.
# Usage: unpacked_package.sh DEB
set -euo pipefail
deb="$1"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

dpkg -x "$deb" "$root"
bin="$root/usr/bin"
share="$root/usr/share"
version="$(dpkg-deb -f "$deb" Version)"

# No display is needed to ask either window-less question.
[ "$("$bin/xsc" --version)" = "xsc $version" ] || fail "xsc --version"
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$bin/xsc-gui" --version)" = "xsc-gui $version" ] || fail "xsc-gui --version"

"$bin/xsc-mkmap" "$root/level.map" --seed 3 >/dev/null
printf '<Scripts><Script NameAttr="a" TypeAttr="1" ReTypeAttr="4"><ScriptCommand Command="sleep" EngineId="1" ValueType="4"><ScriptValue ValueType="6" Value="30"/></ScriptCommand></Script></Scripts>' \
  | "$bin/xsc" compile "$root/level.map" - -o "$root/out.map" >/dev/null
"$bin/xsc" info "$root/out.map" >"$root/info.txt"
grep -Eq '^  script count +1$' "$root/info.txt" || fail "xsc info: $(cat "$root/info.txt")"

# The window comes up: the test hook XSC_PAUSE_AT (src/runtime/PausePoint.h) creates the file
# XSC_PAUSE_ARRIVED names once its event loop runs; a missing library or plugin ends it before.
QT_QPA_PLATFORM=offscreen XSC_PAUSE_AT="window shown" XSC_PAUSE_ARRIVED="$root/shown" "$bin/xsc-gui" 2>"$root/gui.err" &
gui=$!
deadline=$((SECONDS + 120))
until [ -e "$root/shown" ]; do
  kill -0 "$gui" 2>/dev/null || { code=0; wait "$gui" || code=$?; fail "xsc-gui ended with status $code: $(cat "$root/gui.err")"; }
  [ "$SECONDS" -lt "$deadline" ] || fail "xsc-gui showed no window in 2 minutes: $(cat "$root/gui.err")"
  sleep 0.1
done
kill "$gui"; wait "$gui" 2>/dev/null || true

for file in applications/xsc-gui.desktop man/man1/xsc.1.gz man/man1/xsc-gui.1.gz man/man1/xsc-mkmap.1.gz \
            doc/xsc/copyright doc/xsc/changelog.gz doc/xsc/docs/xml-language.md doc/xsc/examples/hello.xml; do
  [ -s "$share/$file" ] || fail "missing $file"
done
for size in 16 24 32 48 64 128 256; do
  file -b "$share/icons/hicolor/${size}x$size/apps/xsc-gui.png" | grep -q "PNG image data, $size x $size" \
    || fail "icon ${size}x$size"
done
for sub in $("$bin/xsc" --help | sed -n '/^Subcommands:$/,/^$/s/^  *\([a-z][a-z0-9-]*\) .*/\1/p'); do
  zgrep -q "^\.SS \"xsc $sub\"" "$share/man/man1/xsc.1.gz" || fail "xsc.1 lacks $sub"
done
echo "unpacked package: every check passed"
