#!/usr/bin/env bash
# The real program under Xvfb, copied alone into a fresh program folder: its window with
# the caption appears centred with the designed size, and Pic is made beside it.
set -euo pipefail
TOVEX_BIN=${1:?path of the built tovex}
source "$(dirname "$0")/lib.sh"
e2e_init
e2e_start_xvfb

program_dir="$E2E_TMP/prog dir"
e2e_copy_program "$program_dir"
e2e_start_program "$program_dir"
window=$(e2e_wait_window "青禾长微博单机版V1.10")
sleep 0.5

info=$(xwininfo -id "$window")
width=$(awk '/^  Width:/ {print $2}' <<<"$info")
height=$(awk '/^  Height:/ {print $2}' <<<"$info")
left=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$info")
top=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$info")
# Client area 558 x 588 inside a 4-pixel border and below a 26-pixel caption bar.
[ "$width" = 566 ] || e2e_fail "window width $width, expected 566"
[ "$height" = 622 ] || e2e_fail "window height $height, expected 622"
# Centred on the 1280 x 1024 screen: 640 - 283, 512 - 311.
[ "$left" = 357 ] || e2e_fail "window left $left, expected 357"
[ "$top" = 201 ] || e2e_fail "window top $top, expected 201"
[ -d "$program_dir/Pic" ] || e2e_fail "Pic was not made in the program folder"

[ -n "${E2E_SCREENSHOT:-}" ] && e2e_screenshot "$E2E_SCREENSHOT"

# Alt+F4 closes the window at once and ends the program.
xdotool windowfocus --sync "$window" key --clearmodifiers alt+F4
e2e_wait_exit
echo "PASS"
