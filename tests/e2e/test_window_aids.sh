#!/usr/bin/env bash
# The real program under Xvfb: "打开目录" hands the Pic folder to the desktop's opener
# (a stub xdg-open that records its argument), a file named Pic in the way does not stop
# the window, dragging the caption bar moves it, and a double-click on the system-menu
# button closes it.
set -euo pipefail
TOVEX_BIN=${1:?path of the built tovex}
source "$(dirname "$0")/lib.sh"
e2e_init
e2e_start_xvfb

e2e_stub_opener

# 1. A file named Pic in the program folder: the window opens all the same.
program_dir="$E2E_TMP/prog"
e2e_copy_program "$program_dir"
echo "not a folder" >"$program_dir/Pic"
e2e_start_program "$program_dir"
window=$(e2e_wait_window "青禾长微博单机版V1.10")
[ -f "$program_dir/Pic" ] || e2e_fail "the file named Pic was replaced"
e2e_stop_program

# 2. "打开目录" (client 173,504, 75 x 25) opens the Pic folder, no message of ours.
rm "$program_dir/Pic"
e2e_start_program "$program_dir"
window=$(e2e_wait_window "青禾长微博单机版V1.10")
sleep 0.3
e2e_click_client "$window" 210 516
e2e_wait_lines "$E2E_OPENED" 1
opened=$(head -n1 "$E2E_OPENED")
expected="file://$program_dir/Pic"
[ "$opened" = "$expected" ] || e2e_fail "opener got '$opened', expected '$expected'"
sleep 0.3
count=$(xdotool search --onlyvisible --pid "$E2E_PROGRAM_PID" 2>/dev/null | wc -l)
[ "$count" = 1 ] || e2e_fail "$count visible windows after 打开目录, expected the main window alone"

# 3. Dragging the caption bar moves the window (no window manager here: the frame's own move).
eval "$(xdotool getwindowgeometry --shell "$window")"
start_x=$X
start_y=$Y
xdotool mousemove $((X + 200)) $((Y + 15)) mousedown 1
sleep 0.2
xdotool mousemove $((X + 260)) $((Y + 55))
sleep 0.2
xdotool mousemove $((X + 300)) $((Y + 95)) mouseup 1
sleep 0.3
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$X" = $((start_x + 100)) ] && [ "$Y" = $((start_y + 80)) ] ||
    e2e_fail "window at $X,$Y after the drag, expected $((start_x + 100)),$((start_y + 80))"

# 4. A double-click on the system-menu button (caption bar, left end) closes at once.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 4 + 13)) $((Y + 4 + 13)) click --repeat 2 --delay 80 1
e2e_wait_exit
echo "PASS"
