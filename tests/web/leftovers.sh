#!/usr/bin/env bash
# Run after the page's tests: fails when anything they started is still running (a browser, its
# helpers, WebKitWebDriver, an Xvfb, a game), and ends it then, so that it slows nothing after it.
# Those processes carry MARBLOOM_WEB_TESTS=TAG in their environment, which CTest gives the tests
# and which everything they start inherits; a browser elsewhere on the machine, another build's
# tests among them, does not carry this TAG and is not seen.
# Usage: leftovers.sh TAG
set -euo pipefail
tag=${1:?usage: leftovers.sh TAG}
entry="MARBLOOM_WEB_TESTS=$tag"

# The environments' entries are NUL-separated; one unreadable (another user's, or gone meanwhile)
# counts as not ours. grep's status says only whether it found one.
found=$(grep -lzxF -e "$entry" /proc/[0-9]*/environ 2>/dev/null || true)
left=()
for file in $found; do
  pid=${file#/proc/}
  left+=("${pid%/environ}")
done

if [ ${#left[@]} -eq 0 ]; then
  echo "leftovers: nothing the page's tests started is running"
  exit 0
fi
echo "leftovers: still running after the page's tests:" >&2
for pid in "${left[@]}"; do
  echo "  $pid $(tr '\0' ' ' 2>/dev/null <"/proc/$pid/cmdline" | cut -c1-200)" >&2
done
# Each with the process group it leads (a browser's helpers).
for pid in "${left[@]}"; do
  group=$(awk '{ sub(/.*\) /, ""); print $3 }' 2>/dev/null <"/proc/$pid/stat" || true)
  [ "$group" != "$pid" ] || kill -KILL -- "-$pid" 2>/dev/null || true
  kill -KILL "$pid" 2>/dev/null || true
done
exit 1
