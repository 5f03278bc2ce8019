#!/usr/bin/env bash
# The project's front door. Each command installs what it needs (Debian
# packages, as root) before it builds.
#   ./zefirnik.sh demo [ARGS...]  run the host simulator on the sample warehouse
#   ./zefirnik.sh test            build everything and run every test
#   ./zefirnik.sh bench           Ctrl+9 over a generated warehouse, measured
#   ./zefirnik.sh dist            Zefirnik.dll and its Polish note in one archive
#   ./zefirnik.sh build           build only
set -euo pipefail
cd "$(dirname "$0")"
BUILD_DIR=${BUILD_DIR:-build}

packages=(g++-mingw-w64-i686 g++-multilib qemu-user-static cmake make googletest zip)

setup() {
  local missing=()
  for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return
  echo "Installing: ${missing[*]}" >&2
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages; run as root or install them: ${missing[*]}" >&2
    exit 1
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

build() {
  setup
  cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$BUILD_DIR" -j "$(nproc)" >/dev/null
}

command=${1:-}
[ $# -gt 0 ] && shift
case "$command" in
  build) build ;;
  test)
    build
    ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" "$@"
    ;;
  demo)
    build
    # Unattended (no terminal to ask on, no arguments): the question is answered yes.
    [ $# -eq 0 ] && [ ! -t 0 ] && set -- --yes
    exec "$BUILD_DIR/run-i386" "$BUILD_DIR/tools/zalmir-sim" "$@"
    ;;
  bench)
    build
    exec "$BUILD_DIR/run-i386" "$BUILD_DIR/tools/zalmir-sim" --bench "$@"
    ;;
  dist)
    build
    cmake --build "$BUILD_DIR" --target dist >/dev/null
    ls -l "$BUILD_DIR"/dist/*.zip
    ;;
  *)
    sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
