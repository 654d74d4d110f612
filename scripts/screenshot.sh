#!/usr/bin/env bash
# Pictures of the window after typing 4700 and moving 5100 to the resistors not owned, driven by
# real key presses and clicks: one grabbed offscreen, one captured from a real X window under Xvfb.
# Usage: scripts/screenshot.sh [BUILD_DIR] [OUT_DIR]   (defaults: build, docs)
# Writes OUT_DIR/ohmsift.png (the X window) and OUT_DIR/ohmsift-offscreen.png.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=${2:-docs}
shot=$build/tools/ohmsift_window_shot
[ -x "$shot" ] || { echo "missing $shot: build with scripts/build.sh first" >&2; exit 1; }
command -v import >/dev/null || { echo "screenshot.sh needs ImageMagick's import (imagemagick)" >&2; exit 1; }
mkdir -p "$out"
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime

QT_QPA_PLATFORM=offscreen "$shot" "$out/ohmsift-offscreen.png" 2>/dev/null

# On the X server: hold the window up, find it by its title, capture it.
capture='
  "$shot" --hold 3000 2>/dev/null &
  for _ in $(seq 50); do
    id=$(xwininfo -root -tree | awk "/\"OhmSift\"/ {print \$1; exit}")
    [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || { echo "window did not appear" >&2; exit 1; }
  sleep 0.5
  import -window "$id" "$out/ohmsift.png"
  wait'
export shot out
env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 640x480x24" bash -c "$capture"
echo "wrote $out/ohmsift.png and $out/ohmsift-offscreen.png"
