#!/usr/bin/env bash
# Installs what is missing on Debian 12: with "run", what building and running OhmSift need; with
# "test" (the default), also everything the test stages use. Run as root (or with sudo).
set -euo pipefail
run=(g++ cmake ninja-build pkg-config gettext qt6-base-dev libgl-dev libfontconfig-dev fonts-ipafont-gothic)
test=(
  libgtest-dev libbenchmark-dev nlohmann-json3-dev xvfb xauth x11-utils libxcb1-dev  # native
  fonts-vlgothic fonts-noto-cjk                                    # native: other faces
  weston qt6-wayland xdotool openbox wmctrl                        # wayland (and X11)
  googletest g++-aarch64-linux-gnu qemu-user                       # arm64
  clang-14 libclang-rt-14-dev                                      # fuzz
  debhelper dpkg-dev lintian desktop-file-utils appstream mandoc mmdebstrap autopkgtest piuparts uidmap  # package
)
case ${1:-test} in
  run) packages=("${run[@]}") ;;
  test) packages=("${run[@]}" "${test[@]}") ;;
  *) echo "usage: $0 [run|test]" >&2; exit 2 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
