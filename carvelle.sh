#!/usr/bin/env bash
# Sets up what Carvelle needs on Debian 12, builds it, and starts it, runs the tests or packages it.
#   ./carvelle.sh start      install what building and running need, build, start Carvelle
#   ./carvelle.sh test       install that and the test packages, build, run every test
#   ./carvelle.sh package    install what building needs, build, make the .deb packages
#   ./carvelle.sh packages [start|test|package]   list the Debian packages that command needs
set -euo pipefail
cd "$(dirname "$0")"

# Building and running. Qt Charts' CMake package needs Qt's OpenGL one, which Debian ships apart.
BUILD_PACKAGES=(build-essential cmake ninja-build pkg-config libsqlite3-dev qt6-base-dev qt6-svg-dev
                libqt6svg6 qt6-charts-dev libqt6opengl6-dev libgl-dev fonts-dejavu-core)
TEST_PACKAGES=(googletest libgtest-dev libgmock-dev libbenchmark-dev)
# CPack asks "file" which installed files are programs, for the dependencies it computes.
PACKAGE_PACKAGES=(file)
BUILD_DIR=${CARVELLE_BUILD_DIR:-build}

packages_for() {
    case "$1" in
    start) echo "${BUILD_PACKAGES[@]}" ;;
    test) echo "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" ;;
    package) echo "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}" ;;
    *) return 1 ;;
    esac
}

install_missing() {
    local missing=()
    for p in $(packages_for "$1"); do
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

# Without the test packages only the program is built.
without_tests=(-DCARVELLE_BUILD_TESTS=OFF -DCARVELLE_BUILD_BENCH=OFF)

case "${1:-}" in
start)
    install_missing start
    build "${without_tests[@]}"
    exec "$BUILD_DIR/bin/carvelle"
    ;;
packages)
    packages_for "${2:-test}" || { echo "usage: $0 packages [start|test|package]" >&2; exit 2; }
    ;;
test)
    install_missing test
    build -DCARVELLE_BUILD_TESTS=ON -DCARVELLE_BUILD_BENCH=ON
    ctest --test-dir "$BUILD_DIR" --output-on-failure
    ;;
package)
    install_missing package
    build "${without_tests[@]}"
    (cd "$BUILD_DIR" && cpack -G DEB)
    ls -l "$BUILD_DIR"/*.deb
    ;;
*)
    echo "usage: $0 start|test|package|packages" >&2
    exit 2
    ;;
esac
