#!/usr/bin/env bash
# Every artefact of a release carries the project's version: in its name, in the .deb's control
# file and changelog, in the AppStream release, in the Windows programs' version resource (read
# back by zip_check.sh) and in the page. A version changed in one place only fails here.
# Usage: release_versions.sh RELEASE_DIR VERSION
set -euo pipefail
dir=$1 version=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
problems=()
# The version as a whole word: 0.1.0 is not found in 0.1.01 or 10.1.0.
has_version() {
  grep -q -E "(^|[^0-9.])${version//./\\.}([^0-9.]|$)" "$1"
}

shopt -s nullglob
debs=("$dir"/marbloom_"$version"-*_*.deb)
windows=("$dir"/marbloom-"$version"*-windows.zip)
web=("$dir"/marbloom-"$version"*-web.zip)
for file in "$dir"/*; do
  case ${file##*/} in
    SHA256SUMS) ;;
    marbloom_"$version"-*_*.deb | marbloom-"$version"-*.zip | marbloom-"$version"+dirty-*.zip) ;;
    *) problems+=("${file##*/}: its name does not carry the version $version") ;;
  esac
done
[ ${#debs[@]} -eq 1 ] || problems+=("no one .deb of $version (${#debs[@]})")
[ ${#web[@]} -eq 1 ] || problems+=("no web zip of $version")

if [ ${#debs[@]} -eq 1 ]; then
  # The package's version is the project's with a Debian revision, and its changelog's newest
  # entry is that version.
  package_version=$(dpkg-deb -f "${debs[0]}" Version)
  case $package_version in
    "$version"-*) ;;
    *) problems+=(".deb: Version $package_version, not $version-REVISION") ;;
  esac
  dpkg-deb -x "${debs[0]}" "$work/deb"
  entry=$(zcat "$work/deb/usr/share/doc/marbloom/changelog.Debian.gz")
  entry=${entry%%$'\n'*}
  case $entry in
    "marbloom ($package_version) "*) ;;
    *) problems+=(".deb: the changelog's newest entry is '$entry', not $package_version") ;;
  esac
  release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' \
    "$work/deb/usr/share/metainfo/org.marbloom.Marbloom.metainfo.xml")
  release=${release%%$'\n'*}
  [ "$release" = "$version" ] || problems+=(".deb: the AppStream release is '$release', not $version")
fi

if [ ${#web[@]} -eq 1 ]; then
  unzip -q "${web[0]}" index.html -d "$work/web"
  has_version "$work/web/index.html" || problems+=("web zip: index.html does not show $version")
fi

failed=0
if [ ${#windows[@]} -eq 1 ]; then
  bash "$here/../windows/zip_check.sh" "${windows[0]}" "$version" || failed=1
fi
for problem in "${problems[@]}"; do
  echo "$problem"
  failed=1
done
exit $failed
