#!/usr/bin/env bash
# The window on a real Wayland compositor (weston, its x11 back end nested in Xvfb, so that real
# input reaches Qt's title bar) through Qt's Wayland plugin: it starts, takes typed input, and
# survives maximize and full-screen requests (the title bar's button, weston's Super+Shift+M and
# Super+Shift+F, the program's own) and edge drags, on the main window and the error box, keeping
# its size and its lists; closed, the program ends with status 0.
# Usage: tests/desktop/wayland.sh PROBE   (PROBE: build/tests/desktop/window_probe)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
# All coordinates are X root coordinates == weston output coordinates, because the weston output
# window (1024x768) is the only X window and sits at +0+0. The X screen is larger so that the
# pointer can leave and re-enter it: weston's x11 back end moves its pointer by *relative* X
# motion and only takes the absolute position on EnterNotify (see sync_pointer).
x_start 1088x832
background weston weston --backend=x11-backend.so --use-pixman --width=1024 --height=768 \
  --socket=wl-test --config="$here/weston.ini" --debug --log="$WL_WORK/weston.log"
export WAYLAND_DISPLAY=wl-test
scene() { weston-debug scene-graph 2>/dev/null; }
# The socket appears before the shell is ready: the shell's background surface is mapped once it runs.
poll test -S "$XDG_RUNTIME_DIR/wl-test" && poll eval 'scene | grep -q "background for output"' ||
  { echo "weston did not start" >&2; exit 1; }

# view WHICH: "x y w h", the geometry (title bar included) of the main window ("main", the
# toplevel of 320x325) or of the other toplevel titled OhmSift ("box"); fails if it is not mapped
view() {
  scene | awk -v which="$1" '
    /role xdg_toplevel/ && index($0, "top-level window '"'OhmSift'"' of") { f = 1; next }
    f && /position:/ {
      gsub(/[(),]/, " "); split($0, a, " "); w = a[5] - a[2]; h = a[6] - a[3]; f = 0
      if ((which == "main") == (w == 320 && h == 325)) { print a[2], a[3], w, h; found = 1; exit }
    }
    END { exit !found }'
}
# big W H: how many xdg_toplevel.configure events the app received that ask for more than W x H
# (proof that a drag or a maximize reached the client)
big() {
  grep -o 'xdg_toplevel@[0-9]*\.configure([0-9]*, [0-9]*' "$WL_WORK/app.err" |
    awk -F'[(,]' -v w="$1" -v h="$2" '$2 > w || $3 > h { n++ } END { print n + 0 }'
}
# seen: how many maximized or full-screen states the program has heard of
seen() { app_state | sed -n 's/.* seen=\([0-9]*\).*/\1/p'; }

# Input through weston: leave its window and enter it again at X,Y, as EnterNotify sets weston's
# pointer to the absolute position (plain motion is applied as a delta and can drift).
sync_pointer() { xdotool mousemove 1080 824 sleep 0.05 mousemove "$1" "$2" sleep 0.1; }
click() { sync_pointer "$1" "$2" && xdotool click 1; }
drag() {  # drag X Y DX DY: press at X,Y, move in 5 steps by DX,DY, release
  local i
  sync_pointer "$1" "$2" && xdotool mousedown 1
  for i in 1 2 3 4 5; do xdotool sleep 0.05 mousemove $(($1 + $3 * i / 5)) $(($2 + $4 * i / 5)); done
  xdotool sleep 0.1 mouseup 1
}
# Qt 6.4's bradient title bar: 30 high; 18x18 buttons from y 6, the close button 8 from the right
# edge, maximize 23 further left.
close_button() { read -r x y w h <<<"$(view "$1")" && click $((x + w - 17)) $((y + 15)); }

# settled WHICH GEOMETRY EVIDENCE BEFORE: the window as weston shows it and as the program reports
# it, normal; and the evidence (a counter) past where it was, so that the action did happen
settled() {
  local p v e
  p=$(app_state) v=$(view "$1") e=$($3)
  last="view '$v' evidence $e/$4: $p"
  [ "$v" = "$2" ] && [ "$e" -gt "$4" ] && normal "$p"
}
requests() {  # requests WHICH: every way of asking for maximized or full screen, every drag
  poll view "$1" >/dev/null || { bad "no $1 window"; summary; }
  local x y w h action evidence before
  read -r x y w h <<<"$(view "$1")"
  for action in "the title bar's maximize button|seen|click $((x + w - 40)) $((y + 15))" \
    "weston's super+shift+m|seen|click $((x + w / 2)) $((y + 15)); xdotool key super+shift+m" \
    "weston's super+shift+f|seen|click $((x + w / 2)) $((y + 15)); xdotool key super+shift+f" \
    "the program's own request (RTMIN)|seen|kill -s RTMIN $APP_PID" \
    "the program's own request (RTMIN+1)|seen|kill -s RTMIN+1 $APP_PID" \
    "a drag of the corner|big $w $h|drag $((x + w - 1)) $((y + h - 1)) 120 90" \
    "a drag of the right edge|big $w $h|drag $((x + w - 2)) $((y + h / 2)) 150 0" \
    "a drag of the bottom edge|big $w $h|drag $((x + w / 2)) $((y + h - 2)) 0 100"; do
    evidence=${action#*|} evidence=${evidence%%|*}
    before=$($evidence)
    eval "${action##*|}"
    check "[$1] ${action%%|*}" settled "$1" "$x $y $w $h" "$evidence" "$before"
  done
}

app_start wayland "${1:?usage: wayland.sh PROBE}"
poll view main >/dev/null || { bad "no window: $(head -c 300 "$WL_WORK/app.err")"; summary; }
read -r X Y W H <<<"$(view main)"
enter() {  # enter TEXT: into Edit1 (below the 30-pixel title bar), over what it holds
  click $((X + 43)) $((Y + 56)) && xdotool key ctrl+a type --delay 30 "$1"
  text=$1 items=15
  check "typing $1 into Edit1" settled main "$X $Y $W $H" "echo 1" 0
}
enter 4700
requests_on_both
close_button box
poll grep -q "BOX closed" "$WL_WORK/app.out" && ok "the error box closes" || bad "the error box stays"
enter 470
close_button main
if POLL_TIMEOUT=10 poll eval '! app_alive'; then wait "$APP_PID"; status=$?; else status="none, still open"; fi
[ "$status" = 0 ] && ok "closed, the program ends with status 0" || bad "closed, status $status"
summary
