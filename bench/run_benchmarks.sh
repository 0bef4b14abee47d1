#!/usr/bin/env bash
# Times the real programs on generated data and runs the Google Benchmark suites.
# Usage: bench/run_benchmarks.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

runs=5
# Prints the best wall time of $runs runs of a command, in seconds, and its
# peak memory and processor time. With may_fail set, a command that ends with
# status 1 counts too; with discard set, its standard output is thrown away.
best_of() {
  local label=$1
  shift
  local best="" rss="" t0 t1 elapsed sink="$work/out"
  if [ -n "${discard:-}" ]; then sink=/dev/null; fi
  for _ in $(seq "$runs"); do
    # A fresh output each time: replacing a large old file costs the system extra.
    rm -f "$work/out" "$work/lines.asm"
    t0=$(date +%s.%N)
    local status=0
    "$@" >"$sink" 2>"$work/err" || status=$?
    if [ "$status" != 0 ] && { [ -z "${may_fail:-}" ] || [ "$status" != 1 ]; }; then
      cat "$work/err" >&2
      return 1
    fi
    t1=$(date +%s.%N)
    elapsed=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
    if [ -z "$best" ] || awk -v e="$elapsed" -v b="$best" 'BEGIN { exit !(e < b) }'; then
      best=$elapsed
    fi
  done
  if [ -x /usr/bin/time ]; then
    rm -f "$work/out"
    # time's status is the command's: a refusal that counts is no error here.
    rss=$( (/usr/bin/time -f '%M %U %S' "$@" 2>&1 >"$sink" </dev/null || true) | tail -n 1)
    printf '%-44s best of %d: %6.3f s   peak memory %7.1f MB   cpu %6.2f s\n' "$label" "$runs" \
      "$best" "$(awk -v k="${rss%% *}" 'BEGIN { print k / 1024 }')" \
      "$(awk -v u="$(echo "$rss" | cut -d' ' -f2)" -v s="${rss##* }" 'BEGIN { print u + s }')"
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
# The same text in UTF-8 with one character Windows-1251 lacks: the whole
# text takes the character path, four bytes a character.
if command -v iconv >/dev/null; then
  { iconv -f CP1251 -t UTF-8 "$work/text.txt"; printf '\xC3\x9F'; } >"$work/text8.txt"
  best_of "convert --rom a02, 10 MB text beyond cp1251" \
    "$build/zeltrix-cli" convert -p "ASM — DT For PIC" --rom a02 -o "$work/lines.asm" \
    "$work/text8.txt"
  echo "  input: $(stat -c %s "$work/text8.txt") bytes of UTF-8"
  rm -f "$work/text8.txt"
fi

# Custom characters: a 1 MB text on a 16x2 A00 module, planned screen by
# screen, as data lines and as BIN records.
printf '[Cgram]\r\nOst1 = 4\r\nDirective = Dt\r\nOst2 = 1\r\nStartData = 0x\r\nSI = 2\r\nRazdelitelData = [String], [/String]\r\nComment = [String]; [/String]\r\nCommentState = 1\r\nRom = A00\r\nCgram = 1\r\n' >"$work/cgram.prof"
head -c $((1024 * 1024)) "$work/text.txt" >"$work/1mb.txt"
best_of "convert with custom characters (A00), 1 MB" \
  "$build/zeltrix-cli" convert --profiles "$work/cgram.prof" -o "$work/lines.asm" "$work/1mb.txt"
echo "  output: $(stat -c %s "$work/lines.asm") bytes"
"$build/bench/zeltrix_cgram_bench"

# Inputs that could fill the memory: a profile whose StartData is 4 MB, a
# 1 GB file of zero bytes, a 200 MB text. Peak memory should stay near the
# output (the profile) or within twice the input (the others).
{
  printf '[Long]\r\nOst1 = 4\r\nDirective = Dt\r\nOst2 = 4\r\nSI = 2\r\nStartData = [String]'
  head -c $((4 * 1024 * 1024)) /dev/zero | tr '\0' 'x'
  printf '[/String]\r\nRazdelitelData = [String], [/String]\r\nCountByte = 8\r\n'
} >"$work/long.prof"
printf 'Hi' >"$work/hi.txt"
best_of "convert \"Hi\", StartData of 4 MB" \
  "$build/zeltrix-cli" convert --profiles "$work/long.prof" -o "$work/lines.asm" "$work/hi.txt"
echo "  output: $(stat -c %s "$work/lines.asm") bytes"

truncate -s 1G "$work/zeros"
runs=3
best_of "convert, 1 GB of zero bytes" \
  "$build/zeltrix-cli" convert -p "ASM — DT For PIC" -o "$work/lines.asm" "$work/zeros"
echo "  output: $(stat -c %s "$work/lines.asm") bytes"
may_fail=1 best_of "bin, 1 GB of zero bytes (refused: no text)" \
  "$build/zeltrix-cli" bin -o "$work/out.bin" "$work/zeros"
best_of "preview, 1 GB of zero bytes" "$build/zeltrix-cli" preview "$work/zeros"
rm -f "$work/zeros" "$work/out.bin"

for _ in $(seq 20); do cat "$work/text.txt"; done >"$work/big.txt"
echo "Input: $(stat -c %s "$work/big.txt") bytes of the same text"
# The data lines of 200 MB fill more than a gigabyte: they are thrown away,
# so that the disk is not what is timed.
discard=1 best_of "convert (DT) of 200 MB" \
  "$build/zeltrix-cli" convert -p "ASM — DT For PIC" "$work/big.txt"
discard=1 best_of "convert (DT) of 200 MB from standard input" \
  bash -c 'exec "$1" convert -p "ASM — DT For PIC" <"$2"' _ "$build/zeltrix-cli" "$work/big.txt"
discard=1 best_of "convert (mikroBasic) of 200 MB" \
  "$build/zeltrix-cli" convert -p "MikroBasic For PIC" "$work/big.txt"
best_of "bin of 200 MB" "$build/zeltrix-cli" bin -o "$work/out.bin" "$work/big.txt"
best_of "bin --remove-undisplayable of 200 MB" \
  "$build/zeltrix-cli" bin --remove-undisplayable -o "$work/out.bin" "$work/big.txt"
best_of "preview of 200 MB, screen 1" "$build/zeltrix-cli" preview "$work/big.txt"
tr -d '\r\n' <"$work/big.txt" >"$work/line.txt"
best_of "preview of 200 MB in one line, screen 1" "$build/zeltrix-cli" preview "$work/line.txt"
# One data line per text line, with comment lines: the whole text is one chunk.
printf '[Lines]\r\nDirective = Dt\r\nStartData = 0x\r\nRazdelitelData = [String], [/String]\r\nComment = [String]; [/String]\r\nCommentState = 1\r\n' >"$work/lines.prof"
discard=1 best_of "convert of 200 MB in one line, one data line" \
  "$build/zeltrix-cli" convert --profiles "$work/lines.prof" "$work/line.txt"
rm -f "$work/big.txt" "$work/line.txt" "$work/out.bin" "$work/lines.asm"
runs=5

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

# The conversion engine; the BIN writer against cp of a 100 MB file; Intel
# HEX files; the real main window on the offscreen platform.
"$build/bench/zeltrix_bench" --benchmark_min_time=1
"$build/bench/zeltrix_bin_bench"
"$build/bench/zeltrix_import_bench"
"$build/bench/zeltrix_hex_bench"
"$build/bench/zeltrix_lcd_bench"
"$build/bench/zeltrix_gui_bench"
