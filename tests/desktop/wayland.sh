#!/usr/bin/env bash
# The window on a real Wayland compositor (weston, its x11 back end nested in Xvfb, so that real
# input reaches Qt's title bar) through Qt's Wayland plugin: it starts, takes typed input, and
# survives maximize and full-screen requests (the title bar's button, weston's Super+Shift+M and
# Super+Shift+F, the program's own) and edge drags, on the main window and the error box, keeping
# its size and its lists; closed, the program ends with status 0.
# Usage: tests/desktop/wayland.sh PROBE   (PROBE: build/tests/desktop/window_probe)
set -u
probe=${1:?usage: wayland.sh PROBE}
source "$(dirname "$0")/lib.sh"

trap wl_stop EXIT
wl_start || exit 1
wl_app_start "$probe"
poll wl_view main >/dev/null || { bad "no window: $(head -c 300 "$WL_WORK/app.err")"; summary wayland; }
read -r X Y W H <<<"$(wl_view main)"
edit() { wl_click $((X + 3 + 40)) $((Y + 30 + 26)); }  # Edit1, below the 30-pixel title bar
edit
wl_type 4700
text=4700 items=15
seen() { wl_probe | sed -n 's/.* seen=\([0-9]*\).*/\1/p'; }

# The window as weston shows it and as the program reports it: its normal size and place, its
# text and lines; and the evidence (a counter) past where it was, so the action did happen.
settled() {  # settled WHICH GEOMETRY EVIDENCE BEFORE
  local p v e
  p=$(wl_probe) || return 1
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
  if POLL_TIMEOUT=10 poll eval '! wl_app_alive || settled "${args[@]}"' && wl_app_alive; then
    sleep 0.5
    if wl_app_alive && settled "${args[@]}"; then
      ok "$name"
      return
    fi
  fi
  wl_app_alive || { bad "$name: the program ended: $(grep -m1 -i error "$WL_WORK/app.err")"; summary wayland; }
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
    kill -s "$signal" "$WL_APP_PID"
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

kill -USR2 "$WL_APP_PID"  # letters in Edit1 and a move: the error box
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
if POLL_TIMEOUT=10 poll eval '! wl_app_alive'; then
  wl_app_exit
  status=$?
  [ "$status" -eq 0 ] && ok "closed, the program ends with status 0" || bad "closed, status $status"
else
  bad "the window does not close"
fi
summary wayland
