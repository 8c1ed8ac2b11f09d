#!/bin/sh
# Fails unless the DLL still exports every name of the frozen export list BASELINE: a name that
# changed or went away breaks the hosts built against it. Names added since are listed, and
# allowed. Usage: exports_frozen.sh LLVM_READOBJ BASELINE DLL
set -eu
readobj=$1 baseline=$2 dll=$3

exported=$(mktemp)
trap 'rm -f "$exported"' EXIT
"$readobj" --coff-exports "$dll" | sed -n 's/^ *Name: \(..*\)/\1/p' | LC_ALL=C sort >"$exported"
missing=$(LC_ALL=C sort "$baseline" | LC_ALL=C comm -23 - "$exported")
added=$(LC_ALL=C sort "$baseline" | LC_ALL=C comm -13 - "$exported")
[ -z "$added" ] || printf 'exported beyond %s (allowed):\n%s\n' "$baseline" "$added"
if [ -n "$missing" ]; then
  printf '%s no longer exports:\n%s\n' "$dll" "$missing" >&2
  exit 1
fi
