#!/usr/bin/env bash
# Builds into build/: with "run", only the two programs; otherwise everything, tests and benchmarks
# included. Warnings are errors here. Installs nothing: scripts/setup-debian.sh does that.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = run ]; then
  options=(-DBUILD_TESTING=OFF -DOHMSIFT_BENCH=OFF) targets=(--target ohmsift ohmsift-cli)
else
  options=(-DBUILD_TESTING=ON -DOHMSIFT_BENCH=ON) targets=()
fi
# Quiet when it works; all of what it said when it does not.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOHMSIFT_WERROR=ON "${options[@]}" \
  >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
cmake --build build -j "$(nproc)" "${targets[@]}"
