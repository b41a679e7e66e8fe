#!/usr/bin/env bash
# scripts/install-deps against stand-ins for dpkg-query, apt-get, sudo and id: who installs what,
# and what a user is told when nothing can be installed.
# Usage: install_deps_test.sh PATH/TO/install-deps
set -uo pipefail
script=$1
# The cases are about gcc's packages; clang's add a probe of their own.
unset CXX
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin" "$work/base"
# Only what the script itself needs from the system, so that no real sudo or apt is in reach.
for tool in bash basename cat env mktemp rm cut; do
  ln -s "$(command -v "$tool")" "$work/base/$tool"
done
stub() { printf '#!%s\n%s\n' "$(command -v bash)" "$2" >"$work/bin/$1" && chmod +x "$work/bin/$1"; }
# Every package but those in MISSING is installed; every call is logged.
stub dpkg-query 'for p in "${@:3}"; do case " $MISSING " in *" $p "*) ;; *) printf "%s\tii \n" "$p";; esac; done'
stub apt-get 'echo "apt-get $*" >>"$LOG"'
stub id 'echo "${AS_UID:-1000}"'
stub sudo 'echo "sudo" >>"$LOG"; [ -z "${SUDO_REFUSES:-}" ] || exit 1; exec "$@"'

failures=0
# check NAME STATUS CALLS [TEXT]: the script, run with the case's environment, ends with STATUS
# after making exactly CALLS, and says TEXT on stderr.
check() {
  local status log
  : >"$work/log"
  # SETS: the package sets asked for, none by default.
  # shellcheck disable=SC2086
  PATH="$work/bin:$work/base" LOG="$work/log" bash "$script" ${SETS:-} >/dev/null 2>"$work/err"
  status=$?
  log=$(cat "$work/log")
  if [ "$status" != "$2" ] || [ "$log" != "$3" ] || { [ -n "$4" ] && ! grep -q -F -- "$4" "$work/err"; }; then
    echo "FAIL $1: status $status, calls [$log], stderr [$(cat "$work/err")]"
    failures=$((failures + 1))
  fi
}

export MISSING=
check "nothing missing: no sudo, no apt" 0 "" ""
export MISSING="xdotool netpbm"
check "missing packages: only those, through sudo" 0 "sudo
apt-get update -qq
sudo
apt-get install -y -qq --no-install-recommends xdotool netpbm" ""
AS_UID=0 check "root: apt itself, no sudo" 0 "apt-get update -qq
apt-get install -y -qq --no-install-recommends xdotool netpbm" ""
MISSING="xdotool wine zip" AS_UID=0 SETS=windows check "windows set: its own packages only" 0 \
  "apt-get update -qq
apt-get install -y -qq --no-install-recommends zip" ""
MISSING="xdotool wine zip" AS_UID=0 SETS="windows windows-test" check "windows tests: Wine too" 0 \
  "apt-get update -qq
apt-get install -y -qq --no-install-recommends zip wine" ""
SETS=macos check "unknown set: refused" 2 "" "unknown package set"
SUDO_REFUSES=1 check "sudo refused: the packages to install by hand" 1 "sudo" "apt-get install xdotool netpbm"
rm "$work/bin/sudo"
check "no sudo: the packages to install by hand" 1 "" "apt-get install xdotool netpbm"
rm "$work/bin/apt-get"
check "no apt: nothing installed, what the build needs said" 0 "" "no apt on this system"

[ $failures -eq 0 ] && echo "install-deps: 9 cases passed"
exit $((failures > 0))
