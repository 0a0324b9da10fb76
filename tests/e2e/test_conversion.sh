#!/usr/bin/env bash
# The real program under Xvfb in a fresh program folder: a Chinese text pasted into the
# text box, "开始转换" pressed, the message box confirmed, and both files in Pic.
set -euo pipefail
TOVEX_BIN=${1:?path of the built tovex}
source "$(dirname "$0")/lib.sh"
e2e_init
command -v xclip >/dev/null || e2e_fail "xclip is missing"
e2e_start_xvfb

program_dir="$E2E_TMP/程序 folder"
e2e_copy_program "$program_dir"
e2e_start_program "$program_dir"
window=$(e2e_wait_window "青禾长微博单机版V1.10")
sleep 0.5

e2e_client_origin "$window"
client_x=$E2E_CLIENT_X
client_y=$E2E_CLIENT_Y

text=$'长微博转换测试：第一行。\n第二行，含标点！\n最后一行没有换行'
printf '%s' "$text" | xclip -selection clipboard -quiet >/dev/null 2>&1 &
E2E_PIDS+=($!)
# xclip serves the clipboard once it has taken it; on a loaded machine that takes a while.
for i in $(seq 1 100); do
    [ "$(xclip -selection clipboard -o 2>/dev/null)" = "$text" ] && break
    sleep 0.1
done

# Memo1 lies at 0,101 (558 x 345) in the client area; BitBtn1 at 38,504 (75 x 25).
xdotool mousemove $((client_x + 200)) $((client_y + 200)) click 1
xdotool key --clearmodifiers ctrl+v
sleep 0.5
xdotool mousemove $((client_x + 38 + 37)) $((client_y + 504 + 12)) click 1

box=$(e2e_wait_window "Tovex")
[ -n "${E2E_SCREENSHOT:-}" ] && e2e_screenshot "$E2E_SCREENSHOT"
xdotool windowfocus --sync "$box" key Return
for i in $(seq 1 50); do
    xdotool search --onlyvisible --name '^Tovex$' >/dev/null 2>&1 || break
    sleep 0.1
done
xdotool search --onlyvisible --name '^Tovex$' >/dev/null 2>&1 && e2e_fail "the message box stayed open"
kill -0 "$E2E_PROGRAM_PID" 2>/dev/null || e2e_fail "the program ended"

shopt -s nullglob
pictures=("$program_dir"/Pic/*.jpg)
texts=("$program_dir"/Pic/*.txt)
[ ${#pictures[@]} = 1 ] || e2e_fail "expected one picture, found ${#pictures[@]}"
[ ${#texts[@]} = 1 ] || e2e_fail "expected one text file, found ${#texts[@]}"
stamp=$(basename "${pictures[0]}" .jpg)
[[ $stamp =~ ^[0-9]{4}年[0-9]{2}月[0-9]{2}日[0-9]{2}时[0-9]{2}分[0-9]{2}秒$ ]] ||
    e2e_fail "picture name '$stamp' is not a stamp"
[ "$(basename "${texts[0]}")" = "$stamp.txt" ] || e2e_fail "text file ${texts[0]} does not match"

# The text file: the pasted text in GB18030 with CR LF, then the footer on new lines.
expected_start=$(printf '%s\r\n%s\r\n本图片由青禾长微博单机版生成！' "${text//$'\n'/$'\r\n'}" \
    "$(printf -- '-%.0s' $(seq 1 87))" | iconv -f UTF-8 -t GB18030 | od -An -tx1 | tr -d ' \n')
actual=$(od -An -tx1 "${texts[0]}" | tr -d ' \n')
[[ $actual == "$expected_start"* ]] || e2e_fail "text file does not start with the text and footer"
grep -qa $'\r\n'"$(printf '作者 QQ ' | iconv -f UTF-8 -t GB18030)"'[0-9]*$' "${texts[0]}" ||
    e2e_fail "text file does not end with the author line"

# Three lines of text and three footer lines at 17 pixels, plus 130: 537 x 232.
size=$(identify -format '%w x %h %m' "${pictures[0]}")
[ "$size" = "537 x 232 JPEG" ] || e2e_fail "picture is '$size', expected 537 x 232 JPEG"
[ -n "${E2E_PICTURE:-}" ] && cp "${pictures[0]}" "$E2E_PICTURE"
echo "PASS"
