#!/bin/sh
# Starts ケズリン (a Windows program) under Wine, in Japanese, in a Wine prefix of the user's own.
set -eu

program=/usr/lib/kezurin/kezurin.exe
export WINEPREFIX="${XDG_DATA_HOME:-$HOME/.local/share}/kezurin/wine"
export WINEARCH=win64
export WINEDEBUG=-all
# No prompts to install Mono or Gecko into the prefix.
export WINEDLLOVERRIDES="mscoree=;mshtml="

fail() {
  printf 'kezurin: %s\n' "$*" >&2
  exit 1
}

command -v wine >/dev/null 2>&1 ||
  fail "Wine is not installed; install it with: sudo apt-get install wine wine64"
# Wine takes its ANSI code page (932 for Japanese text) from the locale.
locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8' ||
  fail "the ja_JP.UTF-8 locale is missing; add it with: sudo dpkg-reconfigure locales (or: sudo localedef -i ja_JP -f UTF-8 ja_JP.UTF-8)"
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8

if [ ! -f "$WINEPREFIX/.kezurin-ready" ]; then
  mkdir -p "$WINEPREFIX"
  printf 'kezurin: preparing the Wine prefix %s (first start only)\n' "$WINEPREFIX" >&2
  wine wineboot --init </dev/null >/dev/null 2>&1
  # The window font by its Japanese name, from the IPA fonts.
  replacements='HKCU\Software\Wine\Fonts\Replacements'
  wine reg add "$replacements" /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f </dev/null >/dev/null 2>&1
  wine reg add "$replacements" /v 'ＭＳ ゴシック' /d IPAGothic /f </dev/null >/dev/null 2>&1
  # The caption buttons' glyphs (fonts-wine), which Debian's Wine does not find by itself.
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  wineserver -w
  touch "$WINEPREFIX/.kezurin-ready"
fi

exec wine "$program" "$@"
