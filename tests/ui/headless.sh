#!/usr/bin/env bash
# Starts the window program where it cannot open a window and expects one sentence naming the
# real cause, and status 1 (no abort, no core dump); --version and --help answer without a display.
set -u
program=$1 status=0
check() {  # check SENTENCE STATUS COMMAND...: COMMAND says SENTENCE, one line, and ends with STATUS
  local out rc
  # A runtime folder of a short path, as a session's is: a Wayland socket's path has at most 107
  # bytes, and a longer one (a build's TMPDIR) makes the library say so on a line of its own.
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    XDG_RUNTIME_DIR="$(mktemp -d /tmp/ohmsift.XXXXXX)" "${@:3}" 2>&1 </dev/null)
  rc=$?
  [ "$rc" -eq "$2" ] && [ "$(wc -l <<<"$out")" -eq 1 ] && [[ $out == *"$1"* ]] ||
    { echo "${*:3}: exit status $rc, output: $out"; status=1; }
}
check "needs a graphical session, and neither DISPLAY nor WAYLAND_DISPLAY is set" 1 "$program"
check 'could not open the display ":97"' 1 env DISPLAY=:97 "$program"
check 'could not open the display "nowhere"' 1 env WAYLAND_DISPLAY=nowhere "$program"
check 'platform plugin "bogus" is not installed' 1 env QT_QPA_PLATFORM=bogus "$program"
# Its own arguments are ignored; the toolkit's reach the toolkit, which may then need no display.
check "needs a graphical session" 1 "$program" --frobnicate
check "" 124 env QT_QPA_PLATFORM= timeout 3 "$program" -platform offscreen
# No Japanese face at all: one line says which package brings one, and the window opens all the same.
fonts=${TMPDIR:-/tmp}/ohmsift-no-japanese.conf
printf '<?xml version="1.0"?>\n<fontconfig><dir>/usr/share/fonts/truetype/dejavu</dir></fontconfig>\n' >"$fonts"
check "no Japanese font is installed" 124 \
  env FONTCONFIG_FILE="$fonts" QT_QPA_PLATFORM=offscreen timeout 3 "$program"
check "Usage: ohmsift" 0 sh -c '"$0" --help | head -n 1' "$program"
exit $status
