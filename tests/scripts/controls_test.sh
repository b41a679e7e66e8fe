#!/usr/bin/env bash
# The README's table of the window's controls against data/controls.txt, the one list of them (the
# manual page, the how-to-play text and the page's list are made from it): the same inputs, in the
# same order, with the same effects.
# Usage: controls_test.sh SOURCE_ROOT
set -euo pipefail
root=${1:?usage: controls_test.sh SOURCE_ROOT}

# "INPUT | EFFECT" for each control of WHERE in the list.
listed() {
  sed -n "s/^$1 | //p" "$root/data/controls.txt"
}
# "INPUT | EFFECT" for each row of the table under HEADER in FILE.
tabled() {
  awk -v header="$2" '
    $0 == header { inside = 1; next }
    inside && /^\|---/ { next }
    inside && /^\| / { sub(/^\| /, ""); sub(/ \|$/, ""); print; next }
    inside { exit }
  ' "$1"
}

status=0
check() {
  local file=$1 header=$2 where=$3 table
  table=$(tabled "$root/$file" "$header")
  if [ -z "$table" ]; then
    echo "controls: no table headed \"$header\" in $file" >&2
    status=1
  elif [ "$table" != "$(listed "$where")" ]; then
    echo "controls: $file's table differs from data/controls.txt's $where controls:" >&2
    diff <(listed "$where") <(echo "$table") >&2 || true
    status=1
  fi
}
check README.md "| Input | Effect |" window
[ "$(listed window | wc -l)" -gt 0 ] && [ "$(listed page | wc -l)" -gt 0 ] || {
  echo "controls: data/controls.txt lists no window or no page controls" >&2
  status=1
}
exit $status
