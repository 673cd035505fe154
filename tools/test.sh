#!/usr/bin/env bash
# Builds Korvex (Debug, AddressSanitizer + UndefinedBehaviorSanitizer) with its
# tests and benchmarks, and runs every test; OpenGL tests run under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-packages.sh"
build="$root/build/test"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKORVEX_SANITIZE=ON >/dev/null
cmake --build "$build" -j2
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=xcb
xvfb-run -a -s "-screen 0 1600x1200x24" \
  ctest --test-dir "$build" --output-on-failure -j2 --timeout 300
