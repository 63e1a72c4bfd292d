#!/usr/bin/env bash
# Builds the .deb with CPack, checks its control fields, unpacks it into a scratch root with `dpkg -x` and
# checks the freedesktop layout there.
#   check-deb.sh CPACK BUILD-DIR SCRATCH
set -euo pipefail

cpack="$1" build="$2" scratch="$3"
here="$(cd "$(dirname "$0")" && pwd)"

rm -rf "$scratch"
mkdir -p "$scratch"
"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log"
deb="$(find "$scratch/out" -maxdepth 1 -name '*.deb')" # more than one are not one file
[ -f "$deb" ] || { echo "FAIL: expected one .deb in $scratch/out, found: $deb" >&2; exit 1; }

failures=0
[ "$(dpkg-deb -f "$deb" Package)" = foldwise ] || { echo "FAIL: the package is not named foldwise" >&2; failures=1; }
for field in Version Maintainer Description; do
  [ -n "$(dpkg-deb -f "$deb" "$field")" ] || { echo "FAIL: no $field field" >&2; failures=1; }
done
# Depends is a comma-separated list; each runtime package must be one of its entries.
depends=",$(dpkg-deb -f "$deb" Depends | tr -d ' '),"
for package in libqt6core6 libqt6gui6 libqt6widgets6 libqt6charts6 libqt6svg6 qt6-qpa-plugins \
  shared-mime-info fonts-noto-color-emoji; do
  grep -qE ",$package(\([^)]*\))?," <<<"$depends" || { echo "FAIL: Depends lacks $package: $depends" >&2; failures=1; }
done
! dpkg-deb --contents "$deb" | awk '{ print $2 }' | grep -qv '^root/root$' ||
  { echo "FAIL: the package holds files not owned by root" >&2; failures=1; }

dpkg -x "$deb" "$scratch/root"
bash "$here/check-layout.sh" "$scratch/root" || failures=1
exit "$failures"
