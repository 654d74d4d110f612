#!/usr/bin/env bash
# Builds the Debian packages ohmsift and ohmsift-cli from this tree, with their test suite (unless
# DEB_BUILD_OPTIONS has nocheck). Installs the build dependencies first if any is missing (as
# root, or through sudo). Works on a copy of the tree in build-package/, so that the build writes
# nothing outside the repository and debian/ finds no leftover of an ordinary build; the .deb
# files end up in build-package/.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
out=$repo/build-package

nocheck=false
[[ " ${DEB_BUILD_OPTIONS:-} " == *" nocheck "* ]] && nocheck=true
# Each tool takes the profile in its own spelling.
checkdeps_profile=() apt_profile=() build_profile=()
if $nocheck; then
  checkdeps_profile=(-Pnocheck) apt_profile=(-P nocheck) build_profile=(--build-profiles=nocheck)
fi

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
if ! command -v dpkg-checkbuilddeps >/dev/null || ! dpkg-checkbuilddeps "${checkdeps_profile[@]}" 2>/dev/null; then
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    dpkg-dev
  # apt reads the build dependencies from debian/control of the tree named.
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get build-dep -y -qq --no-install-recommends \
    "${apt_profile[@]}" "$repo"
  dpkg-checkbuilddeps "${checkdeps_profile[@]}"
fi

version=$(dpkg-parsechangelog -l debian/changelog -S Version)
upstream=${version%-*}
arch=$(dpkg --print-architecture)
src=$out/ohmsift-$upstream

# A fresh copy each time; the installation root that check-package.sh keeps here is left alone.
mkdir -p "$out"
rm -rf "$src" "$out"/tmp
rm -f "$out"/ohmsift*_"$upstream"-*.{deb,ddeb,changes,buildinfo}
mkdir -p "$src" "$out"/tmp
tar -C "$repo" --exclude-vcs --exclude='./build*' --exclude=./out -cf - . | tar -C "$src" -xf -

export TMPDIR=$out/tmp
(cd "$src" && dpkg-buildpackage -us -uc -b -J"$(nproc)" "${build_profile[@]}")

debs=("$out/ohmsift_${version}_$arch.deb" "$out/ohmsift-cli_${version}_$arch.deb")
for deb in "${debs[@]}"; do
  [ -f "$deb" ] || { echo "package.sh: $deb was not built" >&2; exit 1; }
done
echo "Packages built:"
printf '  %s\n' "${debs[@]}"
