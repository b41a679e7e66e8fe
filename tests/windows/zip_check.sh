#!/usr/bin/env bash
# The programs in the Windows zip, read back from the files: marbloom.exe a GUI program (no
# console opens for it) and marbloom-console.exe a console one; each with the icon freeglut gives
# its window, at 16, 32, 48 and 256 px, a version resource of the project's version, and the
# application manifest that declares it DPI-aware.
# Usage: zip_check.sh ZIP VERSION
set -euo pipefail
zip=$1 version=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
unzip -q "$zip" -d "$dir"
failed=0
for program in marbloom:2 marbloom-console:3; do
  exe=$dir/marbloom/${program%:*}.exe
  headers=$(x86_64-w64-mingw32-objdump -p "$exe")
  subsystem=$(sed -n 's/^Subsystem[[:space:]]*0*\([0-9]*\).*/\1/p' <<<"$headers")
  problems=()
  [ "$subsystem" = "${program#*:}" ] || problems+=("subsystem $subsystem, not ${program#*:}")

  # The icon group as an .ico, and the width of each of its images.
  wrestool -x --type=group_icon --name=GLUT_ICON -o "$dir/icon.ico" "$exe" 2>&1 || true
  sizes=$(icotool -l "$dir/icon.ico" 2>&1 || true)
  sizes=$(sed -n 's/.*--width=\([0-9]*\) .*/\1/p' <<<"$sizes")
  [ "$(echo $sizes)" = "16 32 48 256" ] || problems+=("no GLUT_ICON of 16, 32, 48 and 256 px")
  rm -f "$dir/icon.ico"

  # The version resource, decompiled: the numbers Explorer shows as the file's version, and the
  # strings of its properties.
  resources=$(x86_64-w64-mingw32-windres -i "$exe" -O rc 2>&1 || true)
  numbers="${version//./, }, 0"
  for line in "FILEVERSION $numbers" "PRODUCTVERSION $numbers" "\"ProductName\", \"Marbloom\"" \
    "\"FileVersion\", \"$version\"" "\"ProductVersion\", \"$version\"" "\"FileDescription\", \"Marbloom"; do
    grep -q -F -e "$line" <<<"$resources" || problems+=("no $line in the version resource")
  done
  # The manifest Windows reads at start-up (resource 1 of type 24, RT_MANIFEST): per-monitor DPI
  # awareness and the older element's fallback, the invoker's rights, Windows 10 and 11 supported.
  manifest=$(wrestool -x --raw --type=24 --name=1 "$exe" 2>&1 || true)
  for element in ">PerMonitorV2, PerMonitor</dpiAwareness>" ">true/pm</dpiAware>" 'level="asInvoker"' \
    '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>'; do
    grep -q -F -e "$element" <<<"$manifest" || problems+=("no $element in the manifest")
  done
  for problem in "${problems[@]}"; do
    echo "${exe##*/}: $problem"
    failed=1
  done
done
exit $failed
