# shellcheck shell=sh
# The Wine prefix that ケズリン runs in, set up in one place: sourced by the
# kezurin launcher (installed as /usr/lib/kezurin/wine-prefix.sh) and by the
# project's tools for their throw-away prefix.

# What the prefix settings below are; a prefix made by an older set-up gets them anew.
KEZURIN_PREFIX_VERSION=3

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

# Glyphs of every script under every locale. The window font's Japanese names
# stand for the IPA fonts. Linked behind them, and behind the fonts Wine draws
# captions, the status bar, tooltips and message boxes with (which have none
# of their own), are the fonts for what the IPA fonts lack: WenQuanYi Micro
# Hei (Hangul, simplified Chinese, accented Greek, Ukrainian) and Symbola
# (emoji and other symbols, in one colour: Wine 8 draws nothing from colour
# bitmap fonts). A link is followed glyph by glyph.
kezurin_wine_fonts() {
  replacements='HKCU\Software\Wine\Fonts\Replacements'
  kezurin_wine_registry_set "$replacements" 'ＭＳ Ｐゴシック' REG_SZ IPAPGothic
  kezurin_wine_registry_set "$replacements" 'ＭＳ ゴシック' REG_SZ IPAGothic
  links='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  others='wqy-microhei.ttc,WenQuanYi Micro Hei\0Symbola_hint.ttf,Symbola'
  # Wine knows a font by its name in the locale's language where it has one.
  for face in IPAPGothic IPAGothic 'IPA Pゴシック' 'IPAゴシック'; do
    kezurin_wine_registry_set "$links" "$face" REG_MULTI_SZ "$others"
  done
  for face in Tahoma 'Microsoft Sans Serif' 'MS Sans Serif' 'MS Shell Dlg' 'MS Shell Dlg 2' 'Segoe UI'; do
    kezurin_wine_registry_set "$links" "$face" REG_MULTI_SZ "ipagp.ttf,IPAPGothic\0$others"
  done
  # The panes draw through Uniscribe, which gives a run of text whose font
  # lacks one of its glyphs to a whole other font, by the run's script: for
  # Latin (symbols such as ❤ among them), Greek, Cyrillic, Han and kana, one
  # a Windows has and this prefix has not. Naming none keeps the run on the
  # pane's font and its links. Characters beyond U+FFFF (emoji) are never
  # drawn through links: their run goes to Symbola.
  # The values are named by the script's tag read as a little-endian number
  # in hexadecimal: latn, grek, cyrl, hani, kana; 0 for those without a tag.
  fallback='HKCU\Software\Wine\Uniscribe\Fallback'
  for tag in 6e74616c 6b657267 6c727963 696e6168 616e616b; do
    kezurin_wine_registry_set "$fallback" "$tag" REG_SZ ''
  done
  kezurin_wine_registry_set "$fallback" 0 REG_SZ Symbola
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
