# Shared by the tools: package installation and the build folders.
# shellcheck shell=bash

KEZURIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# Every build folder is build/<preset>, as CMakePresets.json names them.
KEZURIN_BUILD=$KEZURIN_ROOT/build

say() { printf '== %s\n' "$*" >&2; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the Debian packages that are not installed yet (apt-get update only when needed).
ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  say "installing ${missing[*]}"
  as_root apt-get -o DPkg::Lock::Timeout=900 update -qq
  as_root env DEBIAN_FRONTEND=noninteractive \
    apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

ensure_native_toolchain() {
  ensure_packages g++ cmake make libgtest-dev googletest libbenchmark-dev time
}

# Configures the build folder of one preset of CMakePresets.json when it is new,
# or when the presets or the extra options changed since it was configured:
# configure_build PRESET [cmake options...]
configure_build() {
  local preset=$1
  shift
  local dir=$KEZURIN_BUILD/$preset
  local options
  options=$(sha256sum <"$KEZURIN_ROOT/CMakePresets.json" && printf '%s\n' "$@")
  if [ ! -f "$dir/CMakeCache.txt" ] || [ "$(cat "$dir/.kezurin-options" 2>/dev/null)" != "$options" ]; then
    cmake -S "$KEZURIN_ROOT" --preset "$preset" "$@" >/dev/null
    printf '%s' "$options" >"$dir/.kezurin-options"
  fi
}

# Configures (when needed) and builds one preset: cmake_build PRESET [cmake options...]
cmake_build() {
  configure_build "$@"
  # Build presets are read from the current folder.
  (cd "$KEZURIN_ROOT" && cmake --build --preset "$1" --parallel "$(nproc)" >&2)
}

ctest_in() {
  local dir=$KEZURIN_BUILD/$1
  shift
  ctest --test-dir "$dir" --output-on-failure "$@"
}
