#!/usr/bin/env bash
# Starts the window program where it cannot open a window and expects one sentence naming the
# real cause, and status 1 (no abort, no core dump); --version and --help answer without a display.
set -u
program=$1
status=0
check() {
  local what=$1 want=$2 expected=$3 out rc
  shift 3
  # A runtime folder of a short path, as a session's is: a Wayland socket's path has at most 107
  # bytes, and a longer one (a build's TMPDIR) makes the library say so on a line of its own.
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$(mktemp -d /tmp/ohmsift.XXXXXX)" \
    "$@" 2>&1 </dev/null)
  rc=$?
  if [ "$rc" -ne "$expected" ] || [ "$(printf '%s\n' "$out" | wc -l)" -ne 1 ] ||
    [[ "$out" != *"$want"* ]]; then
    echo "$what: exit status $rc, output: $out"
    status=1
  fi
}
check "no display" "needs a graphical session, and neither DISPLAY nor WAYLAND_DISPLAY is set" 1 \
  "$program"
check "an X display that cannot be opened" 'could not open the display ":97"' 1 \
  env DISPLAY=:97 "$program"
check "a Wayland display that cannot be opened" 'could not open the display "nowhere"' 1 \
  env WAYLAND_DISPLAY=nowhere "$program"
check "a platform plugin that is missing" 'platform plugin "bogus" is not installed' 1 \
  env QT_QPA_PLATFORM=bogus "$program"
# Its own arguments are ignored; the toolkit's reach the toolkit, which may then need no display.
check "arguments ignored" "needs a graphical session" 1 "$program" --frobnicate
check "the toolkit's -platform" "" 124 env QT_QPA_PLATFORM= timeout 3 "$program" -platform offscreen
# No Japanese face at all: one line says which package brings one, and the window opens all the same.
printf '<?xml version="1.0"?>\n<fontconfig><dir>/usr/share/fonts/truetype/dejavu</dir></fontconfig>\n' \
  >"${TMPDIR:-/tmp}/ohmsift-no-japanese.conf"
check "no Japanese face" "no Japanese font is installed" 124 \
  env FONTCONFIG_FILE="${TMPDIR:-/tmp}/ohmsift-no-japanese.conf" QT_QPA_PLATFORM=offscreen \
  timeout 3 "$program"
check "help" "Usage: ohmsift" 0 sh -c '"$0" --help | head -n 1' "$program"
exit $status
