#!/usr/bin/env bash
# One validator's verdict on one installed file, as the distributions' tools give it: the check
# fails on any error and on any warning the tool prints.
# Usage: validate.sh man PAGE | lintian BUILD_DIR
set -euo pipefail
case ${1:?usage: validate.sh man PAGE | lintian BUILD_DIR} in
  man)
    # groff exits 0 on warnings; -ww turns them all on and they go to stderr.
    warnings=$(LC_ALL=C.UTF-8 groff -man -ww -z -Tutf8 "$2" 2>&1)
    if [ -n "$warnings" ]; then
      echo "$warnings"
      exit 1
    fi
    ;;
  lintian)
    # The package of this build, made apart from the build's own packages.
    out=$(mktemp -d)
    trap 'rm -rf "$out"' EXIT
    if ! cpack -G DEB -B "$out" --config "$2/CPackConfig.cmake" >"$out/cpack.log" 2>&1; then
      cat "$out/cpack.log"
      exit 1
    fi
    debs=("$out"/marbloom_*.deb)
    # Tags are printed as "E: package: tag" and "W: ..."; the exit status's meaning has changed
    # between lintian versions, the output's format has not.
    report=$(lintian "${debs[@]}" 2>/dev/null) || true
    echo "$report"
    if grep -q -E '^[EW]: ' <<<"$report"; then
      exit 1
    fi
    ;;
  *)
    echo "validate.sh: unknown check $1" >&2
    exit 2
    ;;
esac
