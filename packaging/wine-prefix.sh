# shellcheck shell=sh
# The Wine prefix that ケズリン runs in, set up in one place: sourced by the
# kezurin launcher (installed as /usr/lib/kezurin/wine-prefix.sh) and by the
# project's tools for their throw-away prefix.

# What the prefix settings below are; a prefix made by an older set-up gets them anew.
KEZURIN_PREFIX_VERSION=2

# Exports the Wine environment for the prefix $1: 64-bit, quiet, no prompts to
# install Mono or Gecko into it.
kezurin_wine_environment() {
  WINEPREFIX=$1
  WINEARCH=win64
  WINEDEBUG=-all
  WINEDLLOVERRIDES="mscoree=;mshtml="
  export WINEPREFIX WINEARCH WINEDEBUG WINEDLLOVERRIDES
}

kezurin_wine_prefix_ready() {
  [ "$(cat "$WINEPREFIX/.kezurin-ready" 2>/dev/null)" = "$KEZURIN_PREFIX_VERSION" ]
}

# Sets a registry value; the names are Japanese, so Wine reads its arguments
# as UTF-8 whatever the caller's locale.
kezurin_wine_registry_set() {
  LC_ALL=C.UTF-8 wine reg add "$1" /v "$2" /t "$3" /d "$4" /f </dev/null >/dev/null 2>&1
}

# Japanese glyphs under every locale, from the IPA fonts: the window font by
# its Japanese name, and behind the fonts Wine draws captions, the status bar,
# tooltips and message boxes with, which have none of their own.
kezurin_wine_fonts() {
  replacements='HKCU\Software\Wine\Fonts\Replacements'
  kezurin_wine_registry_set "$replacements" 'ＭＳ Ｐゴシック' REG_SZ IPAPGothic
  kezurin_wine_registry_set "$replacements" 'ＭＳ ゴシック' REG_SZ IPAGothic
  links='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  for face in Tahoma 'Microsoft Sans Serif' 'MS Sans Serif' 'MS Shell Dlg' 'MS Shell Dlg 2' 'Segoe UI'; do
    kezurin_wine_registry_set "$links" "$face" REG_MULTI_SZ 'ipagp.ttf,IPAPGothic'
  done
}

# Creates the prefix on first use and brings an older one up to date.
kezurin_prepare_wine_prefix() {
  if ! kezurin_wine_prefix_ready; then
    mkdir -p "$WINEPREFIX"
    [ -f "$WINEPREFIX/system.reg" ] || wine wineboot --init </dev/null >/dev/null 2>&1
    kezurin_wine_fonts
    printf '%s' "$KEZURIN_PREFIX_VERSION" >"$WINEPREFIX/.kezurin-ready"
  fi
  # Debian's Wine does not find fonts-wine's Marlett by itself; without it the
  # frames Wine draws show "0 1 r" instead of the caption buttons.
  fonts=$WINEPREFIX/drive_c/windows/Fonts
  if [ ! -f "$fonts/marlett.ttf" ] && [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    mkdir -p "$fonts"
    cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
  fi
}
