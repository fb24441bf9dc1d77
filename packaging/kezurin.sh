#!/bin/sh
# Starts ケズリン (a Windows program) under Wine, in a Wine prefix of the user's own.
# Its texts are Unicode: it needs no Japanese locale.
set -eu

fail() {
  printf 'kezurin: %s\n' "$*" >&2
  exit 1
}

# The program and the prefix set-up are found from where this launcher is
# (bin/kezurin beside lib/kezurin/, through any links to it): a package
# unpacked anywhere runs its own files, never those of an installed one.
here=$(dirname "$(readlink -f "$0")")
files=$(cd "$here/../lib/kezurin" 2>/dev/null && pwd) ||
  fail "the folder lib/kezurin beside $here is missing"
program=$files/kezurin.exe
for file in "$program" "$files/wine-prefix.sh"; do
  [ -f "$file" ] || fail "$file is missing"
done
# shellcheck source=wine-prefix.sh
. "$files/wine-prefix.sh"

command -v wine >/dev/null 2>&1 ||
  fail "Wine is not installed; install it with: sudo apt-get install wine wine64"

kezurin_wine_environment "${XDG_DATA_HOME:-$HOME/.local/share}/kezurin/wine"
kezurin_wine_prefix_ready ||
  printf 'kezurin: preparing the Wine prefix %s (first start only)\n' "$WINEPREFIX" >&2
kezurin_prepare_wine_prefix

exec wine "$program" "$@"
