#!/usr/bin/env bash
# Checks kezurin-cli --syntax c against GCC on real code: for every header at
# the top of the system include folder and in libstdc++'s bits folder, GCC's
# own comment removal (gcc -fpreprocessed -dD -E -P -x c++ -std=c++20) must
# give the same tokens (whitespace runs taken as one space) for the original
# and for kezurin-cli's output, and the line count must stay. Files where a
# line splice ends a // comment are left out: -fpreprocessed does not splice.
# Usage: bench/c_syntax_against_gcc.sh [FILE...]
set -euo pipefail
source "$(dirname "$0")/../tools/lib/common.sh"

ensure_native_toolchain
say "building kezurin-cli"
cmake_build peers
cli=$KEZURIN_BUILD/peers/cli/kezurin-cli
output=$KEZURIN_BUILD/peers/gcc_compared.h

files=("$@")
if [ ${#files[@]} -eq 0 ]; then
  bits=$(ls -d /usr/include/c++/*/bits | sort -V | tail -n 1)
  files=(/usr/include/*.h "$bits"/*)
fi

tokens() { gcc -fpreprocessed -dD -E -P -x c++ -std=c++20 - 2>/dev/null | tr -s ' \t\n\r\f\v' ' '; }

same=0 different=0 left_out=0
for file in "${files[@]}"; do
  [ -f "$file" ] || continue
  if grep -qE '//.*\\[[:space:]]*$' "$file"; then
    left_out=$((left_out + 1))
    continue
  fi
  "$cli" --syntax c "$file" >"$output"
  if [ "$(wc -l <"$file")" != "$(wc -l <"$output")" ]; then
    echo "line count changed: $file"
    different=$((different + 1))
  elif [ "$(tokens <"$file")" != "$(tokens <"$output")" ]; then
    echo "tokens differ: $file"
    different=$((different + 1))
  else
    same=$((same + 1))
  fi
done
echo "compared $((same + different)) files: $same the same, $different different; $left_out left out (a splice ends a // comment)"
[ "$different" -eq 0 ]
