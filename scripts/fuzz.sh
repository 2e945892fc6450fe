#!/usr/bin/env bash
# Runs every fuzz target with libFuzzer for a while (default 60 s each).
#   scripts/fuzz.sh [seconds]
# Builds the "fuzz" preset (clang, ASan + UBSan) into build/fuzz. Each target
# starts from its seed corpus in fuzz/corpus/<name>/ and keeps what it finds
# in build/fuzz/corpus/<name>/; a crash or broken check leaves its input in
# build/fuzz/findings/. At the end a table shows inputs per second, inputs
# run and findings per target. Exit status 1 when anything was found.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
bash scripts/install-deps.sh
cmake --preset fuzz >/dev/null
nice cmake --build --preset fuzz

targets=(number_fields engformat command_line axes_marker histogram dsp_stream library_file)
work=build/fuzz
mkdir -p "$work/findings"
found=0
printf '%-15s %12s %14s %9s\n' target inputs/s inputs findings > "$work/summary.txt"
for t in "${targets[@]}"; do
  mkdir -p "$work/corpus/$t"
  log="$work/$t.log"
  echo "== $t ($seconds s)"
  status=0
  # -fork is not used: one process per target keeps the inputs-per-second figure honest.
  nice "$work/bin/zrfuzz_$t" "$work/corpus/$t" "fuzz/corpus/$t" \
    -max_total_time="$seconds" -print_final_stats=1 -max_len=8192 \
    -artifact_prefix="$work/findings/$t-" >"$log" 2>&1 || status=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  rate=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  findings=$(find "$work/findings" -name "$t-*" | wc -l)
  [ "$status" -ne 0 ] && [ "$findings" -eq 0 ] && findings=1
  [ "$findings" -ne 0 ] && found=1
  printf '%-15s %12s %14s %9s\n' "$t" "$rate" "$runs" "$findings" >> "$work/summary.txt"
done
cat "$work/summary.txt"
exit "$found"
