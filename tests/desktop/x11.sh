#!/usr/bin/env bash
# The window on X11 (Xvfb, the openbox window manager, Qt's xcb plugin): maximize and full-screen
# requests as a task bar sends them, the title bar's double click and maximize button, the
# program's own requests, and a drag of the frame's corner, on the main window and the error box:
# each leaves its size and state as they were.
# Usage: tests/desktop/x11.sh PROBE   (PROBE: build/tests/desktop/window_probe)
source "$(dirname "$0")/lib.sh"
x_start 1024x768
background openbox openbox --sm-disable
poll eval 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
app_start xcb "${1:?usage: x11.sh PROBE}"

geometry() {  # geometry ID: its place and size as X Y W H
  eval "$(xwininfo -id "$1" | awk -F': *' '/Absolute upper-left X/ {print "X=" $2}
    /Absolute upper-left Y/ {print "Y=" $2} /Width/ {print "W=" $2} /Height/ {print "H=" $2}')"
}
window() {  # window main|box: WINDOW, the main window (314x292) or the error box, and its geometry
  for WINDOW in $(xdotool search --onlyvisible --name '^OhmSift$' 2>/dev/null); do
    geometry "$WINDOW"
    [ "$1" = "$([ "${W}x$H" = 314x292 ] && echo main || echo box)" ] && return
  done
  return 1
}
settled() {  # settled SIZE: $WINDOW still of SIZE, not maximized or full screen, and normal
  local p s=
  p=$(app_state) && geometry "$WINDOW" && s=${W}x$H
  last="size $s, $(xprop -id "$WINDOW" _NET_WM_STATE): $p"
  [ "$s" = "$1" ] && [[ $last != *MAXIMIZED* && $last != *FULLSCREEN* ]] && normal "$p"
}
at() { xdotool mousemove "$1" "$2" sleep 0.1 "${@:3}"; }  # at X Y ACTION...: xdotool's ACTION at X,Y
requests() {  # requests main|box
  poll window "$1" || { bad "[$1] no window"; return; }
  local size=${W}x$H x=$X y=$Y w=$W h=$H bar action
  bar=$((y - $(xprop -id "$WINDOW" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g' | cut -d' ' -f3) / 2))
  for action in "_NET_WM_STATE maximized|wmctrl -i -r $WINDOW -b add,maximized_vert,maximized_horz" \
    "_NET_WM_STATE full screen|wmctrl -i -r $WINDOW -b add,fullscreen" \
    "a double click on the title bar|at $((x + 40)) $bar click --repeat 2 --delay 80 1" \
    "the title bar's maximize button|at $((x + w - 26)) $bar click 1" \
    "the program's own maximize|kill -s RTMIN $APP_PID" \
    "the program's own full screen|kill -s RTMIN+1 $APP_PID" \
    "a drag of the frame's corner|at $((x + w + 1)) $((y + h + 2)) mousedown 1 sleep 0.1 \
      mousemove_relative 59 58 sleep 0.1 mouseup 1"; do
    ${action#*|}
    check "[$1] ${action%%|*}" settled "$size"
  done
}
# Values to move first: 4700 typed into Edit1.
poll window main || { bad "no window: $(head -c 300 "$WL_WORK/app.err")"; summary; }
xdotool mousemove $((X + 40)) $((Y + 26)) click 1 sleep 0.2 type --delay 30 4700
text=4700 items=15
check "typing into Edit1" settled 314x292
requests_on_both
summary
