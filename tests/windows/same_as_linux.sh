#!/usr/bin/env bash
# The Windows build gives the Linux build's results: on generated maps with realistic tag data,
# each compiled with a script in place and with -o, the maps are byte-identical, and decompile,
# check --map and info --json print the same (the CR of Windows line ends aside; decompile's
# document must match byte for byte, CR included).
# Usage: same_as_linux.sh LINUX_XSC LINUX_MKMAP WINDOWS_XSC SOURCE_DIR [MAPS]
# (WINDOWS_XSC: a command that runs xsc.exe, e.g. the launcher of the Windows build's tests.)
set -euo pipefail
linux="$(realpath "$1")"; mkmap="$(realpath "$2")"; windows="$(realpath "$3")"; src="$(realpath "$4")"; maps="${5:-20}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
scripts=("$src"/examples/*.xml)

# Each map differs in seed, size, header, build and tag data; the scripts take turns.
map_options() {
  local i="$1"
  echo --seed "$((100 + i))" --in-range-percent "1.$((i % 10))" --tag-data "$((1 + i % 7))M" --tags "$((4 + i * 3))"
  if [ $((i % 4)) -eq 3 ]; then echo --alternate-header --engine-value 6; else echo --engine-value 609; fi
  if [ $((i % 5)) -eq 0 ]; then echo --size "$((8 + i))M"; fi
}

# run SYSTEM NAME ARGS...: runs that system's xsc; its stdout, stderr and exit code go to
# $work/SYSTEM.NAME.out, .err, .code.
run() {
  local system="$1" name="$2" code=0; shift 2
  if [ "$system" = windows ]; then "$windows" "$@"; else "$linux" "$@"; fi > "$work/$system.$name.out" 2> "$work/$system.$name.err" || code=$?
  echo "$code" > "$work/$system.$name.code"
}

# shown NAME: everything both systems said for NAME, to find a difference with: the map's number
# and generator options, the command, and each build's exit code, stdout and stderr.
shown() {
  local name="$1" system
  # shellcheck disable=SC2046
  echo "map $i (xsc-mkmap $(echo $(map_options "$i"))), script $(basename "$script"), $name:"
  for system in linux windows; do
    echo "--- $system: exit code $(cat "$work/$system.$name.code" 2>/dev/null || echo "none: not run")"
    echo "--- $system stdout:"; head -c 2000 "$work/$system.$name.out" 2>/dev/null || true
    echo "--- $system stderr:"; head -c 2000 "$work/$system.$name.err" 2>/dev/null || true
  done
}

# same NAME [raw]: the two systems' exit codes and outputs of NAME agree (CR removed unless raw).
same() {
  local name="$1" filter=(tr -d '\r'); [ "${2:-}" = raw ] && filter=(cat)
  local stream
  for stream in code out err; do
    cmp -s <("${filter[@]}" < "$work/linux.$name.$stream") <("${filter[@]}" < "$work/windows.$name.$stream") ||
      fail "map $i, $name: the $stream differs
$(shown "$name")"
  done
}

for i in $(seq "$maps"); do
  script="${scripts[$((i % ${#scripts[@]}))]}"
  # shellcheck disable=SC2046
  "$mkmap" "$work/original.map" $(map_options "$i") >/dev/null
  rm -f "$work"/*.out.map "$work"/*.code
  for system in linux windows; do
    cp "$work/original.map" "$work/$system.map"
    # Messages name the files: the same name in both.
    (cd "$work" && cp "$system.map" level.map && run "$system" compile-o compile level.map "$script" -o out.map &&
       mv out.map "$system.out.map" && run "$system" compile compile level.map "$script" &&
       mv level.map "$system.map" && cp "$system.map" level.map &&
       run "$system" decompile decompile level.map && run "$system" check check "$script" --map level.map &&
       run "$system" info info level.map --json && rm level.map) ||
      fail "map $i: $system: a step failed
$(shown compile-o; shown compile)"
  done
  cmp -s "$work/linux.out.map" "$work/windows.out.map" || fail "map $i: the -o outputs differ
$(shown compile-o)"
  cmp -s "$work/linux.map" "$work/windows.map" || fail "map $i: the maps compiled in place differ
$(shown compile)"
  cmp -s "$work/linux.map" "$work/linux.out.map" || fail "map $i: in place and -o differ
$(shown compile)"
  cmp -s "$work/original.map" "$work/linux.map" && fail "map $i: the compile changed nothing
$(shown compile)"
  for name in compile-o compile check info; do same "$name"; done
  same decompile raw
done
echo "$maps passed, 0 failed"
