#!/usr/bin/env bash
# Installs the build into a scratch root with `cmake --install` and checks the freedesktop layout.
#   check-install.sh CMAKE BUILD-DIR SCRATCH
set -euo pipefail

cmake="$1" build="$2" scratch="$3"
here="$(cd "$(dirname "$0")" && pwd)"

rm -rf "$scratch"
mkdir -p "$scratch"
DESTDIR="$scratch/root" "$cmake" --install "$build" --prefix /usr >"$scratch/install.log"
bash "$here/check-layout.sh" "$scratch/root"
