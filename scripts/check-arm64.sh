#!/usr/bin/env bash
# Builds the engine, the command line and their tests for 64-bit ARM and runs the tests under
# user-mode QEMU: a machine whose long double is not the x86 format, so the integer arithmetic
# is the one under test. Expects g++-aarch64-linux-gnu, qemu-user and googletest's sources.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-arm64 -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DOHMSIFT_WINDOW=OFF -DBUILD_TESTING=ON -DOHMSIFT_WERROR=ON \
  -DOHMSIFT_GTEST_SOURCE=/usr/src/googletest >/dev/null
cmake --build build-arm64 -j "$(nproc)"
# Under emulation every step is many times slower: the comparison with the pair search's
# step-by-step one takes every other round (the digests still hold every whole target's output in
# full, and the integer arithmetic is held to the hardware's operation by operation on x86); the
# network search's is run in full, every series over its whole range.
OHMSIFT_TEST_THIN=2 ctest --test-dir build-arm64 --output-on-failure -j "$(nproc)" --timeout 1200 \
  -E NetworkTest
ctest --test-dir build-arm64 --output-on-failure -j "$(nproc)" --timeout 1200 -R NetworkTest
