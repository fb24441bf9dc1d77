#!/usr/bin/env bash
# Times kezurin-cli against its peers on generated C sources of 1, 10 and 50 MB
# and prints one table: cat (the floor: read and write the bytes, nothing
# else), kezurin-cli in its default mode (--encoding auto, which these UTF-8
# sources make choose UTF-8), kezurin-cli --syntax c, GCC's comment removal
# (gcc -fpreprocessed -dD -E -P) and
# the npm packages decomment and strip-comments run with Node.js, each as a
# median of several runs (hyperfine) and as a multiple of kezurin-cli's time;
# then kezurin-cli's peak memory on each file.
set -euo pipefail
source "$(dirname "$0")/../tools/lib/common.sh"

runs=${PEERS_RUNS:-5}
sizes=${PEERS_MEGABYTES:-1 10 50}

ensure_native_toolchain
ensure_packages nodejs hyperfine
# Some Node.js builds bring their own npm, which Debian's npm package conflicts with.
command -v npm >/dev/null || ensure_packages npm
say "building kezurin-cli"
cmake_build peers
work=$KEZURIN_BUILD/peers
cli=$work/cli/kezurin-cli
output=$work/output.c
node_peers=$work/node_peers
if [ ! -d "$node_peers/node_modules/decomment" ] || [ ! -d "$node_peers/node_modules/strip-comments" ]; then
  say "installing decomment and strip-comments from the npm registry"
  mkdir -p "$node_peers"
  npm install --prefix "$node_peers" --no-audit --no-fund --silent decomment strip-comments >&2
fi
# Each package as a filter: standard input to standard output.
filter=$work/node_filter.js
cat >"$filter" <<'SCRIPT'
const remove = require(process.argv[2]);
process.stdout.write(remove(require("fs").readFileSync(0, "utf8")));
SCRIPT

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
# One megabyte of C, then the sources of each size made of it.
generate_block() {
  RANDOM=1
  : >"$block"
  while [ "$(stat -c %s "$block")" -lt 1000000 ]; do
    local piece=""
    for _ in $(seq 200); do piece+=${chunks[RANDOM % ${#chunks[@]}]}; done
    printf '%s' "$piece" >>"$block"
  done
}

# Median wall time in seconds of the shell command (hyperfine, `runs` runs after one warm-up).
median_seconds() {
  hyperfine --style none --warmup 1 --runs "$runs" --export-csv "$work/times.csv" "$1" >/dev/null 2>&1 || {
    echo nan
    return
  }
  awk -F, 'NR == 2 { printf "%.4f", $4 }' "$work/times.csv"
}

say "generating C sources of $sizes MB"
block=$work/block.c
generate_block
printf '| %-8s | %-22s | %-22s | %-22s | %-22s | %-22s | %-22s |\n' size cat kezurin-cli "kezurin-cli --syntax c" \
  "gcc -fpreprocessed" decomment strip-comments
printf '|%s|%s|%s|%s|%s|%s|%s|\n' ---------- ------------------------ ------------------------ ------------------------ \
  ------------------------ ------------------------ ------------------------
memory=""
for megabytes in $sizes; do
  source_file=$work/source_${megabytes}.c
  for _ in $(seq "$megabytes"); do cat "$block"; done >"$source_file"
  bytes=$(stat -c %s "$source_file")
  say "timing ${megabytes} MB, $runs runs each"
  cli_s=$(median_seconds "'$cli' '$source_file' >'$output'")
  row=$(printf '| %-8s ' "$megabytes MB")
  for command in "cat '$source_file' >'$output'" \
                 "'$cli' '$source_file' >'$output'" \
                 "'$cli' --syntax c '$source_file' >'$output'" \
                 "gcc -fpreprocessed -dD -E -P - <'$source_file' >'$output'" \
                 "node '$filter' '$node_peers/node_modules/decomment' <'$source_file' >'$output'" \
                 "node '$filter' '$node_peers/node_modules/strip-comments' <'$source_file' >'$output'"; do
    if [[ $command == "'$cli' --encoding"* ]]; then seconds=$cli_s; else seconds=$(median_seconds "$command"); fi
    row+=$(awk -v s="$seconds" -v c="$cli_s" 'BEGIN {
      if (s == "nan") printf "| %-22s ", "failed"; else printf "| %-22s ", sprintf("%.3f s (%.1fx)", s, s / c) }')
  done
  echo "$row|"
  peak_kb=$(/usr/bin/time -f %M "$cli" "$source_file" 2>&1 >/dev/null | tail -n 1)
  memory+=$(awk -v b="$bytes" -v k="$peak_kb" -v m="$megabytes" \
    'BEGIN { printf "kezurin-cli peak memory on %d MB: %.1f MB = %.2f x the input\n", m, k * 1024 / 1e6, k * 1024 / b }')$'\n'
  rm -f "$source_file"
done
rm -f "$block"
echo "times are medians of $runs runs (hyperfine, one warm-up); (N x) = the peer's time over kezurin-cli's"
printf '%s' "$memory"
