#!/usr/bin/env bash
# One entry point for a Debian 12 machine:
#   tools/dev.sh run    install what is missing, build, start tovex
#   tools/dev.sh test   install what is missing, build, run every test
#   tools/dev.sh build  install what is missing, build
#   tools/dev.sh sanitize  every test, built with ASan + UBSan in build-asan
#   tools/dev.sh fuzz [SECONDS [NAME...]]  the libFuzzer targets with clang (fuzz/run.sh)
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=${BUILD_DIR:-build}
PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libjpeg62-turbo-dev libcurl4-openssl-dev
    fonts-wine fonts-wqy-microhei
    xvfb xdotool xclip x11-utils imagemagick xdg-utils
    libcpp-httplib-dev
    time libjpeg-turbo-progs pango1.0-tools python3
)

# Only for the fuzz targets.
FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)

install_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
    cmake -S . -B "$BUILD_DIR" -G Ninja ${CMAKE_ARGS:-}
    cmake --build "$BUILD_DIR" -j"$(nproc)"
}

case "${1:-}" in
    run)
        install_packages "${PACKAGES[@]}"
        build
        exec "$BUILD_DIR/bin/tovex"
        ;;
    test)
        install_packages "${PACKAGES[@]}"
        build
        ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)"
        ;;
    build)
        install_packages "${PACKAGES[@]}"
        build
        ;;
    sanitize)
        # Full stacks on malloc, so that tools/lsan.supp matches Qt's frames by name.
        install_packages "${PACKAGES[@]}"
        BUILD_DIR=${SANITIZE_BUILD_DIR:-build-asan}
        CMAKE_ARGS="${CMAKE_ARGS:-} -DTOVEX_SANITIZE=ON"
        build
        export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:fast_unwind_on_malloc=0:abort_on_error=1}
        export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tools/lsan.supp}
        export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
        ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)"
        ;;
    fuzz)
        shift
        install_packages "${PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
        exec bash fuzz/run.sh "$@"
        ;;
    *)
        echo "usage: $0 run|test|build|sanitize|fuzz" >&2
        exit 2
        ;;
esac
