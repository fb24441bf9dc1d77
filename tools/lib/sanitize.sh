# shellcheck shell=bash
# The native tests again under AddressSanitizer and UndefinedBehaviorSanitizer,
# and the fuzz targets (libFuzzer, clang) replaying their corpus and every saved
# reproducer of an earlier fault.

KEZURIN_FUZZ_SOURCES=$KEZURIN_ROOT/tests/fuzz

# Any report ends the process with a failure; leaks count as faults too.
export_sanitizer_options() {
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
}

# The fuzz targets: tests/fuzz/<name>_fuzz.cpp builds fuzz_<name>. Its inputs:
# seeds/<name> written by hand, corpus/<name> kept by tools/fuzz, and
# crashes/<name>, the inputs of faults found earlier.
fuzz_target_names() {
  local source
  for source in "$KEZURIN_FUZZ_SOURCES"/*_fuzz.cpp; do
    basename "$source" _fuzz.cpp
  done
}

ensure_fuzz_toolchain() {
  # libclang-rt-dev brings libclang_rt.fuzzer and clang's sanitizer runtimes.
  ensure_packages clang libclang-rt-dev cmake make
}

build_fuzz_targets() {
  ensure_fuzz_toolchain
  say "fuzz targets (clang, libFuzzer)"
  cmake_build fuzz
}

# Runs every saved input once through its target, in a fixed order.
replay_fuzz_inputs() {
  local name folder
  for name in $(fuzz_target_names); do
    local inputs=()
    for folder in seeds corpus crashes; do
      [ -d "$KEZURIN_FUZZ_SOURCES/$folder/$name" ] || continue
      while IFS= read -r -d '' input; do inputs+=("$input"); done < <(
        find "$KEZURIN_FUZZ_SOURCES/$folder/$name" -type f ! -name '.*' -print0 | sort -z)
    done
    say "replaying ${#inputs[@]} saved inputs of fuzz_$name"
    [ ${#inputs[@]} -eq 0 ] && continue
    "$KEZURIN_BUILD/fuzz/tests/fuzz/fuzz_$name" -runs=1 "${inputs[@]}" >/dev/null 2>"$KEZURIN_BUILD/fuzz/$name.log" || {
      tail -n 60 "$KEZURIN_BUILD/fuzz/$name.log" >&2
      return 1
    }
  done
}

run_sanitizer_tests() {
  export_sanitizer_options
  ensure_native_toolchain
  say "native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
  cmake_build sanitize
  ctest_in sanitize --parallel "$(nproc)"
}

run_fuzz_replay() {
  export_sanitizer_options
  build_fuzz_targets
  replay_fuzz_inputs
}
