# Shared helpers for the end-to-end tests: source it from a test script.
#   e2e_init               temporary folder $E2E_TMP, clean-up trap, skip (exit 77) without Xvfb
#   e2e_start_xvfb         starts Xvfb on a free display and exports DISPLAY
#                          (needs xdpyinfo, from x11-utils)
#   e2e_copy_program DIR   copies the built tovex into DIR (a program folder of its own)
#   e2e_start_program DIR  starts DIR/tovex in DIR; its pid in $E2E_PROGRAM_PID
#   e2e_wait_window NAME   waits for a visible window titled NAME; prints its id
#   e2e_screenshot FILE    writes an 8-bit PNG of the whole screen
#   e2e_pixel PNG X Y      prints the colour at X,Y of a screenshot as "R,G,B"
#   e2e_client_origin WIN  sets E2E_CLIENT_X, E2E_CLIENT_Y: the screen point of the client
#                          area's corner (inside the 4-pixel border, below the caption bar)
#   e2e_click_client WIN X Y   left click at client point X,Y of the window
#   e2e_stub_opener        puts an xdg-open on PATH that appends its argument to $E2E_OPENED
#   e2e_wait_lines FILE N  waits until FILE has N lines
#   e2e_wait_exit          waits up to 10 s for the program to end; fails when it does not
#   e2e_stop_program       ends the program and waits for it
#   e2e_fail MESSAGE       prints the message and exits 1
# Background processes started here are ended by the trap, by their own pid.

E2E_SKIP=77
E2E_PIDS=()

e2e_fail() {
    echo "FAIL: $*" >&2
    if [ -s "${E2E_TMP:-/nonexistent}/program.log" ]; then
        echo "--- program output:" >&2
        cat "$E2E_TMP/program.log" >&2
    fi
    exit 1
}

e2e_cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${E2E_PIDS[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    [ -n "${E2E_TMP:-}" ] && rm -rf "$E2E_TMP"
}

e2e_init() {
    if ! command -v Xvfb >/dev/null; then
        echo "SKIP: Xvfb is not installed"
        exit $E2E_SKIP
    fi
    for tool in xdotool xwininfo xdpyinfo import; do
        command -v "$tool" >/dev/null || e2e_fail "$tool is missing"
    done
    E2E_TMP=$(mktemp -d)
    trap e2e_cleanup EXIT
}

e2e_start_xvfb() {
    # Xvfb picks a free display itself and writes its number to the pipe: no race with
    # other tests that start a server at the same moment. -noreset: by default the server
    # resets whenever its last client leaves (xdpyinfo below, a program that was stopped),
    # and on a loaded machine a program that connects during the reset fails to start.
    local fifo="$E2E_TMP/displayfd"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_PIDS+=("$!")
    local n
    read -r -t 20 n <"$fifo" || e2e_fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 50); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    e2e_fail "Xvfb on $DISPLAY does not answer"
}

e2e_copy_program() {
    mkdir -p "$1"
    cp "$TOVEX_BIN" "$1/tovex"
}

e2e_start_program() {
    (cd "$1" && exec env -u QT_QPA_PLATFORM ./tovex >"$E2E_TMP/program.log" 2>&1) &
    E2E_PROGRAM_PID=$!
    E2E_PIDS+=("$E2E_PROGRAM_PID")
}

e2e_wait_window() {
    local i id
    for i in $(seq 1 200); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    e2e_fail "no window named '$1' appeared"
}

e2e_screenshot() {
    import -window root -depth 8 "$1"
}

e2e_pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

e2e_client_origin() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    E2E_CLIENT_X=$((X + 4))
    E2E_CLIENT_Y=$((Y + 4 + 26))
}

e2e_click_client() {
    e2e_client_origin "$1"
    xdotool mousemove $((E2E_CLIENT_X + $2)) $((E2E_CLIENT_Y + $3)) click 1
}

e2e_stub_opener() {
    local stub_dir="$E2E_TMP/stub"
    E2E_OPENED="$E2E_TMP/opened.txt"
    mkdir -p "$stub_dir"
    : >"$E2E_OPENED"
    cat >"$stub_dir/xdg-open" <<STUB
#!/bin/sh
printf '%s\\n' "\$@" >>"$E2E_OPENED"
STUB
    chmod +x "$stub_dir/xdg-open"
    export PATH="$stub_dir:$PATH"
}

e2e_wait_lines() {
    local i
    for i in $(seq 1 50); do
        [ "$(wc -l <"$1")" -ge "$2" ] && return 0
        sleep 0.1
    done
    e2e_fail "$1 has $(wc -l <"$1") lines, expected $2"
}

e2e_wait_exit() {
    local i
    for i in $(seq 1 100); do
        kill -0 "$E2E_PROGRAM_PID" 2>/dev/null || return 0
        sleep 0.1
    done
    e2e_fail "the program still runs"
}

e2e_stop_program() {
    kill "$E2E_PROGRAM_PID" 2>/dev/null || true
    wait "$E2E_PROGRAM_PID" 2>/dev/null || true
}
