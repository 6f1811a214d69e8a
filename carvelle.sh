#!/usr/bin/env bash
# Sets up what Carvelle needs on Debian 12, builds it, and starts it or runs the tests.
#   ./carvelle.sh start   install what is missing, build, start Carvelle
#   ./carvelle.sh test    install what is missing, build, run every test
#   ./carvelle.sh packages   list the Debian packages it needs
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(build-essential cmake ninja-build pkg-config libsqlite3-dev googletest libgtest-dev libgmock-dev
          libbenchmark-dev qt6-base-dev qt6-svg-dev libqt6svg6 libgl-dev fonts-dejavu-core clang-14 libclang-rt-14-dev llvm-14)
BUILD_DIR=${CARVELLE_BUILD_DIR:-build}

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

build() {
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$BUILD_DIR"
}

case "${1:-}" in
start)
    install_missing
    build
    exec "$BUILD_DIR/bin/carvelle"
    ;;
packages)
    echo "${PACKAGES[@]}"
    ;;
test)
    install_missing
    build
    ctest --test-dir "$BUILD_DIR" --output-on-failure
    ;;
*)
    echo "usage: $0 start|test|packages" >&2
    exit 2
    ;;
esac
