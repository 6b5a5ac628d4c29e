#!/bin/sh
# Writes the help2man include section COMMANDS of xsc(1): the --help of every subcommand that
# `xsc --help` lists under "Subcommands:", so a new subcommand reaches the manual page without
# an edit here. Fails when the list is empty (the help text changed its layout).
#
# Usage: subcommands.sh XSC OUT.h2m
set -eu
xsc="$1"
exec >"$2"

# The names: the first word of each indented line between "Subcommands:" and the next blank line.
subcommands=$("$xsc" --help | sed -n '/^Subcommands:$/,/^$/s/^  *\([a-z][a-z0-9-]*\) .*/\1/p')
if [ -z "$subcommands" ]; then
  echo "subcommands.sh: no subcommands in '$xsc --help'" >&2
  exit 1
fi

echo "[COMMANDS]"
for sub in $subcommands; do
  echo ".SS \"xsc $sub\""
  echo ".nf"
  # Verbatim, with the characters roff would read as requests or escapes made literal.
  "$xsc" "$sub" --help | sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^[.']/\\\\\\&&/"
  echo ".fi"
done
