#!/usr/bin/env bash
# Installs the build into a scratch root and starts the installed executable in a virtual X display with
# its own empty home, configuration and data folders; the checks run inside the display (smoke-window.sh).
#   smoke-test.sh CMAKE BUILD-DIR SCRATCH SCREENSHOT CLOSE-WINDOW
set -euo pipefail

cmake="$1" build="$2" scratch="$3" screenshot="$4"
here="$(cd "$(dirname "$0")" && pwd)"

for tool in xvfb-run xdotool xwininfo import; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing; scripts/setup.sh installs it" >&2; exit 77; }
done

rm -rf "$scratch"
mkdir -p "$scratch"/{home,config,data,cache,runtime}
chmod 700 "$scratch/runtime"
DESTDIR="$scratch/root" "$cmake" --install "$build" --prefix /usr >"$scratch/install.log"

env -u WAYLAND_DISPLAY -u DISPLAY -u QT_QPA_PLATFORM -u SESSION_MANAGER \
  HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" \
  XDG_CACHE_HOME="$scratch/cache" XDG_RUNTIME_DIR="$scratch/runtime" \
  xvfb-run --auto-servernum --server-args="-screen 0 1280x800x24 -nolisten tcp" \
  bash "$here/smoke-window.sh" "$scratch/root/usr/bin/foldwise" "$scratch" "$screenshot"
