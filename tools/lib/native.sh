# shellcheck shell=bash
# The native (Linux) build: engine and command-line tests.

run_native_tests() {
  ensure_native_toolchain
  say "native build and tests"
  cmake_build native -DCMAKE_BUILD_TYPE=Release
  ctest_in native
}
