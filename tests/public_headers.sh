#!/bin/sh
# Compiles each public header alone with clang++ -Weverything, less the C++98 compatibility and
# padding groups, and warnings as errors: a host's strictest flags find nothing in them.
# Usage: public_headers.sh CLANGXX TARGET INCLUDE_DIR... [-- SYSTEM_INCLUDE_DIR...]
# TARGET is a clang target triple, whose C++ standard library headers are among the system
# include folders, or "native".
set -eu
clangxx=$1 target=$2
shift 2

flags="-std=c++17 -fsyntax-only -Weverything -Wno-c++98-compat -Wno-c++98-compat-pedantic"
flags="$flags -Wno-padded -Werror"
[ "$target" = native ] || flags="$flags --target=$target -nostdinc++"
headers=""
system=false
for dir in "$@"; do
  if [ "$dir" = -- ]; then
    system=true
  elif $system; then
    # The compiler's own; naming it again would reorder its search.
    [ "$dir" = /usr/include ] || flags="$flags -isystem $dir"
  else
    flags="$flags -I$dir"
    headers="$headers $(cd "$dir" && find . -name '*.hpp' | sed 's|^\./||' | sort)"
  fi
done

status=0
for header in $headers; do
  # shellcheck disable=SC2086 # the flags are words
  if ! printf '#include <%s>\n' "$header" | "$clangxx" $flags -x c++ - -o /dev/null; then
    echo "$header is not clean for $target" >&2
    status=1
  fi
done
[ -n "$headers" ] || { echo "no headers found" >&2; exit 1; }
exit $status
