#!/usr/bin/env bash
# The window on X11 (Xvfb, the openbox window manager, Qt's xcb plugin): maximize and full-screen
# requests as a task bar sends them, the title bar's double click and maximize button, the
# program's own requests, and a drag of the frame's corner, on the main window and the error box:
# each leaves its size and state as they were.
# Usage: tests/desktop/x11.sh PROBE   (PROBE: build/tests/desktop/window_probe)
set -u
probe=${1:?usage: x11.sh PROBE}
source "$(dirname "$0")/lib.sh"
x_start 1024x768 || exit 1
background openbox openbox --sm-disable
poll eval 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
app_start xcb "$probe"

size_of() { xwininfo -id "$1" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}'; }
origin_of() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF} END {print x, y}'
}
window() {  # window main|box: the X window of the main window (314x292) or of the error box
  local id main
  for id in $(xdotool search --onlyvisible --name '^OhmSift$' 2>/dev/null); do
    main=box
    [ "$(size_of "$id")" = 314x292 ] && main=main
    [ "$main" = "$1" ] && echo "$id" && return
  done
  return 1
}
settled() {  # settled ID SIZE
  local p
  p=$(app_state) || return 1
  last="size $(size_of "$1"), _NET_WM_STATE '$(xprop -id "$1" _NET_WM_STATE | sed 's/.*= //')': $p"
  [ "$(size_of "$1")" = "$2" ] && ! xprop -id "$1" _NET_WM_STATE | grep -q 'MAXIMIZED\|FULLSCREEN' &&
    [[ "$p" == *"main=314x292 state=0 "* ]] && [[ "$p" == *"box=none" || "$p" == *"box="*" state=0 "* ]]
}
check() {  # check NAME ID SIZE
  sleep 0.3
  if app_alive && POLL_TIMEOUT=3 poll settled "$2" "$3"; then ok "$1"; else bad "$1: $last"; fi
}
requests() {  # requests main|box
  local id size x y top
  poll window "$1" >/dev/null || { bad "[$1] no window"; return; }
  id=$(window "$1")
  size=$(size_of "$id")
  wmctrl -i -r "$id" -b add,maximized_vert,maximized_horz
  check "[$1] _NET_WM_STATE maximized" "$id" "$size"
  wmctrl -i -r "$id" -b add,fullscreen
  check "[$1] _NET_WM_STATE full screen" "$id" "$size"
  read -r x y <<<"$(origin_of "$id")"
  top=$(xprop -id "$id" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g' | cut -d' ' -f3)
  xdotool mousemove $((x + 40)) $((y - top / 2)) sleep 0.1 click --repeat 2 --delay 80 1
  check "[$1] a double click on the title bar" "$id" "$size"
  xdotool mousemove $((x + ${size%x*} - 26)) $((y - top / 2)) sleep 0.1 click 1
  check "[$1] the title bar's maximize button" "$id" "$size"
  kill -s RTMIN "$APP_PID"
  check "[$1] the program's own maximize" "$id" "$size"
  kill -s RTMIN+1 "$APP_PID"
  check "[$1] the program's own full screen" "$id" "$size"
  xdotool mousemove $((x + ${size%x*} + 1)) $((y + ${size#*x} + 2)) sleep 0.1 mousedown 1 sleep 0.1 \
    mousemove $((x + ${size%x*} + 60)) $((y + ${size#*x} + 60)) sleep 0.1 mouseup 1
  check "[$1] a drag of the frame's corner" "$id" "$size"
}
# Values to move first: 4700 typed into Edit1.
poll window main >/dev/null
read -r x y <<<"$(origin_of "$(window main)")"
xdotool mousemove $((x + 40)) $((y + 26)) click 1 sleep 0.2 type --delay 30 4700
POLL_TIMEOUT=5 poll eval '[[ "$(app_state)" == *"items=15"* ]]' && ok "typing into Edit1" || bad "typing into Edit1"
requests main
kill -USR2 "$APP_PID"
requests box
summary x11
