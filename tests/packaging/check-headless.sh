#!/usr/bin/env bash
# The build without the window is the command line alone: its executable links no Qt library besides Core,
# and `cmake --install` puts in place the executable, man page, completion and user unit, and nothing of
# the window's (no desktop entry, icons or metainfo).
#   check-headless.sh CMAKE BUILD-DIR FOLDWISE SCRATCH
set -euo pipefail

cmake="$1" build="$2" foldwise="$3" scratch="$4"
failures=0
failure() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

others="$(ldd "$foldwise" | grep -o 'libQt6[A-Za-z]*' | sort -u | grep -vx libQt6Core || true)"
[ -z "$others" ] || failure "the executable links $(echo $others)"

rm -rf "$scratch"
DESTDIR="$scratch" "$cmake" --install "$build" --prefix /usr >/dev/null
for file in bin/foldwise share/man/man1/foldwise.1.gz share/bash-completion/completions/foldwise \
  lib/systemd/user/foldwise-watch.service; do
  [ -f "$scratch/usr/$file" ] || failure "no usr/$file"
done
for folder in applications icons metainfo; do
  [ ! -e "$scratch/usr/share/$folder" ] || failure "usr/share/$folder is installed without the window"
done
exit $((failures > 0))
