#!/usr/bin/env bash
# Builds everything (engine, class library, CLI, window, every test) with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/ and runs the whole test suite there. A fault that the
# sanitizers find ends the test in which it happens, so the script fails. Expects the packages of
# scripts/setup-debian.sh (test) to be installed already.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-asan
# Debug rather than RelWithDebInfo: with nothing optimised away UBSan checks every operation as
# written, and stacks are exact. Every setting is given, so that nothing left in an older cache can
# make the run check less than it claims to.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS= -DOHMSIFT_SANITIZE=ON \
  -DOHMSIFT_WINDOW=ON -DBUILD_TESTING=ON -DOHMSIFT_BENCH=OFF -DOHMSIFT_WERROR=ON >/dev/null
cmake --build "$build" -j 2
# A run against an uninstrumented build would pass without checking anything. (Not grep -q:
# under pipefail, ldd would then fail on the pipe grep closed.)
for program in src/cli/ohmsift-cli src/app/ohmsift tests/ui/test_window; do
  ldd "$build/$program" | grep libasan >/dev/null || { echo "$build/$program lacks AddressSanitizer" >&2; exit 1; }
done
XDG_RUNTIME_DIR=$(mktemp -d)
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
chmod 700 "$XDG_RUNTIME_DIR"
export XDG_RUNTIME_DIR
# fast_unwind_on_malloc=0: fontconfig, libdbus and libexpat keep no frame pointers, and only the
# full unwinder carries a leak's stack through them to the caller the suppressions name.
export ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0:abort_on_error=1:disable_coredump=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:detect_odr_violation=2
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Quoted for the sanitizers' own parser, which splits its options at blanks.
export LSAN_OPTIONS="suppressions='$PWD/tests/sanitizers/lsan.supp':print_suppressions=0"
# Exactness is the native and ARM64 stages' work; here, where every step is many times slower, the
# comparison with the step-by-step search takes every fourth round and the digests of the command
# line's whole output are left out.
OHMSIFT_TEST_THIN=4 ctest --test-dir "$build" --output-on-failure --no-tests=error -j 2 \
  --timeout 1200 -E '^cli_sweep_digest$'
