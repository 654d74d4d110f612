# Helpers for driving the window inside a nested weston (its x11 back end) in Xvfb, through real
# input. Source this file; needs: Xvfb weston xdotool (weston-debug comes with weston).
# All coordinates are X root coordinates == weston output coordinates, because
# the weston output window is the only X window and sits at +0+0 of a screen of
# exactly the same size.

WL_HARNESS_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
WL_OUT_W=${WL_OUT_W:-1024}
WL_OUT_H=${WL_OUT_H:-768}
# The X screen is larger than weston's output window so that the pointer can leave
# and re-enter it: weston's x11 back end moves its pointer by *relative* X motion
# and only takes the absolute position on EnterNotify (see wl_sync_pointer).
WL_X_W=$((WL_OUT_W + 64)) WL_X_H=$((WL_OUT_H + 64))

now_ms() { local t=${EPOCHREALTIME/./}; echo $((t / 1000)); }
# The checks' tally: ok and bad report one, summary NAME reports them all and ends the script.
passed=0 failed=0 start=$(now_ms)
ok() { passed=$((passed + 1)); echo "ok   $*"; }
bad() { failed=$((failed + 1)); echo "FAIL $*"; }
summary() {
  echo "$1: $passed passed, $failed failed in $((($(now_ms) - start) / 1000)) s"
  exit $((failed > 0))
}
# poll CMD... until it succeeds, every 50 ms, for at most $POLL_TIMEOUT seconds (default 10;
# generous because CI machines may be loaded: a run next to a compiler took 2 s per step)
poll() {
    local end=$(( $(now_ms) + ${POLL_TIMEOUT:-10} * 1000 ))
    until "$@"; do
        [ "$(now_ms)" -ge $end ] && return 1
        sleep 0.05
    done
}

wl_start() {   # starts Xvfb + weston; exports DISPLAY, XDG_RUNTIME_DIR, WAYLAND_DISPLAY
    WL_WORK=$(mktemp -d)
    XDG_RUNTIME_DIR=$(mktemp -d); chmod 700 "$XDG_RUNTIME_DIR"; export XDG_RUNTIME_DIR
    : >"$WL_WORK/display"
    Xvfb -displayfd 3 -screen 0 ${WL_X_W}x${WL_X_H}x24 -nolisten tcp \
        3>"$WL_WORK/display" >"$WL_WORK/xvfb.log" 2>&1 &
    WL_XVFB_PID=$!
    poll grep -q . "$WL_WORK/display" || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=:$(head -n1 "$WL_WORK/display")
    weston --backend=x11-backend.so --use-pixman --width=$WL_OUT_W --height=$WL_OUT_H \
        --socket=wl-test --config="$WL_HARNESS_DIR/weston.ini" --debug \
        --log="$WL_WORK/weston.log" >"$WL_WORK/weston.out" 2>&1 &
    WL_WESTON_PID=$!
    export WAYLAND_DISPLAY=wl-test
    # the socket appears before the shell is ready; wait for the desktop-shell
    # background surface, which is mapped once the shell client runs
    poll test -S "$XDG_RUNTIME_DIR/wl-test" || { echo "weston socket missing" >&2; return 1; }
    poll wl_scene_has "background for output" || { echo "weston shell not ready" >&2; return 1; }
}

wl_stop() {
    [ -n "${WL_SAVE:-}" ] && mkdir -p "$WL_SAVE" && cp -r "$WL_WORK"/. "$WL_SAVE"/   # keep logs
    [ -n "${WL_APP_PID:-}" ] && kill "$WL_APP_PID" 2>/dev/null
    [ -n "${WL_WESTON_PID:-}" ] && kill "$WL_WESTON_PID" 2>/dev/null
    [ -n "${WL_WESTON_PID:-}" ] && wait "$WL_WESTON_PID" 2>/dev/null
    [ -n "${WL_XVFB_PID:-}" ] && kill "$WL_XVFB_PID" 2>/dev/null
    [ -n "${WL_XVFB_PID:-}" ] && wait "$WL_XVFB_PID" 2>/dev/null
    rm -rf "$XDG_RUNTIME_DIR"
}

