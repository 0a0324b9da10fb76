#!/usr/bin/env bash
# The conversion benchmark: tovex-render on the largest accepted text, side by side with
# libjpeg-turbo's cjpeg on a bitmap of the same size (the encoder floor) and pango-view
# on the same text (the peer). Median of RUNS runs each; wall time and peak RSS.
#   bash bench/run.sh        (builds Release into build-bench if needed)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BENCH_BUILD_DIR:-build-bench}
RUNS=${RUNS:-5}
if [ ! -x "$BUILD/bin/tovex-render" ]; then
    cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build "$BUILD" -j2 --target tovex-render bench_length >/dev/null

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
python3 bench/make_text.py >"$WORK/text.txt"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$WORK"

# Runs "$@" RUNS times; prints "median_seconds its_kib". Wall time from bash's clock in
# microseconds (time's own %e has only 10 ms steps, too coarse for cjpeg), peak RSS from time.
measure() {
    local i start end
    for ((i = 0; i < RUNS; i++)); do
        start=$EPOCHREALTIME
        /usr/bin/time -f "%M" -o "$WORK/t" "$@" >/dev/null 2>"$WORK/err" || {
            cat "$WORK/err" >&2
            exit 1
        }
        end=$EPOCHREALTIME
        awk -v a="$start" -v b="$end" -v k="$(cat "$WORK/t")" 'BEGIN {print b - a, k}'
    done | sort -n | awk '{t[NR]=$1; m[NR]=$2} END {n=int((NR+1)/2); print t[n], m[n]}'
}

"$BUILD/bin/tovex-render" "$WORK/text.txt" -o "$WORK/text.jpg" 2>/dev/null
# The picture itself as a PPM, for the encoder floor on the same pixels.
djpeg -pnm -outfile "$WORK/picture.ppm" "$WORK/text.jpg"
read -r W H < <(head -c 64 "$WORK/picture.ppm" | awk 'NR == 2 {print $1, $2}')
read -r t_render m_render < <(measure "$BUILD/bin/tovex-render" "$WORK/text.txt" -o "$WORK/out.jpg")
read -r t_cjpeg m_cjpeg < <(measure cjpeg -quality 75 -baseline -dct float -outfile "$WORK/floor.jpg" "$WORK/picture.ppm")
read -r t_pango m_pango < <(measure pango-view --font="WenQuanYi Micro Hei 14px" --width=537 \
    --wrap=word-char --pixels --margin=0 -q -o "$WORK/pango.png" "$WORK/text.txt")

echo "picture: ${W} x ${H} px from $(wc -c <"$WORK/text.txt") bytes of UTF-8 (100000 ANSI bytes); median of $RUNS"
printf '%-12s %8s %10s\n' program seconds "peak MiB"
for p in render:tovex-render cjpeg:cjpeg pango:pango-view; do
    k=${p%%:*}
    t=t_$k m=m_$k
    printf '%-12s %8.3f %10.1f\n' "${p#*:}" "${!t}" "$(awk -v k="${!m}" 'BEGIN {print k / 1024}')"
done
awk -v r="$t_render" -v c="$t_cjpeg" -v p="$t_pango" -v m="$m_render" 'BEGIN {
    printf "tovex-render / cjpeg floor: %.2f x (target <= 2.5)\n", r / c
    printf "pango-view / tovex-render:  %.2f x (target >= 5)\n", p / r
    printf "tovex-render peak memory:   %.1f MiB (target <= 64)\n", m / 1024 }'
"$BUILD/bin/bench_length" "$WORK/text.txt"
