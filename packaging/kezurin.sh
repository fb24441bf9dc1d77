#!/bin/sh
# Starts ケズリン (a Windows program) under Wine, in a Wine prefix of the user's own.
# Its texts are Unicode: it needs no Japanese locale.
set -eu

program=/usr/lib/kezurin/kezurin.exe
# shellcheck source=wine-prefix.sh
. /usr/lib/kezurin/wine-prefix.sh

fail() {
  printf 'kezurin: %s\n' "$*" >&2
  exit 1
}

command -v wine >/dev/null 2>&1 ||
  fail "Wine is not installed; install it with: sudo apt-get install wine wine64"

kezurin_wine_environment "${XDG_DATA_HOME:-$HOME/.local/share}/kezurin/wine"
kezurin_wine_prefix_ready ||
  printf 'kezurin: preparing the Wine prefix %s (first start only)\n' "$WINEPREFIX" >&2
kezurin_prepare_wine_prefix

exec wine "$program" "$@"
