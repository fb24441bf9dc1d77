# shellcheck shell=bash
# The release packages in dist/: the Windows zip and the Debian package, and their tests.

KEZURIN_DIST=$KEZURIN_ROOT/dist
KEZURIN_PACKAGE_BUILD=$KEZURIN_BUILD/package

ensure_package_tools() {
  ensure_packages cmake make g++ python3 file dpkg-dev fakeroot lintian zip unzip gzip
}

# Time of the last commit: the same sources give the same bytes.
export_source_date() {
  if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$KEZURIN_ROOT" log -1 --format=%ct 2>/dev/null || echo 0)
  fi
  export SOURCE_DATE_EPOCH
}

package_version() {
  sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$KEZURIN_PACKAGE_BUILD/CMakeCache.txt"
}

# A text file for Notepad on a Japanese Windows: code page 932, CR LF line ends.
windows_text() {
  sed "s/@VERSION@/$3/g" "$1" | iconv -f UTF-8 -t CP932 | sed 's/$/\r/' >"$2"
}

make_windows_zip() {
  local version=$1
  local folder=$KEZURIN_PACKAGE_BUILD/zip
  local zip=$KEZURIN_DIST/kezurin-$version-win64.zip
  rm -rf "$folder" && mkdir -p "$folder"
  cp "$KEZURIN_WINDOWS_BUILD/bin/kezurin.exe" "$KEZURIN_WINDOWS_BUILD/cli/kezurin-cli.exe" "$folder/"
  windows_text "$KEZURIN_ROOT/packaging/readme-ja.txt" "$folder/README.txt" "$version"
  windows_text "$KEZURIN_ROOT/LICENSE" "$folder/LICENSE.txt" "$version"
  local files=(kezurin.exe kezurin-cli.exe README.txt LICENSE.txt)
  (cd "$folder" && sha256sum "${files[@]}" | sed 's/$/\r/' >SHA256SUMS)
  files+=(SHA256SUMS)
  chmod 644 "$folder"/*
  touch -d "@$SOURCE_DATE_EPOCH" "$folder"/*
  rm -f "$zip"
  # Fixed order, times and modes; no extra fields with owners or local times.
  (cd "$folder" && TZ=UTC zip -X -D -9 -q "$zip" "${files[@]}")
  say "$zip"
}

make_debian_package() {
  local version=$1
  (cd "$KEZURIN_PACKAGE_BUILD" && cpack -G DEB >/dev/null)
  local deb=kezurin_${version}_amd64.deb
  mv "$KEZURIN_PACKAGE_BUILD/$deb" "$KEZURIN_DIST/$deb"
  say "$KEZURIN_DIST/$deb"
  say "lintian $deb"
  # Exits with a failure on errors only; warnings are shown.
  lintian --fail-on error --suppress-tags "${KEZURIN_LINTIAN_KEPT:-}" "$KEZURIN_DIST/$deb" >&2
}

# Builds both programs and writes the packages to dist/.
make_packages() {
  ensure_package_tools
  export_source_date
  build_windows
  say "native build for the Debian package"
  # The package preset takes kezurin.exe from the windows preset's folder.
  cmake_build package
  local version
  version=$(package_version)
  mkdir -p "$KEZURIN_DIST"
  make_windows_zip "$version"
  make_debian_package "$version"
}

# The sample every package test removes comments from, and what it must give.
KEZURIN_SAMPLE=$'int a; // 日本語のコメント\n/* ブロック */int b;\n'
KEZURIN_SAMPLE_RESULT=$'int a; \nint b;\n'

check_sample_result() {
  if [ "$1" != "$KEZURIN_SAMPLE_RESULT" ]; then
    say "$2 gave the wrong result:"
    printf '%s' "$1" | od -c | head >&2
    return 1
  fi
}

# The package's programs below `root` (/ once installed, or where it was
# unpacked): kezurin-cli on the sample, its version and its manual page.
test_debian_package_programs() {
  local version=$1 root=$2
  check_sample_result "$(printf '%s' "$KEZURIN_SAMPLE" | "$root/usr/bin/kezurin-cli"; echo .)" "kezurin-cli"
  "$root/usr/bin/kezurin-cli" --version | grep -qF "$version" || { say "kezurin-cli --version lacks $version"; return 1; }
  if [ "$root" != / ]; then
    gzip -t "$root/usr/share/man/man1/kezurin-cli.1.gz" "$root/usr/share/man/man1/kezurin.1.gz"
  elif grep -rqs 'path-exclude=/usr/share/man' /etc/dpkg/dpkg.cfg.d; then
    say "this system leaves manual pages out; looking in the package instead"
    dpkg-deb -c "$KEZURIN_DIST/kezurin_${version}_amd64.deb" | grep -q 'man1/kezurin-cli.1.gz'
  else
    ensure_packages man-db
    man -w kezurin-cli >/dev/null
  fi
}

# Starts the launcher `kezurin` on a private display, with a home of its own,
# and waits for the window.
test_launcher_shows_window() (
  local launcher=$1
  local home=$KEZURIN_PACKAGE_BUILD/home
  say "starting $launcher on a private display"
  rm -rf "$home" && mkdir -p "$home"
  trap stop_private_display EXIT
  start_private_display
  export XDG_DATA_HOME=$home
  "$launcher" >"$home/kezurin.log" 2>&1 &
  local started=$! status=0
  # The first start prepares the Wine prefix, which takes a while.
  wait_for_window 'ケズリン' 900 || status=1
  WINEPREFIX=$home/kezurin/wine wineserver -k 2>/dev/null || true
  wait "$started" || true
  [ $status -eq 0 ] || { cat "$home/kezurin.log" >&2; return 1; }
)

# Whether kezurin is on this system in any state dpkg knows of but "not installed".
kezurin_package_present() {
  local status
  status=$(dpkg-query -W -f='${db:Status-Status}' kezurin 2>/dev/null || true)
  [ -n "$status" ] && [ "$status" != not-installed ]
}

# Installing the package system-wide, and purging it again, would take a
# developer's own kezurin away: that is done only in CI or when the stage is
# asked for by name, and never where a kezurin package is present. It comes
# after the check of the unpacked package, which always runs.
may_install_package() {
  local named=$1
  if kezurin_package_present; then
    say "a kezurin package is installed here: it stays, and the new one is checked unpacked only"
    return 1
  fi
  [ -n "${CI:-}" ] || [ "$named" = named ] || {
    say "the Debian package is checked unpacked only (tools/test package, or CI, installs it too)"
    return 1
  }
}

test_installed_debian_package() {
  local version=$1
  say "installing the Debian package"
  as_root env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq "$KEZURIN_DIST/kezurin_${version}_amd64.deb" >/dev/null
  test_debian_package_programs "$version" /
  test_launcher_shows_window kezurin
  say "removing the Debian package"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq kezurin >/dev/null
  if kezurin_package_present || [ -e /usr/bin/kezurin-cli ]; then
    say "kezurin is still installed"
    return 1
  fi
}

# The package's files unpacked into the build folder and run from there: the
# launcher finds the window program and the prefix set-up beside itself, so
# this checks the package's own files whatever is installed on the system.
test_unpacked_debian_package() {
  local version=$1
  local root=$KEZURIN_PACKAGE_BUILD/unpacked
  rm -rf "$root" && mkdir -p "$root"
  dpkg-deb -x "$KEZURIN_DIST/kezurin_${version}_amd64.deb" "$root"
  test_debian_package_programs "$version" "$root"
  if grep -v '^[[:space:]]*#' "$root/usr/bin/kezurin" | grep -q '/usr/'; then
    say "the launcher names a system path: an unpacked package would run an installed one's files"
    return 1
  fi
  test_launcher_shows_window "$root/usr/bin/kezurin"
}

test_windows_zip() (
  local version=$1
  local folder=$KEZURIN_PACKAGE_BUILD/unzipped
  rm -rf "$folder" && mkdir -p "$folder"
  unzip -q "$KEZURIN_DIST/kezurin-$version-win64.zip" -d "$folder"
  (cd "$folder" && tr -d '\r' <SHA256SUMS | sha256sum --quiet -c)
  say "kezurin-cli.exe from the zip under Wine"
  trap stop_wine EXIT
  start_wine ja_JP.UTF-8
  check_sample_result "$(printf '%s' "$KEZURIN_SAMPLE" | wine "$folder/kezurin-cli.exe" 2>/dev/null; echo .)" \
    "kezurin-cli.exe"
)

# run_package_tests [named]: "named" when the stage was asked for by name.
run_package_tests() (
  make_packages
  local version
  version=$(package_version)
  KEZURIN_SAMPLE_RESULT+=.
  test_unpacked_debian_package "$version"
  if may_install_package "${1:-}"; then
    test_installed_debian_package "$version"
  fi
  test_windows_zip "$version"
)
