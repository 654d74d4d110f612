#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: the native build's tests, the window on real
# desktops (a Wayland compositor and an X11 window manager), the same suite under AddressSanitizer
# and UndefinedBehaviorSanitizer, the ARM64 build under QEMU, a short run of each fuzz target, and
# the Debian packages built, validated and installed into a fresh Debian 12 root. Name stages to
# run only those: native wayland sanitizers arm64 fuzz package.
set -euo pipefail
cd "$(dirname "$0")/.."
stages=("$@")
((${#stages[@]})) || stages=(native wayland sanitizers arm64 fuzz package)

bash scripts/setup-debian.sh test
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"

for stage in "${stages[@]}"; do
  echo "== $stage"
  start=$SECONDS
  case $stage in
    native)
      bash scripts/build.sh
      ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 900
      ;;
    wayland)
      bash scripts/build.sh
      bash tests/desktop/wayland.sh build/tests/desktop/window_probe
      bash tests/desktop/x11.sh build/tests/desktop/window_probe
      ;;
    sanitizers | arm64 | fuzz | package) bash "scripts/check-$stage.sh" ;;
    *)
      echo "test.sh: no stage '$stage' (native, wayland, sanitizers, arm64, fuzz, package)" >&2
      exit 2
      ;;
  esac
  echo "== $stage passed in $((SECONDS - start)) s"
done
