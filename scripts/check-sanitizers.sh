#!/usr/bin/env bash
# Builds everything (engine, class library, CLI, window, every test) with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/ and runs the whole test suite there. A fault that the
# sanitizers find ends the test in which it happens, so the script fails. Expects the packages of
# scripts/setup-debian.sh (test) to be installed already.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build="build-asan"
jobs=$(($(nproc) < 2 ? $(nproc) : 2))

# Debug rather than RelWithDebInfo: with nothing optimised away UBSan checks every operation as
# written (at -O2 a check on a result that is never used goes with it), and stacks are exact. The
# optimised code is what the normal build tests; the exhaustive engine tests take longer at -O0
# but the whole run stays within a few minutes on two cores.
# Every setting is given explicitly so that nothing left in an older cache (flags, a build without
# the window) can make the run check less than it claims to.
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS= \
  -DOHMSIFT_SANITIZE=ON \
  -DOHMSIFT_WINDOW=ON \
  -DBUILD_TESTING=ON \
  -DOHMSIFT_BENCH=OFF \
  -DOHMSIFT_WERROR=ON >/dev/null
cmake --build "$build" -j "$jobs"

# A run against an uninstrumented build would pass without checking anything.
for program in src/cli/ohmsift-cli src/app/ohmsift tests/ui/test_window; do
  if ! ldd "$build/$program" | grep 'libasan' >/dev/null; then
    echo "check-sanitizers: $build/$program is not built with AddressSanitizer" >&2
    exit 1
  fi
done

runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime

asan=(
  detect_leaks=1
  # fontconfig, libdbus and libexpat keep no frame pointers: only the full unwinder carries a leak's
  # stack through them to the caller that the suppressions name.
  fast_unwind_on_malloc=0
  abort_on_error=1
  disable_coredump=1
  # Also flags libxkbcommon-x11's bounded strndup of X atom names, but only on a real X display,
  # which no test opens.
  strict_string_checks=1
  detect_stack_use_after_return=1
  check_initialization_order=1
  strict_init_order=1
  detect_odr_violation=2
)
ASAN_OPTIONS=$(IFS=:; echo "${asan[*]}")
export ASAN_OPTIONS
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0

# The checks of exactness are the native and ARM64 stages' work; here, where every step is many
# times slower, the comparison with the step-by-step search takes every fourth round and the
# digests of the command line's whole output are left out: the command line's code is run by its
# own tests and its fuzz corpus all the same.
export OHMSIFT_TEST_THIN=4
ctest --test-dir "$build" --output-on-failure --no-tests=error -j "$jobs" --timeout 1200 \
  -E '^cli_sweep_digest$'
