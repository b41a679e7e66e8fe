#!/usr/bin/env bash
# Whether the test programs carry AddressSanitizer's and UndefinedBehaviorSanitizer's entry points
# exactly when the build is meant to be sanitized. The sanitizers stop a test at its first fault and
# LeakSanitizer checks each exit; a sanitizer build without them would pass without checking, and a
# plain build with them would be slower than it should. The entry points are in an instrumented
# binary whichever way the runtimes are linked: undefined symbols of a shared runtime (gcc) or
# defined by a static one (clang), so `ldd` would see only the former.
# The build is meant to be sanitized when it was configured so (MARBLOOM_SANITIZE, passed as the
# first argument) or when the test preset says so (MARBLOOM_EXPECT_SANITIZERS=1, set by the preset
# asan): a preset that lost its sanitizer option still fails here.
# Usage: instrumented_test.sh CONFIGURED_SANITIZED(0|1) BINARY...
set -euo pipefail
configured=${1:?usage: instrumented_test.sh CONFIGURED_SANITIZED(0|1) BINARY...}
shift
expected=no
if [ "$configured" = 1 ] || [ "${MARBLOOM_EXPECT_SANITIZERS:-}" = 1 ]; then
  expected=yes
fi

status=0
for binary in "$@"; do
  if ! symbols=$(nm "$binary"); then
    echo "instrumented: could not read the symbols of $binary" >&2
    status=1
    continue
  fi
  for entry in __asan_init __ubsan_handle_; do
    found=no
    if grep -E " ${entry}" <<<"$symbols" >/dev/null; then
      found=yes
    fi
    if [ "$expected" = yes ] && [ "$found" = no ]; then
      echo "instrumented: the sanitizer build is not instrumented (no ${entry} in $binary)" >&2
      status=1
    elif [ "$expected" = no ] && [ "$found" = yes ]; then
      echo "instrumented: $binary carries ${entry} in a build without sanitizers" >&2
      status=1
    fi
  done
done
[ "$status" = 0 ] && echo "instrumented: $expected, as expected, in $*"
exit $status
