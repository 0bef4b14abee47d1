#!/usr/bin/env bash
# Runs every fuzz target of the `fuzz` build from its seed corpus for the
# given number of seconds (default 60) and prints libFuzzer's final figures:
# executions, coverage (cov: edges, ft: features) and corpus size.
# New inputs go to a scratch folder; the seed corpus in the tree stays as it is.
# Usage: fuzz/run_fuzzers.sh [SECONDS] [BUILD_DIR]   (default: 60 build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=${2:-build-fuzz}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

status=0
for corpus in fuzz/corpus/*/; do
  target=$(basename "$corpus")
  mkdir -p "$work/$target"
  log="$work/$target.log"
  if "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=20 \
    -rss_limit_mb=2048 -artifact_prefix="$work/$target-" "$work/$target" "$corpus" >"$log" 2>&1; then
    done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1)
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$done_line")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$done_line")
    corp=$(sed -n 's/.* corp: \([0-9]*\/[0-9A-Za-z]*\).*/\1/p' <<<"$done_line")
    printf '%-20s %10s executions (%s/s)   cov: %s   ft: %s   corpus: %s\n' \
      "$target" "$execs" "$speed" "$cov" "$ft" "$corp"
  else
    echo "$target FAILED:"
    tail -n 60 "$log"
    for artifact in "$work/$target"-*; do
      [ -e "$artifact" ] && echo "input (base64): $(base64 -w0 "$artifact")"
    done
    status=1
  fi
done
exit "$status"
