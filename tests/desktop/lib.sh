# What the window's checks on real desktops (wayland.sh, x11.sh) share: the tally of checks,
# polling, an Xvfb server, and the probe program started on it and asked for its state. Source
# this file; needs Xvfb. WL_SAVE=DIR keeps the logs there; WL_TRACE=1 traces each probe.

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

# x_start WxH: a work folder WL_WORK, a private XDG_RUNTIME_DIR, and Xvfb with a screen of WxH on
# a display it picks itself, exported as DISPLAY. On exit, what was started ends, in reverse.
started=()
x_start() {
    WL_WORK=$(mktemp -d)
    XDG_RUNTIME_DIR=$(mktemp -d); chmod 700 "$XDG_RUNTIME_DIR"; export XDG_RUNTIME_DIR
    trap x_stop EXIT
    : >"$WL_WORK/display"
    background xvfb Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp 3>"$WL_WORK/display"
    poll grep -q . "$WL_WORK/display" || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=:$(head -n1 "$WL_WORK/display")
}
# background NAME CMD...: CMD runs until the end, its output in $WL_WORK/NAME.out
background() { "${@:2}" >"$WL_WORK/$1.out" 2>&1 & started+=($!); }
x_stop() {
    local i
    [ -n "${WL_SAVE:-}" ] && mkdir -p "$WL_SAVE" && cp -r "$WL_WORK"/. "$WL_SAVE"/
    for ((i = ${#started[@]} - 1; i >= 0; i--)); do
        kill "${started[i]}" 2>/dev/null && wait "${started[i]}" 2>/dev/null
    done
    rm -rf "$WL_WORK" "$XDG_RUNTIME_DIR"
}

# app_start PLATFORM CMD...: the program on Qt's PLATFORM plugin (stdout -> $WL_WORK/app.out,
# stderr, with the Wayland protocol log, -> app.err)
app_start() {
    WAYLAND_DEBUG=client QT_QPA_PLATFORM=$1 "${@:2}" >"$WL_WORK/app.out" 2>"$WL_WORK/app.err" &
    APP_PID=$!
    started+=("$APP_PID")
}
app_alive() { kill -0 "$APP_PID" 2>/dev/null; }
probe_done() { [ "$(grep -c '^PROBE' "$WL_WORK/app.out")" -gt "$1" ]; }
# app_state: ask the app (SIGUSR1) to repaint and print its state; echoes the PROBE line
app_state() {
    local n; n=$(grep -c '^PROBE' "$WL_WORK/app.out")
    [ -n "${WL_TRACE:-}" ] && echo "$(date +%T.%3N) probe send n=$n" >&2
    kill -USR1 "$APP_PID" 2>/dev/null || return 1
    POLL_TIMEOUT=5 poll probe_done "$n" || { [ -n "${WL_TRACE:-}" ] && echo "$(date +%T.%3N) probe timeout" >&2; return 1; }
    [ -n "${WL_TRACE:-}" ] && echo "$(date +%T.%3N) probe got" >&2
    grep '^PROBE' "$WL_WORK/app.out" | tail -n1
}
