#!/usr/bin/env bash
# The package's whole life on a fresh system: in a throwaway debootstrap root of SUITE, the sources
# are built as a packager does (plain build, prefix /usr, cpack -G DEB), the .deb is installed with
# apt on a system without the development packages, the game must be on a user's PATH and open its
# window from the menu entry's Exec line under a private Xvfb in the root, "apt remove" must leave
# no file of the package, and after "apt autoremove" the root's files must be those it had before
# the install. Needs root (chroot, mounts); otherwise it exits 77, which CTest reports as skipped.
# The root, with the build's and the check's packages installed, is cached as a tarball under
# MARBLOOM_ROOT_CACHE (default /var/tmp/marbloom-roots); the first run per suite makes it (a few
# minutes, from the distribution's archive), later runs take about a minute.
# Usage: install_cycle.sh SOURCE_DIR [SUITE]   (SUITE: trixie by default; bookworm, jammy, noble,
#        resolute...)
set -euo pipefail
src=$(cd "${1:?usage: install_cycle.sh SOURCE_DIR [SUITE]}" && pwd)
suite=${2:-trixie}
if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: the install cycle needs root, for chroot and mounts (run it as root, as CI does)"
  exit 77
fi
for tool in debootstrap tar; do
  command -v "$tool" >/dev/null || { echo "install_cycle: $tool is missing (scripts/install-deps)" >&2; exit 1; }
done

cache=${MARBLOOM_ROOT_CACHE:-/var/tmp/marbloom-roots}
# What the root holds besides the minimal system: what a packager's build needs, and an X server
# with xdotool to see the window; a normal user, as on a desktop.
packages="g++ cmake make dpkg-dev file freeglut3-dev libglu1-mesa-dev xvfb xauth xdotool"
key=$(printf '%s' "$packages" | md5sum | cut -c1-8)
tarball=$cache/$suite-$key.tar
ubuntu=
case $suite in jammy | noble | plucky | questing | resolute) ubuntu=1 ;; esac

work=$(mktemp -d /var/tmp/marbloom-cycle.XXXXXX)
root=$work/root
game=
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/xvfb.sh"
cleanup() {
  [ -n "$game" ] && kill "$game" 2>/dev/null
  stop_xvfb
  for m in dev/pts dev proc; do
    if grep -q " $root/$m " /proc/mounts; then umount "$root/$m" || umount -l "$root/$m"; fi
  done
  # Never delete through a mount still in place: that would reach the host's /dev or /proc.
  local mounts
  mounts=$(cat /proc/mounts)
  if [[ $mounts == *" $work/"* ]]; then
    echo "install_cycle: mounts remain under $work; left in place" >&2
    return
  fi
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
  DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 bash -c "$1"; }
as_player() { chroot "$root" /usr/sbin/runuser -l player -c "$1"; }
mount_root() {
  mount --bind /proc "$root/proc" && mount --bind /dev "$root/dev" && mount --bind /dev/pts "$root/dev/pts"
}
unmount_root() { umount "$root/dev/pts" "$root/dev" "$root/proc"; }

