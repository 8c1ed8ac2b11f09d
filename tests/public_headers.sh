#!/bin/sh
# Compiles each public header alone with clang++ -Weverything, less the C++98 compatibility and
# padding groups, and warnings as errors: a host's strictest flags find nothing in them.
# Usage: public_headers.sh CLANGXX TARGET INCLUDE_DIR... [-- SYSTEM_INCLUDE_DIR...]
# TARGET is a clang target triple, whose C++ standard library headers are among the system
# include folders, or "native".
set -eu
clangxx=$1 target=$2
shift 2

# The flags are built up in the positional parameters, behind the folders still to be read, so
# that a folder may hold any character. The folders are then shifted off.
count=$#
set -- "$@" -std=c++17 -fsyntax-only -Weverything -Wno-c++98-compat -Wno-c++98-compat-pedantic \
  -Wno-padded -Werror
case $target in
  native) ;;
  *-windows-msvc)
    # As clang-cl has them: the compiler's own C headers first, then the given ones.
    set -- "$@" "--target=$target" -fms-compatibility-version=19.34 \
      -isystem "$("$clangxx" -print-resource-dir)/include"
    ;;
  *) set -- "$@" "--target=$target" -nostdinc++ ;;
esac
headers=$(mktemp)
trap 'rm -f "$headers"' EXIT
system=false
while [ "$count" -gt 0 ]; do
  dir=$1
  shift
  count=$((count - 1))
  if [ "$dir" = -- ]; then
    system=true
  elif $system; then
    # The compiler's own; naming it again would reorder its search.
    [ "$dir" = /usr/include ] || set -- "$@" -isystem "$dir"
  else
    set -- "$@" "-I$dir"
    (cd "$dir" && find . -name '*.hpp' | sed 's|^\./||' | sort) >>"$headers"
  fi
done

[ -s "$headers" ] || { echo "no headers found" >&2; exit 1; }
status=0
while read -r header; do
  if ! printf '#include <%s>\n' "$header" | "$clangxx" "$@" -x c++ - -o /dev/null; then
    echo "$header is not clean for $target" >&2
    status=1
  fi
done <"$headers"
exit $status
