#!/usr/bin/env bash
# The programs in the Windows zip, read back from the files: marbloom.exe a GUI program (no
# console opens for it) and marbloom-console.exe a console one; each with the icon freeglut gives
# its window, at 16, 32, 48 and 256 px, and a version resource of the project's version.
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
  for problem in "${problems[@]}"; do
    echo "${exe##*/}: $problem"
    failed=1
  done
done
exit $failed