mkdir -p "$root"
if [ ! -f "$tarball" ]; then
  echo "install_cycle: making the $suite root for $tarball (a few minutes, once)"
  mkdir -p "$cache"
  scripts=$work/debootstrap
  cp -r /usr/share/debootstrap/. "$scripts/"
  # An older debootstrap may not know a newer release by name; each family's scripts are shared.
  if [ ! -e "$scripts/scripts/$suite" ]; then
    if [ -n "$ubuntu" ]; then ln -s gutsy "$scripts/scripts/$suite"; else ln -s sid "$scripts/scripts/$suite"; fi
  fi
  opts=(--variant=minbase)
  if [ -n "$ubuntu" ]; then
    opts+=(--components=main,universe)
    # The Ubuntu archive keys are not on a Debian host.
    [ -f /usr/share/keyrings/ubuntu-archive-keyring.gpg ] || opts+=(--no-check-gpg)
  else
    [ -f /usr/share/keyrings/debian-archive-keyring.gpg ] || opts+=(--no-check-gpg)
    # From Debian 13 on, base-files itself links /bin, /lib and /sbin to /usr; an older
    # debootstrap (Ubuntu 22.04's) makes those links first and then stops at base-files.
    [ "$suite" = bookworm ] || opts+=(--no-merged-usr)
  fi
  if ! DEBOOTSTRAP_DIR=$scripts debootstrap "${opts[@]}" "$suite" "$root" >"$work/debootstrap.log" 2>&1; then
    tail -20 "$work/debootstrap.log" >&2
    exit 1
  fi
  if [[ " ${opts[*]} " == *" --no-check-gpg "* ]]; then
    echo 'Acquire::AllowInsecureRepositories "true"; APT::Get::AllowUnauthenticated "true";' \
      >"$root/etc/apt/apt.conf.d/99unsigned"
  fi
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  mount_root
  in_root "apt-get update -qq && apt-get install -y -qq --no-install-recommends $packages >/dev/null \
    && apt-get clean && useradd -m -s /bin/bash player"
  unmount_root
  # Under a name of its own until complete, so that a run beside this one never reads half of it.
  tar -C "$root" -cf "$tarball.$$" . && mv "$tarball.$$" "$tarball"
else
  tar -C "$root" -xf "$tarball"
fi
chmod 755 "$root"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount_root

# The sources as they are in the checkout, committed or not, without build directories.
mkdir "$root/home/player/marbloom"
if git -C "$src" rev-parse --show-toplevel >/dev/null 2>&1; then
  git -C "$src" ls-files -z --cached --others --exclude-standard \
    | (cd "$src" && tar --null -T - --ignore-failed-read -cf -) | tar -C "$root/home/player/marbloom" -xf -
else
  tar -C "$src" --exclude=./build -cf - . | tar -C "$root/home/player/marbloom" -xf -
fi
chroot "$root" chown -R player:player /home/player/marbloom

echo "== $suite: plain build and cpack -G DEB"
as_player "cd ~/marbloom && cmake -S . -B build -DCMAKE_INSTALL_PREFIX=/usr >/dev/null \
  && cmake --build build -j 2 >/dev/null && cd build && cpack -G DEB >/dev/null && ls marbloom_*.deb"
deb=$(cd "$root/home/player/marbloom/build" && echo marbloom_*.deb)

# Every file and directory of the system, but for what apt, dpkg and the run change by themselves.
files_of_root() {
  (cd "$root" && find . -xdev \( -path ./proc -o -path ./dev -o -path ./sys -o -path ./run -o -path ./tmp \
    -o -path ./var/tmp -o -path ./var/log -o -path ./var/cache -o -path ./var/lib/apt -o -path ./var/lib/dpkg \
    -o -path ./home -o -path ./root \) -prune -o -print | LC_ALL=C sort)
}
# A player's system has the game's libraries but not their development files: those go, with
# whatever only they needed, so that apt must fetch what the package's Depends name.
if ! in_root "apt-get purge -y -q --autoremove freeglut3-dev libglu1-mesa-dev && apt-get update -q" \
  >"$work/apt.log" 2>&1; then
  cat "$work/apt.log" >&2
  exit 1
fi
before=$(files_of_root)
packages_before=$(in_root "dpkg-query -W -f='\${Package}\n'" | LC_ALL=C sort)

echo "== $suite: apt install ./$deb"
if ! in_root "cd /home/player/marbloom/build && apt install -y -q ./$deb" >"$work/apt.log" 2>&1; then
  cat "$work/apt.log" >&2
  exit 1
fi
added=$(comm -13 <(echo "$packages_before") <(in_root "dpkg-query -W -f='\${Package}\n'" | LC_ALL=C sort))
echo "installed by apt:" $added
in_root "dpkg -s marbloom" | grep -E '^(Status|Version|Depends)'
in_root "dpkg -L marbloom" >"$work/package-files"
where=$(as_player 'command -v marbloom') || { echo "install_cycle: marbloom is not on the player's PATH" >&2; exit 1; }
echo "on the player's PATH: $where"

# The menu entry's icon and the metadata's launchable are the files installed under those names.
entry=$root/usr/share/applications/org.marbloom.Marbloom.desktop
icon=$(sed -n 's/^Icon=//p' "$entry")
launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' \
  "$root/usr/share/metainfo/org.marbloom.Marbloom.metainfo.xml")
