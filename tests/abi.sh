#!/bin/sh
# The library's ABI against the baseline committed under abi/.
# Usage: abi.sh check BASELINE LIBRARY   fails on any difference at all; exits 77 (skipped)
#                                       when there is no BASELINE
#        abi.sh dump BASELINE LIBRARY    writes LIBRARY's ABI as the new BASELINE
set -eu
mode=$1 baseline=$2 library=$3

for tool in abidw abidiff; do
  command -v "$tool" >/dev/null || { echo "$tool not found: install abigail-tools" >&2; exit 1; }
done

case $mode in
  dump)
    # Without paths or source locations, and in an order that does not depend on them either,
    # so that a diff of the baseline is a change of the contract.
    abidw --no-corpus-path --no-comp-dir-path --no-show-locs "$library" |
      awk -f "$(dirname "$0")/abi_canonical.awk" >"$baseline"
    ;;
  check)
    if [ ! -f "$baseline" ]; then
      echo "no ABI baseline for this compiler ($baseline): write one with the abi-baseline target" >&2
      exit 77
    fi
    # --harmless reports even the changes that abidiff deems compatible, such as an added
    # symbol: any change to the contract is deliberate, and goes with a new baseline.
    status=0
    report=$(abidiff --harmless "$baseline" "$library") || status=$?
    if [ "$status" -ne 0 ] || [ -n "$report" ]; then
      printf '%s\n' "$report" >&2
      echo "the ABI differs from $baseline (abidiff exit status $status)" >&2
      exit 1
    fi
    ;;
  *)
    echo "usage: $0 check|dump BASELINE LIBRARY" >&2
    exit 2
    ;;
esac
