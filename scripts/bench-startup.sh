#!/usr/bin/env bash
# Start-up time (exec to the window mapped) and resident memory once shown, of the OhmSift window
# and of an empty fixed-size Qt window, side by side on the same Xvfb server. Prints the medians.
# Usage: scripts/bench-startup.sh [BUILD_DIR] [RUNS]   (BUILD_DIR defaults to build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-15}
probe=$build/bench/window/startup_probe
ohmsift=$build/src/app/ohmsift
empty=$build/bench/window/empty_window
for f in "$probe" "$ohmsift" "$empty"; do
  [ -x "$f" ] || { echo "missing $f: build with scripts/build.sh first" >&2; exit 1; }
done
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
chmod 700 "$runtime"

# Runs inside the X session: alternate the two programs so that both see the same machine state,
# after one unmeasured start of each to warm the caches.
measure='
  "$probe" 1 "$empty" >/dev/null
  "$probe" 1 "$ohmsift" >/dev/null
  for ((i = 0; i < runs; i++)); do
    "$probe" 1 "$empty" | sed "s/^/empty /"
    "$probe" 1 "$ohmsift" | sed "s/^/ohmsift /"
  done'
export probe ohmsift empty runs

results=$(env -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$runtime" \
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$measure")

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
for p in empty ohmsift; do
  ms=$(awk -v p="$p" '$1 == p {print $2}' <<<"$results" | median)
  kib=$(awk -v p="$p" '$1 == p {print $3}' <<<"$results" | median)
  printf '%-8s start-up %7.2f ms   resident %6.1f MiB\n' "$p" "$ms" "$(awk -v k="$kib" 'BEGIN {print k / 1024}')"
  eval "${p}_ms=$ms; ${p}_kib=$kib"
done
awk -v a="$ohmsift_ms" -v b="$empty_ms" -v c="$ohmsift_kib" -v d="$empty_kib" \
  'BEGIN {printf "ratio    start-up %7.2fx      resident %6.2fx   (goal: 1.5x, 1.3x)\n", a / b, c / d}'