wl_scene() { weston-debug scene-graph 2>/dev/null; }
wl_scene_has() { wl_scene | grep -qF "$1"; }

# wl_view WHICH -> "x y w h": geometry (title bar included) of the main window ("main", the
# toplevel of 320x325) or of the other toplevel titled OhmSift ("box"). Fails if it is not mapped.
wl_view() {
    wl_scene | awk -v which="$1" '
        /role xdg_toplevel/ && index($0, "top-level window '"'OhmSift'"' of") { f = 1; next }
        f && /position:/ {
            gsub(/[(),]/, " "); split($0, a, " "); w = a[5] - a[2]; h = a[6] - a[3]; f = 0
            if ((which == "main") == (w == 320 && h == 325)) { print a[2], a[3], w, h; found = 1; exit }
        }
        END { exit !found }'
}

wl_app_start() {   # wl_app_start CMD... (stdout -> $WL_WORK/app.out, protocol log -> app.err)
    WAYLAND_DEBUG=client QT_QPA_PLATFORM=${WL_QPA:-wayland} "$@" >"$WL_WORK/app.out" 2>"$WL_WORK/app.err" &
    WL_APP_PID=$!
}
wl_app_alive() { kill -0 "$WL_APP_PID" 2>/dev/null; }

wl_probe_done() { [ "$(grep -c '^PROBE' "$WL_WORK/app.out")" -gt "$1" ]; }
wl_app_exit() { wait "$WL_APP_PID"; }
# probe: ask the app (SIGUSR1) to repaint and print its state; echoes the PROBE line
wl_probe() {
    local n; n=$(grep -c '^PROBE' "$WL_WORK/app.out")
    [ -n "${WL_TRACE:-}" ] && echo "$(date +%T.%3N) probe send n=$n" >&2
    kill -USR1 "$WL_APP_PID" 2>/dev/null || return 1
    POLL_TIMEOUT=5 poll wl_probe_done "$n" || { [ -n "${WL_TRACE:-}" ] && echo "$(date +%T.%3N) probe timeout" >&2; return 1; }
    [ -n "${WL_TRACE:-}" ] && echo "$(date +%T.%3N) probe got" >&2
    grep '^PROBE' "$WL_WORK/app.out" | tail -n1
}

# wl_big_configures W H: number of xdg_toplevel.configure events the app received that
# ask for a size larger than W x H (proof that a drag / maximize reached the client)
wl_big_configures() {
    grep -o 'xdg_toplevel@[0-9]*\.configure([0-9]*, [0-9]*' "$WL_WORK/app.err" |
        awk -F'[(,]' -v w="$1" -v h="$2" '$2 > w || $3 > h { n++ } END { print n + 0 }'
}

# --- input through weston (real X input into the weston output window) ---
# leave weston's window and enter it again at X,Y: EnterNotify sets weston's pointer
# to the absolute position (plain motion is applied as a delta and can drift)
wl_sync_pointer() { xdotool mousemove $((WL_X_W - 8)) $((WL_X_H - 8)) sleep 0.05 mousemove "$1" "$2" sleep 0.1; }
wl_click() { wl_sync_pointer "$1" "$2"; xdotool click 1; }
wl_keys() { xdotool key --delay 30 "$@"; }
wl_type() { xdotool type --delay 30 "$1"; }
# wl_drag X Y DX DY: press at X,Y, move in 5 steps by DX,DY, release
wl_drag() {
    local i
    wl_sync_pointer "$1" "$2"; xdotool mousedown 1
    for i in 1 2 3 4 5; do xdotool sleep 0.05 mousemove $(($1 + $3 * i / 5)) $(($2 + $4 * i / 5)); done
    xdotool sleep 0.1 mouseup 1
}

# bradient (Qt 6.4) title bar: height 30, borders 3; buttons 18x18 at y 6..24,
# right margin 8, spacing 5: close [W-26,W-8), maximize [W-49,W-31), minimize [W-72,W-54)
wl_max_button() { read -r x y w h <<<"$(wl_view "$1")" && echo $((x + w - 40)) $((y + 15)); }
wl_close_button() { read -r x y w h <<<"$(wl_view "$1")" && echo $((x + w - 17)) $((y + 15)); }
