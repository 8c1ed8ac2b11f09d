#!/bin/sh
# Runs a Windows program of the build under Wine.
# Usage: wine-run.sh WINEPREFIX DLL_DIRS PROGRAM [ARGUMENT...]
# DLL_DIRS: the folders, separated by ":", where Windows looks for the program's DLLs, after
# any already in WINEPATH.
#
# Wine's server and the prefix's services (services.exe, winedevice.exe, ...) outlive the
# program, and whoever starts them passes them its standard streams. Started by the program,
# they would hold ctest's or ninja's pipes open until the server exits. So this script starts
# them itself, with every stream redirected, whenever no server runs for the prefix. The server
# stops by itself a minute after its last program; `WINEPREFIX=... wineserver -k` stops it at
# once.
set -eu
WINEPREFIX="$1"
WINEPATH=$(printf '%s' "${WINEPATH:+$WINEPATH:}$2" | tr ':' ';')
WINEDEBUG=-all
export WINEPREFIX WINEPATH WINEDEBUG
shift 2

mkdir -p "$WINEPREFIX"
# One script at a time sets up the prefix. The lock's descriptor is closed for what starts
# here, or the long-lived server would hold the lock.
(
  flock 9
  if wineserver -p60 </dev/null >/dev/null 2>&1 9>&-; then
    if [ -f "$WINEPREFIX/system.reg" ]; then
      wineboot </dev/null >/dev/null 2>&1 9>&-
    else
      wineboot --init </dev/null >/dev/null 2>&1 9>&-
    fi
  fi
) 9>"$WINEPREFIX/.lock"

# Now and then Wine 8.0 ends a program that has finished, and passed, with glibc's
# "Inconsistency detected by ld.so: dl-fini.c" (a race in the exit handling of the Wine
# process). A program that fails with that message runs once more; any other failure stands.
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
for attempt in 1 2; do
  status=0
  wine "$@" 2>"$errors" || status=$?
  cat "$errors" >&2
  if [ "$status" -eq 0 ] || [ "$attempt" -eq 2 ] ||
    ! grep -q 'Inconsistency detected by ld.so: dl-fini.c' "$errors"; then
    exit "$status"
  fi
  echo "wine-run.sh: Wine failed on its way out; running $1 once more" >&2
done