for file in "usr/share/icons/hicolor/scalable/apps/$icon.svg" "usr/share/icons/hicolor/48x48/apps/$icon.png" \
  "usr/share/applications/$launchable"; do
  [ -f "$root/$file" ] || { echo "install_cycle: /$file is not installed" >&2; exit 1; }
done

# The menu entry's command, as a desktop runs it: a plain command line (no field codes), run here
# by a shell, whose quoting agrees with the entry's for this line.
exec_line=$(sed -n 's/^Exec=//p' "$entry")
echo "== $suite: starting the menu entry's Exec line: $exec_line"
start_xvfb 1024x768x24 chroot "$root"
display=$DISPLAY
as_player "DISPLAY=$display $exec_line" >"$work/game.out" 2>"$work/game.err" &
game_pid=$!
# --sync waits for the window; the timeout is generous for a loaded machine.
windows=$(as_player "DISPLAY=$display timeout 120 xdotool search --sync --onlyvisible --name '^Marbloom\$'") || true
window=${windows%%$'\n'*}
if [ -z "$window" ]; then
  echo "install_cycle: no Marbloom window from the Exec line" >&2
  cat "$work/game.err" >&2
  exit 1
fi
# The trace goes nowhere when started from the menu: the game's standard output is /dev/null.
# The game is the marbloom process whose root is this root; another run's game may be beside it.
for pid in $(pgrep -x marbloom); do
  [ "$(readlink "/proc/$pid/root")" = "$root" ] && game=$pid
done
[ -n "$game" ] || { echo "install_cycle: a window but no marbloom process in the root" >&2; exit 1; }
trace_to=$(chroot "$root" readlink "/proc/$game/fd/1")
echo "window $window opened; the game's standard output: $trace_to"
[ "$trace_to" = /dev/null ] || { echo "install_cycle: the trace is not sent to /dev/null" >&2; exit 1; }
as_player "DISPLAY=$display timeout 30 xdotool windowfocus --sync $window key q"
# A minute for the game to end; one that is still running then has ignored Q and is killed.
for _ in $(seq 600); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$game_pid" 2>/dev/null; then
  kill -KILL "$game" 2>/dev/null || true
  echo "install_cycle: the game did not quit within 60 s of Q; killed" >&2
  exit 1
fi
status=0
wait "$game_pid" || status=$?
game=
echo "Q pressed: exit status $status"
[ "$status" = 0 ] || exit 1
[ ! -s "$work/game.out" ] || { echo "install_cycle: the Exec line printed on standard output" >&2; exit 1; }

echo "== $suite: apt remove marbloom"
if ! in_root "apt remove -y -q marbloom" >"$work/apt.log" 2>&1; then
  cat "$work/apt.log" >&2
  exit 1
fi
# No file or directory of the package that was not there before remains.
left=$(while read -r path; do
  if [ -e "$root$path" ] && ! grep -q -x -F ".$path" <<<"$before"; then echo "$path"; fi
done <"$work/package-files")
if [ -n "$left" ]; then
  echo "install_cycle: apt remove left files of the package behind:" >&2
  echo "$left" >&2
  exit 1
fi
# Nothing of it is left for a purge either: dpkg has forgotten the package (no conffiles).
state=$(in_root "dpkg-query -W -f='\${db:Status-Abbrev}' marbloom 2>/dev/null" || true)
if [ -n "${state// /}" ] && [ "${state// /}" != un ]; then
  echo "install_cycle: after apt remove, dpkg still has marbloom as '$state'" >&2
  exit 1
fi
# With the libraries it brought in removed as well, the system is as it was before the install.
if ! in_root "apt-get autoremove -y -q --purge" >"$work/apt.log" 2>&1; then
  cat "$work/apt.log" >&2
  exit 1
fi
left=$(diff <(echo "$before") <(files_of_root)) || true
if [ -n "$left" ]; then
  echo "install_cycle: after apt remove and autoremove, the system differs:" >&2
  echo "$left" >&2
  exit 1
fi
echo "$suite: removed; no file left behind, nothing left to purge"
