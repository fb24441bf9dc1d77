# shellcheck shell=bash
# The native (Linux) build: engine and command-line tests.

run_native_tests() {
  ensure_native_toolchain
  say "native build and tests"
  cmake_build native
  ctest_in native
}
