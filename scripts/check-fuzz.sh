#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz and fuzzes each for a bounded time,
# starting from a copy of its committed corpus (which stays untouched). Fails on any finding and
# keeps the inputs that caused it in build-fuzz/findings/. Assumes the setup is done (clang-14,
# libclang-rt-14-dev and the packages of a normal build).
# Usage: scripts/check-fuzz.sh [SECONDS_PER_TARGET]   (default 25)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-25}
build=build-fuzz
targets=(fuzz_strtofloat fuzz_cli)

CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DOHMSIFT_FUZZ=ON -DOHMSIFT_WINDOW=OFF -DBUILD_TESTING=ON -DOHMSIFT_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rm -rf "$build/findings"
failed=()
for target in "${targets[@]}"; do
  cp -r "fuzz/corpus/$target" "$work/$target"
  mkdir -p "$build/findings/$target"
  if "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 \
    -artifact_prefix="$build/findings/$target/" "$work/$target" >"$work/$target.log" 2>&1; then
    echo "$target: no findings in ${seconds} s"
  else
    failed+=("$target")
    echo "$target: FINDING (inputs in $build/findings/$target); the end of its log:"
    grep -v -E '^#[0-9]+' "$work/$target.log" | tail -40
  fi
done
((${#failed[@]} == 0)) || { echo "fuzzing found faults in: ${failed[*]}" >&2; exit 1; }
