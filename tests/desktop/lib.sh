# What the window's checks on real desktops (wayland.sh, x11.sh) share: the tally of checks,
# polling, an Xvfb server, the probe program started on it and asked for its state, and the check
# that an action left the window as it was. Source this file; needs Xvfb. WL_SAVE=DIR keeps the
# logs there.
set -u
passed=0 failed=0 started=()
ok() { passed=$((passed + 1)); echo "ok   $*"; }
bad() { failed=$((failed + 1)); echo "FAIL $*"; }
summary() {
  echo "${0##*/}: $passed passed, $failed failed in $SECONDS s"
  exit $((failed > 0))
}
# poll CMD... until it succeeds, every 50 ms, for at most $POLL_TIMEOUT seconds (default 10;
# generous because CI machines may be loaded: a run next to a compiler took 2 s per step)
poll() {
  local end=$((SECONDS + ${POLL_TIMEOUT:-10} + 1))  # SECONDS may be about to tick
  until "$@"; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.05
  done
}

# x_start WxH: a work folder WL_WORK, a private XDG_RUNTIME_DIR, and Xvfb with a screen of WxH on
# a display it picks itself, exported as DISPLAY. On exit, what was started ends, in reverse.
x_start() {
  WL_WORK=$(mktemp -d) XDG_RUNTIME_DIR=$(mktemp -d)
  chmod 700 "$XDG_RUNTIME_DIR"
  export XDG_RUNTIME_DIR
  trap x_stop EXIT
  background xvfb Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp 3>"$WL_WORK/display"
  poll grep -q . "$WL_WORK/display" || { echo "Xvfb did not start" >&2; exit 1; }
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
probes() { grep -c '^PROBE' "$WL_WORK/app.out"; }
# app_state: ask the app (SIGUSR1) to repaint and print its state; echoes the PROBE line
app_state() {
  local n
  n=$(probes)
  kill -USR1 "$APP_PID" 2>/dev/null && POLL_TIMEOUT=5 poll eval '[ "$(probes)" -gt '"$n"' ]' &&
    grep '^PROBE' "$WL_WORK/app.out" | tail -n1
}
# normal PROBE: the main window, and the error box if it is open, at their size, in the normal
# state and painting, with Edit1's text and the number of result lines as $text and $items say
normal() {
  [[ $1 == *"main=314x292 state=0 upd=1 text='$text' items=$items "* ]] &&
    [[ $1 == *"box=none" || $1 == *"box="*" state=0 upd=1" ]]
}
# check NAME CMD...: CMD (which sets $last, what it saw) holds within 10 s and still 0.5 s later,
# the program alive all along
holds() { ! app_alive || "$@"; }
check() {
  local name=$1
  shift
  if POLL_TIMEOUT=10 poll holds "$@" && app_alive && sleep 0.5 && app_alive &&
    "$@"; then
    ok "$name"
    return
  fi
  app_alive || { bad "$name: the program ended: $(grep -m1 -i error "$WL_WORK/app.err")"; summary; }
  bad "$name: $last"
}
# Every request of requests WHICH on the main window, typed into; then on the error box.
requests_on_both() {
  text=4700 items=15
  requests main
  kill -USR2 "$APP_PID"  # letters in Edit1 and a move: the error box
  text=abc items=0
  requests box
}
