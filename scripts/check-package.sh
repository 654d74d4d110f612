#!/usr/bin/env bash
# The "package" test stage. Builds the .debs with scripts/package.sh, holds them to Debian's and
# freedesktop's validators, then installs them into a fresh Debian 12 root and uses them there as
# a user would: the command line, the window started from its desktop entry under Xvfb, and
# removal and purge, which must leave nothing behind. Any finding fails the stage.
#
# The root (debootstrap --variant=minbase bookworm, plus the X tools the window check needs) is
# made once into build-package/root-cache/pristine and copied for every run; downloaded packages
# are kept in build-package/root-cache/archives. Delete build-package/root-cache to start cold.
# Runs as root (or through sudo): it mounts /proc, /dev and /sys into the root and chroots there.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd -P)
out=$repo/build-package
cache=$out/root-cache
pristine=$cache/pristine
archives=$cache/archives
run=$out/root-run
mirror=${OHMSIFT_DEBIAN_MIRROR:-http://deb.debian.org/debian}
security=${OHMSIFT_DEBIAN_SECURITY:-http://deb.debian.org/debian-security}
# What the window check runs inside the root besides the packages under test.
root_tools=(xvfb x11-utils dex)
# sha256 of `ohmsift-cli 4700` (the block in the README and the man page), as recorded on x86.
cli_4700_sha256=c50fbe31fc8c94ad8df8a0eb3bc7736c3ffd206bbc439113216494c74dbeae1c

if [ "$(id -u)" -ne 0 ]; then
  exec sudo --preserve-env=DEB_BUILD_OPTIONS,OHMSIFT_DEBIAN_MIRROR,OHMSIFT_DEBIAN_SECURITY \
    bash "$repo/scripts/check-package.sh" "$@"
fi

# The validators on this machine.
host_tools=(lintian desktop-file-utils appstream mandoc debootstrap dpkg-dev)
missing=()
for p in "${host_tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
for tool in lintian desktop-file-validate appstreamcli mandoc debootstrap dpkg-deb; do
  command -v "$tool" >/dev/null || { echo "check-package: $tool is missing" >&2; exit 1; }
done

step_start=$SECONDS
step() {
  echo "-- $* (at $((SECONDS - step_start)) s)"
}
findings=0
finding() {
  echo "FINDING: $*" >&2
  findings=$((findings + 1))
}

mkdir -p "$out"
step "building the packages"
bash scripts/package.sh >"$out/package.log" 2>&1 || {
  tail -n 40 "$out/package.log" >&2
  echo "check-package: the packages did not build; the whole log is $out/package.log" >&2
  exit 1
}
version=$(dpkg-parsechangelog -l debian/changelog -S Version)
upstream=${version%-*}
arch=$(dpkg --print-architecture)
gui_deb=ohmsift_${version}_$arch.deb
cli_deb=ohmsift-cli_${version}_$arch.deb

work=$(mktemp -d "$out/check.XXXXXX")
xvfb_pid=
# Ends the processes this stage started inside a root (the X server, the window and whatever
# they started), found by the root they run in.
end_processes_in() {
  local root=$1 proc
  for proc in /proc/[0-9]*; do
    [ "$(readlink "$proc/root" 2>/dev/null)" = "$root" ] && kill "${proc#/proc/}" 2>/dev/null
  done
  return 0
}
mount_root() {
  local root=$1
  mount -t proc proc "$root/proc"
  mount -t sysfs sysfs "$root/sys"
  mount --bind /dev "$root/dev"
  mount --bind /dev/pts "$root/dev/pts"
  # Downloads are kept outside the root, so that a later run need not fetch them again.
  mount --bind "$archives" "$root/var/cache/apt/archives"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
}
# Ends what runs in a root and unmounts everything below it, deepest first. Before a root is
# deleted this must have run: /dev in there is the machine's own.
release_root() {
  local root=$1 point
  [ -d "$root" ] || return 0
  end_processes_in "$root"
  for point in $(awk -v r="$root/" 'index($2, r) == 1 {print $2}' /proc/mounts | sort -r); do
    umount "$point" 2>/dev/null || { sleep 0.5; umount "$point" 2>/dev/null; } || umount -l "$point"
  done
}
remove_root() {
  release_root "$1"
  rm -rf --one-file-system "$1"
}
cleanup() {
  release_root "$run"
  release_root "$pristine"
  rm -rf "$work"
}
trap cleanup EXIT

# ---- the version, written once in CMake, as the packaging and the metainfo repeat it ------------
step "version"
cmake_version=$(sed -n 's/^project(OhmSift VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
metainfo_version=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' \
  data/org.ohmsift.OhmSift.metainfo.xml | head -n 1)
[ "$cmake_version" = "$upstream" ] ||
  finding "debian/changelog has $upstream, CMakeLists.txt $cmake_version"
[ "$metainfo_version" = "$upstream" ] ||
  finding "the metainfo's newest release is $metainfo_version, debian/changelog has $upstream"

# ---- lintian ------------------------------------------------------------------------------------
step "lintian"
# Root is what this stage runs as; lintian's remark about it is not a finding on the packages.
if ! lintian --fail-on error,warning --tag-display-limit 0 "$out/$gui_deb" "$out/$cli_deb" \
  >"$work/lintian.txt" 2>&1 || grep -v '^running with root privileges' "$work/lintian.txt" |
  grep -q .; then
  cat "$work/lintian.txt" >&2
  finding "lintian"
fi

# ---- contents -----------------------------------------------------------------------------------
step "contents"
gui_files=(
  ./usr/bin/ohmsift
  ./usr/share/applications/org.ohmsift.OhmSift.desktop
  ./usr/share/metainfo/org.ohmsift.OhmSift.metainfo.xml
  ./usr/share/icons/hicolor/scalable/apps/org.ohmsift.OhmSift.svg
  ./usr/share/man/man1/ohmsift.1.gz
  ./usr/share/man/ja/man1/ohmsift.1.gz
  ./usr/share/doc/ohmsift/copyright
)
for size in 16 22 24 32 48 64 128 256; do
  gui_files+=("./usr/share/icons/hicolor/${size}x$size/apps/org.ohmsift.OhmSift.png")
done
cli_files=(
  ./usr/bin/ohmsift-cli
  ./usr/share/man/man1/ohmsift-cli.1.gz
  ./usr/share/man/ja/man1/ohmsift-cli.1.gz
  ./usr/share/bash-completion/completions/ohmsift-cli
  ./usr/share/doc/ohmsift-cli/copyright
)
check_contents() {
  local deb=$1 listing
  shift
  listing=$(dpkg-deb -c "$out/$deb" | awk '{print $6}')
  for file in "$@"; do
    grep -qxF "$file" <<<"$listing" || finding "$deb lacks $file"
  done
}
check_contents "$gui_deb" "${gui_files[@]}"
check_contents "$cli_deb" "${cli_files[@]}"
# The command line must not pull in the window's libraries.
cli_depends=$(dpkg-deb -f "$out/$cli_deb" Depends)
for dep in $(tr ',' '\n' <<<"$cli_depends" | sed 's/(.*//; s/[[:space:]]//g'); do
  case $dep in
    libc6 | libgcc-s1 | libstdc++6) ;;
    *) finding "$cli_deb depends on $dep (only the C and C++ run-time libraries are expected)" ;;
  esac
done

# ---- the shipped files, each to its validator --------------------------------------------------
step "desktop entry, metainfo, man pages, completion"
tree=$work/tree
mkdir -p "$tree"
dpkg-deb -x "$out/$gui_deb" "$tree"
dpkg-deb -x "$out/$cli_deb" "$tree"
desktop=$tree/usr/share/applications/org.ohmsift.OhmSift.desktop
if [ -f "$desktop" ]; then
  report=$(desktop-file-validate "$desktop" 2>&1) || finding "desktop-file-validate failed"
  [ -z "$report" ] || { echo "$report" >&2; finding "desktop-file-validate: $report"; }
fi
if ! appstreamcli validate-tree --no-net --strict "$tree" >"$work/appstream.txt" 2>&1 ||
  ! appstreamcli validate --no-net --strict "$tree"/usr/share/metainfo/*.xml \
    >>"$work/appstream.txt" 2>&1; then
  cat "$work/appstream.txt" >&2
  finding "appstreamcli validate"
fi
for page in man1/ohmsift man1/ohmsift-cli ja/man1/ohmsift ja/man1/ohmsift-cli; do
  # This mandoc reads no compressed pages.
  mkdir -p "$work/man/${page%/*}"
  zcat "$tree/usr/share/man/$page.1.gz" >"$work/man/$page.1"
  report=$(mandoc -Tlint -W warning "$work/man/$page.1" 2>&1) || true
  [ -z "$report" ] || { echo "$report" >&2; finding "mandoc -Tlint on $page.1"; }
done
# The completion offers the options, the series and formats, files after a list's '@', and nothing
# where a number is wanted.
completion=$tree/usr/share/bash-completion/completions/ohmsift-cli
mkdir "$work/completion" && touch "$work/completion/drawer.txt"
completion_report=$(cd "$work/completion" && bash -c '
  source "$1"
  c() { COMP_LINE=$2 COMP_POINT=${#2}; read -ra COMP_WORDS <<<"$2"; COMP_CWORD=${#COMP_WORDS[@]}
        _ohmsift_cli
        [ "${COMPREPLY[*]}" = "$1" ] || echo "[$2] completed to [${COMPREPLY[*]}], not [$1]"; }
  c "--series --tolerance --count --only --without --format --help --version --" "ohmsift-cli -"
  c "--without" "ohmsift-cli 4700 --wi"
  c "--version" "ohmsift-cli --ver"
  c "E96" "ohmsift-cli --series E9"
  c "E192" "ohmsift-cli --series=E19"
  c "json" "ohmsift-cli 4700 --format=j"
  c "@drawer.txt" "ohmsift-cli --only @dr"
  c "@drawer.txt" "ohmsift-cli --without=@d"
  c "" "ohmsift-cli "
  c "" "ohmsift-cli --without "
  c "" "ohmsift-cli --without=82"
  c "" "ohmsift-cli --count 4"
  c "" "ohmsift-cli -- -"
  complete -p ohmsift-cli | grep -q "_ohmsift_cli ohmsift-cli$" || echo "not registered"
' _ "$completion" 2>&1)
[ -z "$completion_report" ] || finding "bash completion: $completion_report"

# ---- a fresh Debian 12 root ---------------------------------------------------------------------
if [ ! -f "$pristine/.complete" ]; then
  step "making the Debian 12 root (once)"
  remove_root "$pristine"
  mkdir -p "$pristine" "$archives"
  debootstrap --variant=minbase bookworm "$pristine" "$mirror" >"$work/debootstrap.log" 2>&1 || {
    tail -n 30 "$work/debootstrap.log" >&2
    echo "check-package: debootstrap failed" >&2
    exit 1
  }
  cat >"$pristine/etc/apt/sources.list" <<EOF
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb $security bookworm-security main
EOF
  # The tools the window check needs go in now, so that a run installs only the packages under
  # test and what they pull in; that is also what removal must take away again.
  mount_root "$pristine"
  chroot "$pristine" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive chroot "$pristine" apt-get install -y -qq \
    --no-install-recommends "${root_tools[@]}" >"$work/tools.log" 2>&1 || {
    tail -n 30 "$work/tools.log" >&2
    exit 1
  }
  release_root "$pristine"
  touch "$pristine/.complete"
fi

step "copying the root"
remove_root "$run"
cp -a "$pristine" "$run"
rm "$run/.complete"
mount_root "$run"
in_root() {
  chroot "$run" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive "$@"
}

# What the root holds before the packages come, leaving out what apt and dpkg keep for
# themselves, logs, caches of downloads, and places that only hold what is running.
file_list() {
  (cd "$run" && find . -xdev \
    \( -path ./proc -o -path ./sys -o -path ./dev -o -path ./run -o -path ./tmp \
    -o -path ./var/lib/apt -o -path ./var/lib/dpkg -o -path ./var/cache/apt \
    -o -path ./var/cache/debconf -o -path ./var/cache/ldconfig -o -path ./var/log \
    -o -path ./root \) -prune -o -printf '%y %p\n' | LC_ALL=C sort)
}
file_list >"$work/before.txt"
in_root dpkg -l >"$work/packages-before.txt"

step "installing into the root"
cp "$out/$gui_deb" "$out/$cli_deb" "$run/tmp/"
in_root apt-get update -qq
if ! in_root apt-get install -y -qq --no-install-recommends "/tmp/$gui_deb" "/tmp/$cli_deb" \
  >"$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  finding "apt-get install of both packages failed"
  exit 1
fi

in_root dpkg -l >"$work/packages-with.txt"

step "the command line in the root"
if [ "$(in_root ohmsift-cli 4700 | sha256sum | cut -d' ' -f1)" != "$cli_4700_sha256" ]; then
  in_root ohmsift-cli 4700 | head -n 5 >&2
  finding "ohmsift-cli 4700 does not print the recorded block"
fi
cli_version=$(in_root ohmsift-cli --version 2>&1) ||
  finding "ohmsift-cli --version exited with status $?"
[ "$(head -n 1 <<<"$cli_version")" = "ohmsift-cli $upstream" ] ||
  finding "ohmsift-cli --version printed: $cli_version"
# Without a display the window program still answers --version, and otherwise says in one
# sentence why it cannot start.
gui_version=$(in_root ohmsift --version 2>&1) || finding "ohmsift --version exited with status $?"
[ "$(head -n 1 <<<"$gui_version")" = "ohmsift $upstream" ] ||
  finding "ohmsift --version printed: $gui_version"
set +e
headless=$(in_root ohmsift 2>&1)
headless_status=$?
set -e
[ "$headless_status" -eq 1 ] && [[ $headless == *"graphical session"* ]] ||
  finding "ohmsift without a display: status $headless_status, said: $headless"
# On a Wayland session without Qt's Wayland plugin (qt6-wayland is only suggested), the sentence
# names the package that brings it.
set +e
nowayland=$(in_root env WAYLAND_DISPLAY=wayland-0 ohmsift 2>&1)
nowayland_status=$?
set -e
[ "$nowayland_status" -eq 1 ] &&
  [[ $nowayland == *'platform plugin "wayland" is not installed (package qt6-wayland)'* ]] ||
  finding "ohmsift on Wayland without qt6-wayland: status $nowayland_status, said: $nowayland"

step "the window from its desktop entry, under Xvfb in the root"
installed_desktop=/usr/share/applications/org.ohmsift.OhmSift.desktop
wm_class=$(sed -n 's/^StartupWMClass=//p' "$run$installed_desktop")
title=$(sed -n 's/^Name=//p' "$run$installed_desktop")
# A private runtime directory, and a display number the X server picks itself (-displayfd):
# a fixed one could be taken by a server outside the root sharing its abstract sockets.
xdg=$(mktemp -d "$run/tmp/xdg.XXXXXX")
chmod 700 "$xdg"
mkfifo "$work/displayfd"
chroot "$run" env -i PATH=/usr/bin:/bin HOME=/root Xvfb -displayfd 3 -nolisten tcp \
  -screen 0 1024x768x24 3>"$work/displayfd" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
read -r -t 20 display <"$work/displayfd" || {
  cat "$work/xvfb.log" >&2
  echo "check-package: Xvfb did not start" >&2
  exit 1
}
x_env=(env DISPLAY=":$display" XDG_RUNTIME_DIR="${xdg#"$run"}")
in_root "${x_env[@]}" dex "$installed_desktop" >"$work/dex.log" 2>&1 ||
  finding "dex could not start the desktop entry: $(cat "$work/dex.log")"
window=
for _ in $(seq 100); do
  # The line of a top-level window carries its WM_CLASS: 0x... "Title": ("instance" "Class")
  window=$(in_root "${x_env[@]}" xwininfo -root -tree 2>/dev/null |
    awk -v t="\"$title\": (\"" 'index($0, t) {print $1; exit}')
  [ -n "$window" ] && in_root "${x_env[@]}" xwininfo -id "$window" | grep -q 'IsViewable' && break
  window=
  sleep 0.1
done
if [ -z "$window" ]; then
  finding "no window titled \"$title\" appeared"
else
  class=$(in_root "${x_env[@]}" xprop -id "$window" WM_CLASS)
  echo "window $window \"$title\", $class"
  [[ $class == *", \"$wm_class\"" ]] ||
    finding "the window's $class does not match StartupWMClass=$wm_class"
fi
end_processes_in "$run"
wait "$xvfb_pid" 2>/dev/null || true
xvfb_pid=
rm -rf "$xdg"

step "removing and purging"
in_root dpkg -L ohmsift ohmsift-cli >"$work/owned.txt"
in_root apt-get remove -y -qq ohmsift ohmsift-cli >"$work/remove.log" 2>&1 ||
  { cat "$work/remove.log" >&2; finding "apt-get remove failed"; }
while read -r path; do
  [ -d "$run$path" ] || [ ! -e "$run$path" ] || finding "$path is still there after removal"
done <"$work/owned.txt"
# With no configuration files, removal leaves dpkg nothing to purge and apt then knows the
# packages no more; so purge is checked on a second installation, taken straight from installed.
in_root apt-get install -y -qq --no-install-recommends "/tmp/$gui_deb" "/tmp/$cli_deb" \
  >>"$work/remove.log" 2>&1 || { cat "$work/remove.log" >&2; finding "reinstallation failed"; }
in_root apt-get purge -y -qq ohmsift ohmsift-cli >>"$work/remove.log" 2>&1 ||
  { cat "$work/remove.log" >&2; finding "apt-get purge failed"; }
# What the packages pulled in goes too, so the root must be as it was.
in_root apt-get autoremove --purge -y -qq >>"$work/remove.log" 2>&1 ||
  { cat "$work/remove.log" >&2; finding "apt-get autoremove --purge failed"; }
echo "packages installed in the root: $(grep -c '^ii' "$work/packages-before.txt") before," \
  "$(grep -c '^ii' "$work/packages-with.txt") with OhmSift, $(in_root dpkg -l | grep -c '^ii') after purge"
if in_root dpkg-query -W ohmsift ohmsift-cli >/dev/null 2>&1; then
  finding "dpkg still knows ohmsift or ohmsift-cli after purge"
fi
rm -f "$run/tmp/$gui_deb" "$run/tmp/$cli_deb"
file_list >"$work/after.txt"
if ! diff -u "$work/before.txt" "$work/after.txt" >"$work/leftover.txt"; then
  cat "$work/leftover.txt" >&2
  finding "the root after purge differs from the root before installation"
fi

step "done"
if ((findings)); then
  echo "check-package: $findings finding(s)" >&2
  exit 1
fi
remove_root "$run"  # kept only when something was found, to look into
echo "check-package: the packages build, validate, install, run and purge cleanly"
