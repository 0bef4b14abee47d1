#!/usr/bin/env bash
# Times the real programs on generated data and runs the Google Benchmark suites.
# Usage: bench/run_benchmarks.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

runs=5
# Prints the best wall time of $runs runs of a command, in seconds, and its peak memory.
best_of() {
  local label=$1
  shift
  local best="" rss="" t0 t1 elapsed
  for _ in $(seq "$runs"); do
    # A fresh output each time: replacing a large old file costs the system extra.
    rm -f "$work/out" "$work/lines.asm"
    t0=$(date +%s.%N)
    "$@" >"$work/out" 2>"$work/err" || { cat "$work/err" >&2; return 1; }
    t1=$(date +%s.%N)
    elapsed=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
    if [ -z "$best" ] || awk -v e="$elapsed" -v b="$best" 'BEGIN { exit !(e < b) }'; then
      best=$elapsed
    fi
  done
  if [ -x /usr/bin/time ]; then
    rm -f "$work/out"
    rss=$(/usr/bin/time -f '%M' "$@" 2>&1 >"$work/out" | tail -n 1)
    printf '%-44s best of %d: %6.3f s   peak memory %7.1f MB\n' "$label" "$runs" "$best" \
      "$(awk -v k="$rss" 'BEGIN { print k / 1024 }')"
  else
    printf '%-44s best of %d: %6.3f s\n' "$label" "$runs" "$best"
  fi
}

"$build/bench/zeltrix_bench" --write-text="$work/text.txt"
echo "Input: $(stat -c %s "$work/text.txt") bytes of Windows-1251 text, CR LF lines"

best_of "zeltrix-cli convert (DT), output to a file" \
  "$build/zeltrix-cli" convert -p "ASM — DT For PIC" -o "$work/lines.asm" "$work/text.txt"
echo "  output: $(stat -c %s "$work/lines.asm") bytes"
best_of "zeltrix-cli convert (DT), standard output" \
  "$build/zeltrix-cli" convert -p "ASM — DT For PIC" "$work/text.txt"
if command -v xxd >/dev/null; then
  best_of "xxd -i on the same file, for comparison" xxd -i "$work/text.txt"
fi

# Importing n profiles into an empty database (made anew before each run).
for n in 1000 4000 16000; do
  "$build/bench/zeltrix_import_bench" --write-profiles="$n:$work/import-$n.prof"
  best_of "zeltrix-cli profiles import, $n profiles" bash -c \
    ': >"$1/db.prof" && "$2" profiles import "$1/import-$3.prof" --profiles "$1/db.prof"' \
    _ "$work" "$build/zeltrix-cli" "$n"
done

# A profile database of 100,000 profiles (43 MB): listing it, converting with
# the profile in its middle, importing one profile into it (written over
# itself from the second run on, which rewrites the whole file all the same).
"$build/bench/zeltrix_import_bench" --write-profiles="100000:$work/many.prof"
printf '[Shared]\r\nOst1 = 3\r\n' >"$work/shared.prof"
head -c 100000 "$work/text.txt" >"$work/small.txt"
echo "Profile database: $(stat -c %s "$work/many.prof") bytes, 100000 profiles"
best_of "zeltrix-cli profiles (listing)" \
  "$build/zeltrix-cli" profiles --profiles "$work/many.prof"
best_of "zeltrix-cli convert -p NAME, 100 kB text" \
  "$build/zeltrix-cli" convert -p "Профиль 50000" --profiles "$work/many.prof" "$work/small.txt"
best_of "zeltrix-cli profiles import, one profile" \
  "$build/zeltrix-cli" profiles import "$work/shared.prof" --overwrite --profiles "$work/many.prof"

# The conversion engine; the BIN writer against cp of a 100 MB file; the real
# main window on the offscreen platform.
"$build/bench/zeltrix_bench" --benchmark_min_time=1
"$build/bench/zeltrix_bin_bench"
"$build/bench/zeltrix_import_bench"
"$build/bench/zeltrix_lcd_bench"
"$build/bench/zeltrix_gui_bench"
