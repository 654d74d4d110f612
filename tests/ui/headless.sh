#!/usr/bin/env bash
# Starts the window program with no display at all, then with one that cannot be reached, and
# expects one plain sentence that names the command-line tool, and a failure status (no abort).
set -u
program=$1
check() {
  local what=$1 setting=$2 out rc
  shift 2
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM $setting "$program" "$@" 2>&1)
  rc=$?
  if [ "$rc" -eq 0 ] || [ "$rc" -ge 128 ]; then
    echo "$what: exit status $rc"
    return 1
  fi
  if [ "$(printf '%s\n' "$out" | wc -l)" -ne 1 ] || [[ "$out" != *"graphical session"* ]] ||
    [[ "$out" != *"ohmsift-cli"* ]]; then
    echo "$what: unexpected output: $out"
    return 1
  fi
}
status=0
check "no display" "" || status=1
check "unreachable display" DISPLAY=:97 || status=1
# The window takes no arguments, so none can choose a display-less platform for it either.
check "arguments ignored" "" -platform offscreen || status=1
exit $status
