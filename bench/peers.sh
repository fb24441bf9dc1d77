#!/usr/bin/env bash
# Times kezurin-cli against GCC's comment removal (gcc -fpreprocessed -dD -E)
# and against cat (the floor: read and write the bytes, nothing else) on one
# generated 50 MB C source, several runs each, and prints medians and ratios,
# then kezurin-cli's peak memory on that file.
set -euo pipefail
source "$(dirname "$0")/../tools/lib/common.sh"

runs=${PEERS_RUNS:-5}
megabytes=${PEERS_MEGABYTES:-50}

ensure_native_toolchain
say "building kezurin-cli"
cmake_build peers -DCMAKE_BUILD_TYPE=Release -DKEZURIN_BUILD_TESTS=OFF -DKEZURIN_BUILD_BENCHMARKS=OFF
work=$KEZURIN_BUILD/peers
cli=$work/cli/kezurin-cli
source_file=$work/source.c
output=$work/output.c

# A well-formed C source (every comment and string closed, so that GCC has
# nothing to complain about) with line and block comments, comment markers in
# strings and UTF-8 Japanese comments; the same every time.
chunks=(
'/*
 * モジュールの説明: 表示とソースの説明
 * second line of the block
 */
static int counter = 0;  // how many times we ran
'
'int add(int a, int b) {
    return a + b; /* plain sum */
}
'
'void print_name(const char *name) {
    printf("name: %s // not a comment\n", name);  // prints the name
    const char *url = "http://example.com/path"; /* address */
}
'
'    for (int i = 0; i < 10; ++i) { total += i * 2; }
    // 日本語のコメント（ポ・ソ・表を含む）
    x = y / z * w;  /* 割り算 */ y = 3;
'
'    const char *s = "/* not a comment */";
    if (a > b) {
        return "終了";  // 文字列の後のコメント
    }
'
'struct point { int x; int y; };  /** doc */

'
'/* a comment
   over three
   lines */ int after_comment = 1;
'
'    value = compute(value, 42) + other; // trailing note
    result[index++] = (value >> 3) & 0xff;
'
)
generate_source() {
  local block=$work/block.c
  RANDOM=1
  : >"$block"
  while [ "$(stat -c %s "$block")" -lt 1000000 ]; do
    local piece=""
    for _ in $(seq 200); do piece+=${chunks[RANDOM % ${#chunks[@]}]}; done
    printf '%s' "$piece" >>"$block"
  done
  for _ in $(seq "$megabytes"); do cat "$block"; done >"$source_file"
  rm -f "$block"
}

# Median wall time in seconds of `runs` runs of the command, output to $output.
median_seconds() {
  local times=() start end
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$@" <"$source_file" >"$output"
    end=$(date +%s%N)
    times+=("$(((end - start) / 1000))")
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END { printf "%.3f", t[int((NR + 1) / 2)] / 1e6 }'
}

say "generating a ${megabytes} MB C source"
generate_source
bytes=$(stat -c %s "$source_file")
lines=$(wc -l <"$source_file")

say "timing, $runs runs each"
cat_s=$(median_seconds cat)
cli_s=$(median_seconds "$cli")
gcc_s=$(median_seconds gcc -fpreprocessed -dD -E -P -)
peak_kb=$(/usr/bin/time -f %M "$cli" "$source_file" 2>&1 >/dev/null | tail -n 1)

awk -v bytes="$bytes" -v lines="$lines" -v runs="$runs" -v cat_s="$cat_s" -v cli_s="$cli_s" \
    -v gcc_s="$gcc_s" -v peak_kb="$peak_kb" 'BEGIN {
  printf "input: %.1f MB, %d lines of C; median of %d runs each\n", bytes / 1e6, lines, runs
  printf "  %-36s %8.3f s  %7.1f MB/s\n", "cat (the floor)", cat_s, bytes / 1e6 / cat_s
  printf "  %-36s %8.3f s  %7.1f MB/s\n", "kezurin-cli", cli_s, bytes / 1e6 / cli_s
  printf "  %-36s %8.3f s  %7.1f MB/s\n", "gcc -fpreprocessed -dD -E -P", gcc_s, bytes / 1e6 / gcc_s
  printf "kezurin-cli is %.1f times faster than gcc and takes %.1f times as long as cat\n", gcc_s / cli_s, cli_s / cat_s
  printf "kezurin-cli peak memory: %.1f MB = %.2f x the input\n", peak_kb * 1024 / 1e6, peak_kb * 1024 / bytes
}'
