#!/usr/bin/env bash
# The "package" test stage. Builds the .debs with scripts/package.sh and holds them to Debian's and
# freedesktop's validators; then, in a fresh Debian 12 root each, autopkgtest runs debian/tests on
# the installed packages, and piuparts installs, removes and purges them and reports what is left.
# Any finding fails the stage.
#
# The root (a tarball of mmdebstrap --variant=apt bookworm) is made once into
# build-package/root-cache; delete that folder to start afresh. Runs as root (or through sudo),
# with the packages of scripts/setup-debian.sh (test) installed.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$PWD/build-package
cache=$out/root-cache
logs=$out/check
mirror=${OHMSIFT_DEBIAN_MIRROR:-http://deb.debian.org/debian}
security=${OHMSIFT_DEBIAN_SECURITY:-http://deb.debian.org/debian-security}

if [ "$(id -u)" -ne 0 ]; then
  exec sudo --preserve-env=DEB_BUILD_OPTIONS,OHMSIFT_DEBIAN_MIRROR,OHMSIFT_DEBIAN_SECURITY \
    bash "$0" "$@"
fi
# autopkgtest's unshare back end maps the testbed's users onto subordinate ids of the caller.
grep -qs '^root:' /etc/subuid && grep -qs '^root:' /etc/subgid ||
  usermod --add-subuids 100000-165535 --add-subgids 100000-165535 root

findings=0
finding() { echo "FINDING: $*" >&2; findings=$((findings + 1)); }
# quiet COMMAND...: a finding unless COMMAND succeeds and prints nothing (lintian's remark that
# it runs as root aside).
quiet() {
  local said status=0
  said=$("$@" 2>&1) || status=$?
  said=$(grep -v '^running with root privileges' <<<"$said" || true)
  [ "$status" -eq 0 ] && [ -z "$said" ] || finding "$*: status $status; $said"
}

rm -rf "$logs"
mkdir -p "$logs/source/debian" "$cache"
echo "-- building the packages (at $SECONDS s)"
bash scripts/package.sh >"$logs/package.log" 2>&1 || { tail -n 40 "$logs/package.log" >&2
  echo "check-package: the packages did not build (the whole log: $logs/package.log)" >&2; exit 1; }
version=$(dpkg-parsechangelog -S Version)
upstream=${version%-*}
gui_deb=$out/ohmsift_${version}_$(dpkg --print-architecture).deb
cli_deb=$out/ohmsift-cli_${version}_$(dpkg --print-architecture).deb

echo "-- validators (at $SECONDS s)"
quiet lintian --fail-on error,warning --tag-display-limit 0 "$gui_deb" "$cli_deb"
tree=$logs/tree
dpkg-deb -x "$gui_deb" "$tree"
dpkg-deb -x "$cli_deb" "$tree"
quiet desktop-file-validate "$tree/usr/share/applications/org.ohmsift.OhmSift.desktop"
appstreamcli validate-tree --no-net --strict "$tree" >"$logs/appstream.log" 2>&1 &&
  appstreamcli validate --no-net --strict "$tree"/usr/share/metainfo/*.xml \
    >>"$logs/appstream.log" 2>&1 || finding "appstreamcli: $(cat "$logs/appstream.log")"
for page in {,ja/}man1/ohmsift{,-cli}.1.gz; do
  quiet sh -c 'zcat "$1" | mandoc -Tlint -W warning' mandoc "$tree/usr/share/man/$page"
done
# What no validator reads: the completion, and the icons of fixed sizes.
cli_files=$(dpkg-deb -c "$cli_deb") gui_files=$(dpkg-deb -c "$gui_deb")
[[ $cli_files == *" ./usr/share/bash-completion/completions/ohmsift-cli"* ]] ||
  finding "ohmsift-cli lacks its bash completion"
for size in 16x16 22x22 24x24 32x32 48x48 64x64 128x128 256x256; do
  [[ $gui_files == *" ./usr/share/icons/hicolor/$size/apps/org.ohmsift.OhmSift.png"* ]] ||
    finding "ohmsift lacks its $size icon"
done
# The command line must not pull in the window's libraries.
extra=$(dpkg-deb -f "$cli_deb" Depends | tr ',' '\n' | sed 's/(.*//; s/ //g' |
  grep -vxE 'libc6|libgcc-s1|libstdc\+\+6' || true)
[ -z "$extra" ] || finding "ohmsift-cli depends on $extra, not only on the C and C++ run-time"
# The version is written once in CMakeLists.txt; the packaging and the metainfo repeat it.
cmake=$(sed -n 's/^project(OhmSift VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ "$cmake" = "$upstream" ] || finding "CMakeLists.txt has $cmake, debian/changelog $upstream"
for metainfo in "$tree"/usr/share/metainfo/*.xml; do
  newest=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
  [ "$newest" = "$upstream" ] || finding "${metainfo##*/}: newest release $newest, not $upstream"
done

if [ ! -f "$cache/bookworm.tar.gz" ]; then
  echo "-- making the Debian 12 root (once)"
  mmdebstrap --variant=apt bookworm "$cache/new.tar.gz" \
    "deb $mirror bookworm main" "deb $mirror bookworm-updates main" \
    "deb $security bookworm-security main" \
    >"$logs/mmdebstrap.log" 2>&1 || { tail -n 30 "$logs/mmdebstrap.log" >&2; exit 1; }
  mv "$cache/new.tar.gz" "$cache/bookworm.tar.gz"
fi

echo "-- autopkgtest and piuparts, each in a fresh root (at $SECONDS s)"
piuparts --basetgz "$cache/bookworm.tar.gz" --keep-sources-list --distribution bookworm \
  "$gui_deb" "$cli_deb" >"$logs/piuparts.log" 2>&1 &
piuparts=$!
# Given debian/tests alone, autopkgtest takes the tree as built and installs no build tools.
cp -r debian/tests "$logs/source/debian/"
# The unshare back end puts the tarball's path into a shell command unquoted: it goes relative.
testbed=(unshare --tarball bookworm.tar.gz)
if ! unshare --map-auto --map-root-user true 2>/dev/null; then
  # Inside a chroot the kernel makes no user namespace (and autopkgtest would wait for ever): the
  # chroot back end then, on the root unpacked afresh, with the machine's /proc, /sys and /dev.
  root=$cache/testbed
  rm -rf --one-file-system "$root" && mkdir -p "$root" && tar -C "$root" -xzf "$cache/bookworm.tar.gz"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  for m in proc sys dev dev/pts; do mount --bind "/$m" "$root/$m"; done
  trap 'for m in dev/pts dev sys proc; do umount -l "$root/$m"; done' EXIT
  testbed=(chroot "$root")
fi
(cd "$cache" && autopkgtest --apt-upgrade --output-dir "$logs/autopkgtest" "$gui_deb" "$cli_deb" \
  "$logs/source/" -- "${testbed[@]}") >"$logs/autopkgtest.log" 2>&1 &&
  cat "$logs/autopkgtest/summary" ||
  { tail -n 30 "$logs/autopkgtest.log" >&2; finding "autopkgtest; its log: $logs/autopkgtest.log"; }
wait "$piuparts" ||
  { tail -n 30 "$logs/piuparts.log" >&2; finding "piuparts; its log: $logs/piuparts.log"; }

((findings == 0)) || { echo "check-package: $findings finding(s)" >&2; exit 1; }
echo "check-package: the packages build, validate, install, run and purge cleanly"
