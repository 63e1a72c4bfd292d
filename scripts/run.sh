#!/usr/bin/env bash
# Sets up the machine, builds Foldwise and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target foldwise

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Foldwise is built (build/app/foldwise), but there is no display to show its window on." >&2
  echo "Run this from a desktop session, or try it under a virtual display: xvfb-run build/app/foldwise" >&2
  exit 1
fi
exec build/app/foldwise
