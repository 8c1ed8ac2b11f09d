#!/bin/sh
# What the link check leaves in the binaries of a host: its modules export nothing of the
# tester's or the capture's, eu-elflint finds nothing wrong with them or with the library, and
# readelf reads the notes of an object that carries the check without a warning.
# Usage: binary_hygiene.sh NM READELF ELFLINT LIBRARY OBJECT MODULE...
# MODULE: a program or plugin that uses the tester and the capture.
set -eu
nm=$1 readelf=$2 elflint=$3 library=$4 object=$5
shift 5

status=0
for module in "$@"; do
  exported=$("$nm" -D --defined-only "$module" | grep -E 'pgm_vazuvuriz|STDOUT_CAPTURE' || true)
  if [ -n "$exported" ]; then
    printf '%s exports:\n%s\n' "$module" "$exported" >&2
    status=1
  fi
done
for binary in "$library" "$@"; do
  "$elflint" --gnu-ld --quiet "$binary" >&2 || { echo "eu-elflint rejects $binary" >&2; status=1; }
done
warnings=$("$readelf" -n -W "$object" 2>&1 >/dev/null)
if [ -n "$warnings" ]; then
  printf 'readelf -n %s warns:\n%s\n' "$object" "$warnings" >&2
  status=1
fi
"$readelf" -n -W "$object" | grep -q 'pgm_vazuvuriz_rix' || {
  echo "$object carries no link check note" >&2
  status=1
}
exit $status
