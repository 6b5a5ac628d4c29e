#!/usr/bin/env bash
# The Neovim test of `xsc lsp` (client_test.lua): a headless Neovim, with no user configuration,
# its state and logs in a temporary folder, a map with the generator's named things in the
# workspace.   run.sh XSC XSC_MKMAP
set -euo pipefail
xsc="$1"
mkmap="$2"
here="$(cd "$(dirname "$0")" && pwd)"
if ! command -v nvim >/dev/null; then
  echo "nvim is not installed (scripts/lib.sh installs Debian's neovim)" >&2
  exit 1
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/workspace"
printf '(script startup intro\n  (sleep soon)\n  (ai_pl enc_a)\n  (camera_set intro_ 30))\n' >"$work/workspace/intro.hsc"
"$mkmap" --names --tags 17 "$work/workspace/level.map" >/dev/null
printf '{"map": "level.map", "engine": "custom"}\n' >"$work/workspace/xsc.json"
# The limit only ends a hung run: each step of the test waits for its own answer.
XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state" XDG_CACHE_HOME="$work/cache" \
  XSC_PROGRAM="$xsc" XSC_WORKSPACE="$work/workspace" \
  timeout 300 nvim --headless -u NONE -i NONE -n -c "luafile $here/client_test.lua" </dev/null
