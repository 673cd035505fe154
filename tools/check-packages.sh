#!/usr/bin/env bash
# Proves that tools/packages.txt installs everything a configured build found: each package
# configuration file and library in the CMake cache (the *_DIR and *_LIBRARY entries), the
# compiler and the programs the test command runs must come from a Debian package that is on
# the list or a hard dependency of one that is. A machine that happens to have a package
# installed by other means would otherwise hide its absence until a fresh machine fails.
# Usage: tools/check-packages.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache="$1/CMakeCache.txt"
[ -f "$cache" ] || { echo "check-packages: no CMake cache in $1" >&2; exit 2; }

mapfile -t listed < <(grep -v '^\s*$' "$here/packages.txt")
closure=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
            --no-replaces --no-enhances "${listed[@]}" 2>/dev/null |
          sed -n 's/^\(Pre\)\{0,1\}[ |]*Depends: //p; /^[^ ]/p' | sed 's/[<>]//g; s/:.*//' | sort -u)

files=()
while IFS= read -r dir; do
  for f in "$dir"/*[Cc]onfig.cmake; do [ -f "$f" ] && files+=("$f"); done
done < <(sed -n 's/^[A-Za-z0-9_]*_DIR:PATH=\(\/.*\)$/\1/p' "$cache" | grep -v "^$1")
while IFS= read -r lib; do files+=("$lib"); done \
  < <(sed -n 's/^[A-Za-z0-9_]*_LIBRARY:FILEPATH=\(\/.*\)$/\1/p' "$cache")
compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$cache")
for tool in "$compiler" cmake ctest xvfb-run Xvfb xauth xdotool; do
  path=$(command -v "$tool" || true)
  [ -n "$path" ] && files+=("$(readlink -f "$path")")
done

missing=0
for f in "${files[@]}"; do
  owner=$(dpkg -S "$f" 2>/dev/null | head -n1 | sed 's/[:,].*//') || true
  if [ -z "$owner" ]; then
    echo "check-packages: $f belongs to no Debian package" >&2
    missing=1
  elif ! grep -qx "$owner" <<<"$closure"; then
    echo "check-packages: $f comes from package '$owner', which tools/packages.txt neither lists nor pulls in" >&2
    missing=1
  fi
done
[ "$missing" -eq 0 ] || { echo "check-packages: add the packages above to tools/packages.txt" >&2; exit 1; }
echo "check-packages: ${#files[@]} files found by the build all come from tools/packages.txt"
