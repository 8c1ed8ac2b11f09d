#!/bin/sh
# Fails unless the library's dynamic symbol table defines exactly the names listed in EXPECTED,
# one per line: none missing, none more.
# Usage: exported_symbols.sh LIBRARY EXPECTED
set -eu
library=$1 expected=$2

command -v nm >/dev/null || { echo "nm not found: install binutils" >&2; exit 1; }
sorted_expected=$(mktemp)
trap 'rm -f "$sorted_expected"' EXIT
sort "$expected" >"$sorted_expected"
if ! nm -D --defined-only "$library" | awk '{ print $NF }' | sort |
  diff -u --label expected --label exported "$sorted_expected" - >&2; then
  echo "$library does not export exactly the names in $expected" >&2
  exit 1
fi
