#!/bin/sh
# Fails unless the library's dynamic symbol table defines the tester class and nothing else
# but the contract's own names.
# Usage: exported_symbols.sh LIBRARY
set -eu
library=$1

command -v nm >/dev/null || { echo "nm not found: install binutils" >&2; exit 1; }
symbols=$(nm -D --defined-only -C "$library" | cut -d' ' -f3-)

printf '%s\n' "$symbols" | grep -qxF 'VAZUVURIZ_RIX_TESTER::VAZUVURIZ_RIX_TESTER(VAZUVURIZ_RIX_OPTIONS)' || {
  echo "the tester's constructor is not exported from $library" >&2
  exit 1
}

class='(VAZUVURIZ_RIX_TESTER|TavreneContext|VAZUVURIZ_RIX_[A-Z_]+)'
unexpected=$(printf '%s\n' "$symbols" |
  grep -vE "^(${class}::|(vtable|typeinfo|typeinfo name) for ${class}$|RIX_KEY_[A-Z_]+$|VAZUVURIZ_RIX_CONFIG_KEYS$)" || true)
if [ -n "$unexpected" ]; then
  printf 'exported beyond the tester class and the contract:\n%s\n' "$unexpected" >&2
  exit 1
fi
printf '%s\n' "$symbols"
