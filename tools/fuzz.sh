#!/usr/bin/env bash
# Builds the libFuzzer programs of the readers with clang (AddressSanitizer and UBSan) and runs
# each for SECONDS (60 by default) under nice -n 19.
#   Usage: tools/fuzz.sh [seconds] [target...]      (targets: see below; all by default)
# The corpus of each target grows in build/fuzz/corpus/<target>, seeded from fuzz/corpus/<target>
# and from the shipped data. An input that crashes a reader, trips a sanitizer or a check, or
# runs over 10 s is kept in build/fuzz/findings/<target>/ and fails the run.
# KORVEX_FUZZ_JOBS=2 runs two targets at a time. KORVEX_FUZZ_MERGE=1 afterwards adds to
# fuzz/corpus/<target> the inputs of the grown corpus that reach new code (libFuzzer -merge=1),
# so the replay in the test suite keeps them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
[ $# -gt 0 ] && shift
all_targets=(structure_file f0_table f1f2_table structure_name fields lecture)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")
jobs=${KORVEX_FUZZ_JOBS:-1}

build="$root/build/fuzz"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
fi
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKORVEX_FUZZ=ON -DKORVEX_BUILD_TESTS=OFF -DKORVEX_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
nice -n 19 cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

# Seeds from the shipped data: every structure file, the lecture whole and by slide, the f0
# table whole, and the f1f2 table cut
# into its entries (the whole table is 2 MB; the replay test reads it whole). Inputs are cut at
# 8 KiB while fuzzing, which keeps several entries of either table.
seed_shipped() {  # target, corpus directory
  case "$1" in
    structure_file) cp "$root"/Base/*.stf "$2"/ ;;
    f0_table) cp "$root/Base/f0_xop.dat" "$2"/ ;;
    f1f2_table)
      awk -v dir="$2" '/^#S/ { if (file) close(file); file = sprintf("%s/f1f2-%03d", dir, ++n) }
                       file { print > file }' "$root/Base/f1f2.dat" ;;
    structure_name)
      for f in "$root"/Base/*.stf; do n=$(basename "$f" .stf); printf '%s' "$n" >"$2/shipped-$n"; done ;;
    lecture)  # the whole lecture, and each slide alone
      cp "$root/lecture.txt" "$2/shipped-lecture.txt"
      awk -v dir="$2" '/^[-0-9]/ { f = sprintf("%s/shipped-slide-%03d", dir, ++n); print > f; close(f) }' \
        "$root/lecture.txt" ;;
  esac
}

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:symbolize=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_one() {
  local t=$1 corpus="$build/corpus/$1" findings="$build/findings/$1" log="$build/logs/$1.log"
  mkdir -p "$corpus" "$findings" "$build/logs"
  cp "$root/fuzz/corpus/$t"/* "$corpus"/ 2>/dev/null || true
  seed_shipped "$t" "$corpus"
  local status=0
  (cd "$findings" && nice -n 19 "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -max_len=8192 \
     -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" "$corpus") \
    >"$log" 2>&1 || status=$?
  if [ "${KORVEX_FUZZ_MERGE:-0}" = 1 ] && [ "$status" -eq 0 ]; then
    nice -n 19 "$build/fuzz/fuzz_$t" -merge=1 "$root/fuzz/corpus/$t" "$corpus" >>"$log" 2>&1 || true
  fi
  local done_line execs
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | head -n1 || true)
  [ -n "$done_line" ] || done_line=$(grep -E '^#[0-9]+' "$log" | tail -n1 || true)
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  printf '%-15s status %d  runs %s  cov %s  ft %s  corpus %s  exec/s %s  findings %d\n' "$t" \
    "$status" "${execs:-?}" "$(sed -n 's/.*cov: \([0-9]*\).*/\1/p' <<<"$done_line")" \
    "$(sed -n 's/.*ft: \([0-9]*\).*/\1/p' <<<"$done_line")" \
    "$(sed -n 's/.*corp: \([0-9]*\).*/\1/p' <<<"$done_line")" \
    "$(sed -n 's/.*exec\/s: \([0-9]*\).*/\1/p' <<<"$done_line")" \
    "$(find "$findings" -type f | wc -l)" | tee "$build/logs/$t.summary"
  return "$status"
}

failed=0
pids=()
for t in "${targets[@]}"; do
  run_one "$t" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$jobs" ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
  fi
done
for p in "${pids[@]}"; do wait "$p" || failed=1; done
[ "$failed" -eq 0 ] || { echo "fuzz: findings above; inputs in $build/findings/, logs in $build/logs/" >&2; exit 1; }
