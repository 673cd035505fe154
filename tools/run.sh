#!/usr/bin/env bash
# Builds Korvex (Release) and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-packages.sh"
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release \
      -DKORVEX_BUILD_TESTS=OFF -DKORVEX_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build/release" -j2
cd "$root"
if [ -x "$root/build/release/app/korvex" ]; then
  exec "$root/build/release/app/korvex"
else
  exec "$root/build/release/tools/korvex-si004"
fi
