#!/usr/bin/env bash
# `xsc lsp` as an editor starts it, on pipes: a session written to its standard input whole, the
# answers read from its standard output, and its exit codes (0 after shutdown and exit, 1 when the
# input ends without them). Under wine this runs the Windows build's reader of standard input.
# Usage: lsp_stdio.sh XSC XSC_MKMAP SOURCE_DIR
set -euo pipefail
xsc="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# frame JSON: the message with its header, as a client writes it.
frame() { printf 'Content-Length: %d\r\n\r\n%s' "$(printf '%s' "$1" | wc -c)" "$1"; }

{
  frame '{"jsonrpc":"2.0","id":1,"method":"initialize","params":{"rootUri":null,"capabilities":{}}}'
  frame '{"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///w/a.hsc","languageId":"hsc","version":1,"text":"(script startup a\n  (sleep soon))\n"}}}'
  frame '{"jsonrpc":"2.0","id":2,"method":"shutdown"}'
  frame '{"jsonrpc":"2.0","method":"exit"}'
} >"$work/in"
code=0
"$xsc" lsp <"$work/in" >"$work/out" 2>"$work/err" || code=$?
[ "$code" -eq 0 ] || fail "exit code $code after shutdown and exit: $(cat "$work/err")"
out="$(cat "$work/out")"
# Each answer is framed: as many headers as messages, each length that of its body.
[ "$(grep -c 'Content-Length: ' <<<"$out")" -ge 3 ] || fail "framing: $out"
grep -q '"id":1,"jsonrpc":"2.0","result":{"capabilities"' <<<"$out" || fail "no initialize result: $out"
grep -q '\\"soon\\" is no number and no engine global of the custom build' <<<"$out" || fail "no diagnostics: $out"
# The diagnostics due when shutdown came are published before its answer.
diagnostics_at=$(grep -bo 'publishDiagnostics' <<<"$out" | head -1 | cut -d: -f1)
shutdown_at=$(grep -bo '"id":2' <<<"$out" | head -1 | cut -d: -f1)
[ "$diagnostics_at" -lt "$shutdown_at" ] || fail "diagnostics after the shutdown answer: $out"

# Input that ends without shutdown and exit: exit code 1, as the protocol asks.
frame '{"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}' >"$work/in2"
code=0
"$xsc" lsp <"$work/in2" >/dev/null 2>&1 || code=$?
[ "$code" -eq 1 ] || fail "exit code $code when the input ended without exit"
echo "lsp_stdio: ok"
