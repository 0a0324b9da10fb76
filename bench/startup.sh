#!/usr/bin/env bash
# The start-up benchmark: time from starting tovex to its window being visible, with no
# network (a network namespace of its own, where unshare may make one) and a fresh program
# folder each run, so that no SetConfig.ini or banner cache exists yet. Median of RUNS.
#   bash bench/startup.sh     (builds Release into build-bench if needed; Xvfb, xdotool)
#   KEEP_NETWORK=1 bash bench/startup.sh   (the machine's network as it is)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BENCH_BUILD_DIR:-build-bench}
RUNS=${RUNS:-9}
if [ ! -f "$BUILD/build.ninja" ]; then
    cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build "$BUILD" -j2 --target tovex >/dev/null

# shellcheck disable=SC2034 # read by e2e_copy_program
TOVEX_BIN=$(realpath "$BUILD/bin/tovex")
# shellcheck source=tests/e2e/lib.sh
source tests/e2e/lib.sh
e2e_init
e2e_start_xvfb
export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# KEEP_NETWORK=1 starts it with the machine's network instead.
no_network=(unshare --map-root-user --net)
if [ -n "${KEEP_NETWORK:-}" ]; then
    no_network=()
elif ! "${no_network[@]}" true 2>/dev/null; then
    no_network=()
    echo "note: unshare cannot make a network namespace here; the network stays as it is" >&2
fi
title='^青禾长微博单机版V1.10$'

# Starts tovex once in a fresh folder; prints the seconds until its window is visible.
# Plain searches in a loop (a few ms each) rather than xdotool's --sync, which waits at
# its own, coarser pace.
one_start() {
    local dir="$E2E_TMP/run$1" start end pid
    e2e_copy_program "$dir"
    start=$EPOCHREALTIME
    (cd "$dir" && exec "${no_network[@]}" env -u QT_QPA_PLATFORM ./tovex >"$E2E_TMP/program.log" 2>&1) &
    pid=$!
    until xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do
        kill -0 "$pid" 2>/dev/null || e2e_fail "tovex ended before its window showed"
        if awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN {exit !(b - a > 30)}'; then
            kill "$pid"
            e2e_fail "no window after 30 s"
        fi
    done
    end=$EPOCHREALTIME
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    awk -v a="$start" -v b="$end" 'BEGIN {print b - a}'
}

times=()
for ((i = 0; i < RUNS; i++)); do
    times+=("$(one_start "$i")")
done
printf '%s\n' "${times[@]}" | sort -n | awk -v net="${#no_network[@]}" '
    {t[NR] = $1}
    END {
        printf "tovex start to visible window: %.3f s, median of %d (%.3f to %.3f)%s\n",
            t[int((NR + 1) / 2)], NR, t[1], t[NR], net ? ", no network" : ""
    }'
