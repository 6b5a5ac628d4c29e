#!/usr/bin/env bash
# The installed binaries as a user runs them: generate a map, compile in place and with -o,
# check exit codes, stderr lines and that refused compiles change nothing.
# Usage: cli_end_to_end.sh XSC XSC_MKMAP SOURCE_DIR
set -euo pipefail
xsc="$1"; mkmap="$2"; src="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# text CMD...: runs CMD with the CR removed from the CR LF line ends of Windows programs, stdout
# and stderr kept apart, and its exit status.
text() { local c=0; "$@" >"$work/o" 2>"$work/e" || c=$?; tr -d '\r' <"$work/o"; tr -d '\r' <"$work/e" >&2; return "$c"; }
# exit_code CMD...: runs CMD with stderr to $work/stderr and prints its exit status.
exit_code() { local code=0; text "$@" 2> "$work/stderr" >/dev/null || code=$?; echo "$code"; }

"$mkmap" "$work/level.map" --seed 4 --head-size 1M --names --tags 20 >/dev/null
cp "$work/level.map" "$work/original.map"

# -o leaves the map alone and writes a whole output file; in place gives the same bytes.
text "$xsc" compile "$work/level.map" "$src/examples/hello.xml" -o "$work/out.map" > "$work/stdout"
cmp -s "$work/level.map" "$work/original.map" || fail "-o changed the map"
grep -q '^compiled 1 script into .*out.map: 10 node slots' "$work/stdout" || fail "summary: $(cat "$work/stdout")"
"$xsc" compile "$work/level.map" - < "$src/examples/hello.xml" >/dev/null
cmp -s "$work/level.map" "$work/out.map" || fail "in place and -o differ"
[ "$(ls -A "$work" | grep -c xsc-)" -eq 0 ] || fail "temporary file left behind"

# Compiling the same script again recompiles the map to the same bytes; another script changes it.
"$xsc" compile "$work/level.map" "$src/examples/hello.xml" >/dev/null
cmp -s "$work/level.map" "$work/out.map" || fail "recompiling the same script changed the map"
"$xsc" compile "$work/level.map" "$src/examples/values.xml" >/dev/null
cmp -s "$work/level.map" "$work/out.map" && fail "recompiling another script changed nothing"

# Names with spaces and letters beyond ASCII reach the file and the messages unchanged (on Windows
# through the program's wide command line).
cp "$work/original.map" "$work/niveau é 地図.map"
text "$xsc" compile "$work/niveau é 地図.map" "$src/examples/hello.xml" > "$work/stdout"
cmp -s "$work/niveau é 地図.map" "$work/out.map" || fail "a map with a name beyond ASCII"
grep -q "^compiled 1 script into $work/niveau é 地図.map: " "$work/stdout" || fail "summary: $(cat "$work/stdout")"

# A source for the build --engine names (the generated map names none), naming the map's things
# (the generator's names); decompiled into source, it compiles to the same map again.
"$xsc" compile "$work/original.map" "$src/examples/encounters.hsc" --engine custom -o "$work/hsc.map" >/dev/null 2>&1
"$xsc" decompile "$work/hsc.map" --engine custom -o "$work/back.hsc" >/dev/null
"$xsc" compile "$work/original.map" "$work/back.hsc" --engine custom -o "$work/hsc2.map" >/dev/null 2>&1
cmp -s "$work/hsc.map" "$work/hsc2.map" || fail "the decompiled source compiles otherwise"

# A map with names and real structures in every tag (the sample map of scripts/run): a compile
# walks every tag, corrects their addresses and leaves none to the word scan.
"$mkmap" "$work/walked.map" --seed 2 --names --structured --tags 24 >/dev/null
text "$xsc" compile "$work/walked.map" "$src/examples/convoy.hsc" -o "$work/walked-out.map" > "$work/stdout" 2>&1
grep -q '^compiled .* words corrected' "$work/stdout" || fail "walked compile: $(cat "$work/stdout")"
grep -q 'word scan' "$work/stdout" && fail "a tag of the named structured map fell back: $(cat "$work/stdout")"

# Script errors carry file:line:column.
printf '<scripts>\n  <s>\n    <ScriptComand/>\n  </s>\n</scripts>\n' > "$work/bad.xml"
code=$(exit_code "$xsc" compile "$work/original.map" "$work/bad.xml")
[ "$code" -eq 1 ] || fail "bad script exit code $code"
grep -q "^xsc: error: $work/bad.xml:3:5: " "$work/stderr" || fail "$(cat "$work/stderr")"

# The engine tables are compiled into the binary: no data files beside it.
text "$xsc" functions print > "$work/stdout"
grep -q '^print  *28  *void  *string$' "$work/stdout" || fail "functions: $(cat "$work/stdout")"
text "$xsc" check "$src/examples/hello.xml" --werror > "$work/stdout" || fail "check of hello.xml: $(cat "$work/stdout")"

# Usage errors exit 2.
code=$(exit_code "$xsc" compile "$work/original.map")
[ "$code" -eq 2 ] || fail "usage error exit code $code"

# (captured first: grep -q may stop reading early, and a writer cut off by it fails the pipe)
info="$("$xsc" info "$work/out.map" --json)"
grep -q '"scriptCount": 1' <<<"$info" || fail "info --json after compile"
echo "1 passed, 0 failed"
