#!/usr/bin/env bash
# The banners end to end on this machine, as a maker would set them up: builds tovex with
# its settings server on 127.0.0.1:PORT (build-demo), writes tovex.rar with tovex-settings
# for two banner pictures, serves the folder with python3's web server and starts tovex in
# a fresh program folder. Close the window to end the demo.
#   bash tools/banner-demo.sh [PORT]       (default 8765)
set -euo pipefail
cd "$(dirname "$0")/.."
PORT=${1:-8765}
BUILD_DIR=build-demo CMAKE_ARGS="-DTOVEX_SERVER_BASE=http://127.0.0.1:$PORT/ -DBUILD_TESTING=OFF" \
    bash tools/dev.sh build
BIN=build-demo/bin

WORK=$(mktemp -d)
server=""
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$WORK"' EXIT
mkdir -p "$WORK/site" "$WORK/program"
convert -size 256x47 gradient:'#e33-#822' "BMP3:$WORK/site/left.bmp"
convert -size 300x47 gradient:'#33e-#228' -quality 90 "$WORK/site/right.jpg"
settings=("$BIN/tovex-settings" write "$WORK/site/tovex.rar")
"${settings[@]}" tovexpath fname1 "http://127.0.0.1:$PORT/left.bmp"
"${settings[@]}" tovexlink fname1 "http://127.0.0.1:$PORT/left.bmp"
"${settings[@]}" tovexpath fname2 "http://127.0.0.1:$PORT/right.jpg"
"${settings[@]}" tovexlink fname2 "http://127.0.0.1:$PORT/right.jpg"

(cd "$WORK/site" && exec python3 -m http.server "$PORT" --bind 127.0.0.1) &
server=$!
sleep 1
cp "$BIN/tovex" "$WORK/program/tovex"
echo "program folder: $WORK/program (SetConfig.ini and the caches appear there)"
(cd "$WORK/program" && ./tovex)
