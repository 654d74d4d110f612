#!/usr/bin/env bash
# Installs what is missing and builds into build/: with "run", only the two programs; otherwise
# everything, tests and benchmarks included. Warnings are errors here.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = run ]; then
  bash scripts/setup-debian.sh run
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOHMSIFT_WERROR=ON \
    -DBUILD_TESTING=OFF -DOHMSIFT_BENCH=OFF >/dev/null
  cmake --build build -j "$(nproc)" --target ohmsift ohmsift-cli
else
  bash scripts/setup-debian.sh test
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOHMSIFT_WERROR=ON \
    -DBUILD_TESTING=ON -DOHMSIFT_BENCH=ON >/dev/null
  cmake --build build -j "$(nproc)"
fi
