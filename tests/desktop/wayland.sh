#!/usr/bin/env bash
# The window on a real Wayland compositor (weston, its x11 back end nested in Xvfb, so that real
# input reaches Qt's title bar) through Qt's Wayland plugin: it starts, takes typed input, and
# survives maximize and full-screen requests (the title bar's button, weston's Super+Shift+M and
# Super+Shift+F, the program's own) and edge drags, on the main window and the error box, keeping
# its size and its lists; closed, the program ends with status 0.
# Usage: tests/desktop/wayland.sh PROBE   (PROBE: build/tests/desktop/window_probe)
set -u
probe=${1:?usage: wayland.sh PROBE}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
# All coordinates are X root coordinates == weston output coordinates, because the weston
# output window is the only X window and sits at +0+0 of a screen of exactly the same size.
WL_OUT_W=${WL_OUT_W:-1024}
WL_OUT_H=${WL_OUT_H:-768}
# The X screen is larger than weston's output window so that the pointer can leave
# and re-enter it: weston's x11 back end moves its pointer by *relative* X motion
# and only takes the absolute position on EnterNotify (see wl_sync_pointer).
WL_X_W=$((WL_OUT_W + 64)) WL_X_H=$((WL_OUT_H + 64))

wl_start() {   # starts Xvfb + weston; exports DISPLAY, XDG_RUNTIME_DIR, WAYLAND_DISPLAY
    x_start ${WL_X_W}x${WL_X_H} || return 1
    background weston weston --backend=x11-backend.so --use-pixman --width=$WL_OUT_W \
        --height=$WL_OUT_H --socket=wl-test --config="$here/weston.ini" --debug \
        --log="$WL_WORK/weston.log"
    export WAYLAND_DISPLAY=wl-test
    # the socket appears before the shell is ready; wait for the desktop-shell
    # background surface, which is mapped once the shell client runs
    poll test -S "$XDG_RUNTIME_DIR/wl-test" || { echo "weston socket missing" >&2; return 1; }
    poll wl_scene_has "background for output" || { echo "weston shell not ready" >&2; return 1; }
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

wl_start || exit 1
app_start wayland "$probe"
poll wl_view main >/dev/null || { bad "no window: $(head -c 300 "$WL_WORK/app.err")"; summary wayland; }
read -r X Y W H <<<"$(wl_view main)"
edit() { wl_click $((X + 3 + 40)) $((Y + 30 + 26)); }  # Edit1, below the 30-pixel title bar
edit
wl_type 4700
text=4700 items=15
seen() { app_state | sed -n 's/.* seen=\([0-9]*\).*/\1/p'; }

# The window as weston shows it and as the program reports it: its normal size and place, its
# text and lines; and the evidence (a counter) past where it was, so the action did happen.
settled() {  # settled WHICH GEOMETRY EVIDENCE BEFORE
  local p v e
  p=$(app_state) || return 1
  v=$(wl_view "$1")
  e=$($3)
  last="view '$v' evidence $e/$4: $p"
  [ "$v" = "$2" ] && [ "$e" -gt "$4" ] &&
    [[ "$p" == *"main=314x292 state=0 upd=1 text='$text' items=$items "* ]] &&
    [[ "$p" == *"box=none" || "$p" == *"box="*" state=0 upd=1" ]]
}
check() {  # check NAME WHICH GEOMETRY EVIDENCE BEFORE: settled within 10 s, and 0.5 s later
  local name=$1
  shift
  args=("$@")
  if POLL_TIMEOUT=10 poll eval '! app_alive || settled "${args[@]}"' && app_alive; then
    sleep 0.5
    if app_alive && settled "${args[@]}"; then
      ok "$name"
      return
    fi
  fi
  app_alive || { bad "$name: the program ended: $(grep -m1 -i error "$WL_WORK/app.err")"; summary wayland; }
  bad "$name: $last"
}
check "typing into Edit1" main "$X $Y $W $H" "echo 1" 0

requests() {  # requests WHICH: every way of asking for maximized or full screen, every drag
  local which=$1 x y w h geometry before bx by
  read -r x y w h <<<"$(wl_view "$which")"
  geometry="$x $y $w $h"
  big() { wl_big_configures "$w" "$h"; }
  before=$(seen)
  read -r bx by <<<"$(wl_max_button "$which")"
  wl_click "$bx" "$by"
  check "[$which] the title bar's maximize button" "$which" "$geometry" seen "$before"
  for keys in super+shift+m super+shift+f; do
    before=$(seen)
    wl_click $((x + w / 2)) $((y + 15))  # its title bar: the keyboard goes to it
    wl_keys "$keys"
    check "[$which] weston's $keys" "$which" "$geometry" seen "$before"
  done
  for signal in RTMIN RTMIN+1; do
    before=$(seen)
    kill -s "$signal" "$APP_PID"
    check "[$which] the program's own request ($signal)" "$which" "$geometry" seen "$before"
  done
  for drag in "$((x + w - 1)) $((y + h - 1)) 120 90" "$((x + w - 2)) $((y + h / 2)) 150 0" \
    "$((x + w / 2)) $((y + h - 2)) 0 100"; do
    before=$(big)
    wl_drag $drag
    check "[$which] a drag from $drag" "$which" "$geometry" big "$before"
  done
}
requests main

kill -USR2 "$APP_PID"  # letters in Edit1 and a move: the error box
text=abc items=0
poll wl_view box >/dev/null || { bad "no error box"; summary wayland; }
requests box
read -r bx by <<<"$(wl_close_button box)"
wl_click "$bx" "$by"
poll grep -q "BOX closed" "$WL_WORK/app.out" && ok "the error box closes" || bad "the error box stays"
edit
wl_keys ctrl+a
wl_type 470
text=470 items=15
check "typing again" main "$X $Y $W $H" "echo 1" 0
read -r bx by <<<"$(wl_close_button main)"
wl_click "$bx" "$by"
if POLL_TIMEOUT=10 poll eval '! app_alive'; then
  wait "$APP_PID"
  status=$?
  [ "$status" -eq 0 ] && ok "closed, the program ends with status 0" || bad "closed, status $status"
else
  bad "the window does not close"
fi
summary wayland
