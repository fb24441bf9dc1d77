# shellcheck shell=bash
# The Windows build (MinGW-w64) and its tests under Wine on a private Xvfb display.

KEZURIN_WINDOWS_BUILD=$KEZURIN_BUILD/windows
# Throw-away Wine prefix: created on first use, deleted with the build folder.
KEZURIN_WINEPREFIX=$KEZURIN_WINDOWS_BUILD/wineprefix

# The fonts are those of packaging/wine-prefix.sh.
ensure_windows_toolchain() {
  ensure_packages cmake make g++-mingw-w64-x86-64 googletest wine wine64 xvfb xauth \
    fonts-ipafont-gothic fonts-wqy-microhei fonts-symbola fonts-wine locales
}

# Wine's ANSI code page follows the locale: ja_JP.UTF-8 gives code page 932,
# en_US.UTF-8 gives 1252. The window tests run under both.
ensure_locale() {
  locale -a 2>/dev/null | grep -qix "${1%%.*}\.utf-\?8" && return 0
  say "generating the $1 locale"
  as_root localedef -i "${1%%.*}" -f UTF-8 "$1"
}

ensure_test_locales() {
  ensure_locale ja_JP.UTF-8
  ensure_locale en_US.UTF-8
}

build_windows() {
  ensure_windows_toolchain
  ensure_test_locales
  say "Windows build (MinGW-w64)"
  cmake_build windows
}

# Starts a private Xvfb on a free display and exports DISPLAY.
start_private_display() {
  local fd_file
  fd_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
  KEZURIN_XVFB_PID=$!
  local tries=0
  while [ ! -s "$fd_file" ]; do
    if ! kill -0 "$KEZURIN_XVFB_PID" 2>/dev/null || [ $((tries += 1)) -gt 100 ]; then
      rm -f "$fd_file"
      say "Xvfb did not start"
      return 1
    fi
    sleep 0.1
  done
  DISPLAY=":$(head -n1 "$fd_file")"
  export DISPLAY
  rm -f "$fd_file"
}

stop_private_display() {
  if [ -n "${KEZURIN_XVFB_PID:-}" ]; then
    kill "$KEZURIN_XVFB_PID" 2>/dev/null || true
    wait "$KEZURIN_XVFB_PID" 2>/dev/null || true
    KEZURIN_XVFB_PID=
  fi
}

# The prefix set-up the kezurin launcher uses too.
# shellcheck source=../../packaging/wine-prefix.sh
source "$KEZURIN_ROOT/packaging/wine-prefix.sh"

# Exports the Wine environment of the throw-away prefix. The locale is the
# caller's unless one is named: use_wine_environment [LOCALE].
use_wine_environment() {
  kezurin_wine_environment "$KEZURIN_WINEPREFIX"
  if [ -n "${1:-}" ]; then export LANG=$1 LC_ALL=$1; fi
}

wine_registry_set() {
  kezurin_wine_registry_set "$1" "$2" REG_SZ "$3"
}

# Creates the prefix (once) and keeps one wineserver for all the programs that
# follow: start_wine [LOCALE].
start_wine() {
  use_wine_environment "${1:-}"
  mkdir -p "$WINEPREFIX"
  # The server and Wine's own services outlive the programs: keep them off our
  # output, or whoever reads it waits for them.
  wineserver -p </dev/null >/dev/null 2>&1
  if kezurin_wine_prefix_ready; then
    wine wineboot </dev/null >/dev/null 2>&1
  else
    say "preparing the Wine prefix $WINEPREFIX"
  fi
  kezurin_prepare_wine_prefix
}

# Without a window manager, Wine draws the window frames itself.
use_wine_window_frames() {
  wine_registry_set 'HKCU\Software\Wine\X11 Driver' Managed N
}

stop_wine() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  fi
}

run_windows_tests() (
  build_windows
  trap 'stop_wine; stop_private_display' EXIT
  start_private_display
  # Code page 932 by default; tests that need another locale name it themselves.
  start_wine ja_JP.UTF-8
  use_wine_window_frames
  say "Windows tests under Wine on display $DISPLAY"
  # On a prefix made moments before, Wine now and then ends a program it is
  # starting before the program's first line, with no output (seen in clean
  # clones: two of 258 tests, passing on their own). Such a test gets one more
  # start; a test that fails in its own code fails both times.
  ctest_in windows --parallel "$(nproc)" --repeat until-pass:2
)

# Waits until a window whose name contains $1 is on the display: wait_for_window
# NAME [TENTHS OF A SECOND] (20 s when not told).
wait_for_window() {
  local _
  for _ in $(seq 1 "${2:-200}"); do
    # Window names are UTF-8: read them in a locale that can show them.
    LC_ALL=C.UTF-8 xwininfo -root -tree 2>/dev/null | grep -q "$1" && return 0
    sleep 0.1
  done
  say "no window named $1 appeared"
  return 1
}

# Saves the whole display to $1 once two pictures in a row are the same, so the
# window is fully drawn (about 10 s at most).
take_settled_screenshot() {
  local previous='' current _
  for _ in $(seq 1 40); do
    import -window root "$1"
    current=$(convert "$1" rgb:- | md5sum)
    [ "$current" = "$previous" ] && return 0
    previous=$current
    sleep 0.25
  done
}
