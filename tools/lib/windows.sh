# shellcheck shell=bash
# The Windows build (MinGW-w64) and its tests under Wine on a private Xvfb display.

run_windows_tests() {
  :
}
