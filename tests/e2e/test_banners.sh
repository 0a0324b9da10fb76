#!/usr/bin/env bash
# The real program under Xvfb with its banner pictures on a local web server: both
# pictures show in the strip at start and clicks hand their links to the desktop's opener;
# with the server gone the next start shows the cached pictures; with no settings file and
# no caches both banners show the notice and link to the maker's home page.
set -euo pipefail
TOVEX_BIN=${1:?path of the built tovex}
HOME_PAGE=${TOVEX_HOME_PAGE:?the home page that the program was built with}
SETTINGS_TOOL="$(dirname "$TOVEX_BIN")/tovex-settings"
source "$(dirname "$0")/lib.sh"
e2e_init
command -v python3 >/dev/null || e2e_fail "python3 is missing"
e2e_start_xvfb
e2e_stub_opener

# The pictures: img1 (256 x 47) red, img2 (300 x 47) blue.
site="$E2E_TMP/site"
mkdir -p "$site"
convert -size 256x47 xc:'#ff0000' "BMP3:$site/left.bmp"
convert -size 300x47 xc:'#0000ff' -quality 95 "$site/right.JPG"
(cd "$site" && exec python3 -u -m http.server 0 --bind 127.0.0.1 >"$E2E_TMP/server.log" 2>&1) &
server_pid=$!
E2E_PIDS+=("$server_pid")
port=""
for i in $(seq 1 100); do
    port=$(sed -n 's/.* port \([0-9]*\).*/\1/p' "$E2E_TMP/server.log" | head -n1)
    [ -n "$port" ] && break
    sleep 0.1
done
[ -n "$port" ] || e2e_fail "the web server did not start: $(cat "$E2E_TMP/server.log")"

program_dir="$E2E_TMP/prog"
e2e_copy_program "$program_dir"
settings="$program_dir/SetConfig.ini"
"$SETTINGS_TOOL" write "$settings" tovexpath fname1 "http://127.0.0.1:$port/left.bmp"
"$SETTINGS_TOOL" write "$settings" tovexlink fname1 "http://www.maker.example/left"
"$SETTINGS_TOOL" write "$settings" tovexpath fname2 "http://127.0.0.1:$port/right.JPG"
"$SETTINGS_TOOL" write "$settings" tovexlink fname2 "https://shop.example/right?item=1"

# img1 lies at 1,53 (256 x 47) of the client area, img2 at 257,53 (300 x 47).
check_strip() {
    local expect1=$1 expect2=$2 shot="$E2E_TMP/$3.png" p1 p2
    e2e_client_origin "$window"
    e2e_screenshot "$shot"
    p1=$(e2e_pixel "$shot" $((E2E_CLIENT_X + 200)) $((E2E_CLIENT_Y + 90)))
    p2=$(e2e_pixel "$shot" $((E2E_CLIENT_X + 500)) $((E2E_CLIENT_Y + 90)))
    [[ "$p1" =~ $expect1 ]] || e2e_fail "$3: img1 shows $p1, expected $expect1"
    [[ "$p2" =~ $expect2 ]] || e2e_fail "$3: img2 shows $p2, expected $expect2"
}
red='^2[4-5][0-9],[0-9]?[0-9],[0-9]?[0-9]$'
blue='^[0-9]?[0-9],[0-9]?[0-9],2[4-5][0-9]$'
white='^255,255,255$'

# 1. Both pictures are downloaded and shown; a click on each opens its link.
e2e_start_program "$program_dir"
window=$(e2e_wait_window "青禾长微博单机版V1.10")
sleep 0.5
check_strip "$red" "$blue" served
[ -n "${E2E_SCREENSHOT:-}" ] && e2e_screenshot "$E2E_SCREENSHOT"
[ -f "$program_dir/fname1.bmp" ] && [ -f "$program_dir/fname2.JPG" ] ||
    e2e_fail "the cache files are missing: $(ls "$program_dir")"
e2e_click_client "$window" 100 70
e2e_click_client "$window" 400 70
e2e_wait_lines "$E2E_OPENED" 2
diff <(printf '%s\n' "http://www.maker.example/left" "https://shop.example/right?item=1") \
    "$E2E_OPENED" >&2 || e2e_fail "the opener got other links"
e2e_stop_program

# 2. Without the server the next start shows the cached pictures with the same links.
kill "$server_pid"
wait "$server_pid" 2>/dev/null || true
: >"$E2E_OPENED"
e2e_start_program "$program_dir"
window=$(e2e_wait_window "青禾长微博单机版V1.10")
sleep 0.5
check_strip "$red" "$blue" cached
e2e_click_client "$window" 100 70
e2e_wait_lines "$E2E_OPENED" 1
[ "$(cat "$E2E_OPENED")" = "http://www.maker.example/left" ] || e2e_fail "cached img1 opened $(cat "$E2E_OPENED")"
e2e_stop_program

# 3. No settings file and no caches: two notices, both linking to the home page.
rm "$settings" "$program_dir/fname1.bmp" "$program_dir/fname2.JPG"
: >"$E2E_OPENED"
e2e_start_program "$program_dir"
window=$(e2e_wait_window "青禾长微博单机版V1.10")
sleep 0.5
check_strip "$white" "$white" notices
[ -n "${E2E_SCREENSHOT_NOTICES:-}" ] && e2e_screenshot "$E2E_SCREENSHOT_NOTICES"
e2e_click_client "$window" 100 70
e2e_click_client "$window" 400 70
e2e_wait_lines "$E2E_OPENED" 2
diff <(printf '%s\n' "$HOME_PAGE" "$HOME_PAGE") "$E2E_OPENED" >&2 ||
    e2e_fail "the notices opened other links"
echo "PASS"
