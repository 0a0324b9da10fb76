#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a given time:
#   bash fuzz/run.sh SECONDS [NAME...]     (default: 60 seconds, every target)
# The build goes to $BUILD_DIR (default build-fuzz). New inputs that libFuzzer finds go to
# $BUILD_DIR/corpus/NAME, findings to $BUILD_DIR/findings/; the committed seeds in
# fuzz/corpus/NAME are only read. A finding ends the run with a non-zero status.
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_EACH=${1:-60}
shift || true
BUILD_DIR=${BUILD_DIR:-build-fuzz}
JOBS=${JOBS:-2}

CC=clang-14 CXX=clang++-14 cmake -S . -B "$BUILD_DIR" -G Ninja -DTOVEX_FUZZ=ON \
    -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD_DIR" -j"$JOBS" --target fuzz-all

if [ $# -eq 0 ]; then
    set -- $(ls fuzz/corpus)
fi

# Qt keeps a few allocations for the life of the process; they are not leaks of ours.
# Leak detection stays on, with the suppressions of the sanitizer run (fontconfig's
# patterns, which the metafile targets' text reaches).
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tools/lsan.supp}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

status=0
for name in "$@"; do
    work="$BUILD_DIR/corpus/$name"
    findings="$BUILD_DIR/findings"
    mkdir -p "$work" "$findings"
    echo "== fuzz-$name for ${SECONDS_EACH}s"
    if ! "$BUILD_DIR/bin/fuzz-$name" "$work" "fuzz/corpus/$name" \
        -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
        -artifact_prefix="$findings/$name-" -print_final_stats=1 2>"$BUILD_DIR/fuzz-$name.log"; then
        echo "fuzz-$name: finding, see $BUILD_DIR/fuzz-$name.log and $findings/" >&2
        status=1
    fi
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$BUILD_DIR/fuzz-$name.log" || true
done
exit $status
