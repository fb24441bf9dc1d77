# shellcheck shell=bash
# The native tests again under AddressSanitizer and UndefinedBehaviorSanitizer.

run_sanitizer_tests() {
  :
}
