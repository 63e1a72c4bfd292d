#!/usr/bin/env bash
# Runs inside a virtual X display: starts the app, waits for its window to map, takes a screenshot, closes
# the window by typing its Quit shortcut through the X server, and expects the app to quit cleanly.
#   smoke-window.sh EXECUTABLE SCRATCH SCREENSHOT
set -euo pipefail

executable="$1" scratch="$2" screenshot="$3"
log="$scratch/app.log"

fail() {
  echo "FAIL: $*" >&2
  echo "--- the app's output:" >&2
  cat "$log" >&2
  exit 1
}

"$executable" >"$log" 2>&1 &
app=$!
trap 'kill "$app" 2>/dev/null || true' EXIT

# --sync waits until a visible window with that title exists; timeout bounds the wait if none ever does.
window="$(timeout 60 xdotool search --sync --onlyvisible --name '^Foldwise' | head -n 1)" ||
  fail "no window titled Foldwise mapped"
info="$(xwininfo -id "$window")"
grep -q 'Map State: IsViewable' <<<"$info" || fail "the window is not viewable: $info"
width="$(awk '/Width:/ { print $2 }' <<<"$info")"
height="$(awk '/Height:/ { print $2 }' <<<"$info")"
[[ $width -ge 400 && $height -ge 300 ]] || fail "the window is only ${width}x${height}"

# The window maps before it paints: take screenshots until one shows more than a blank fill.
mkdir -p "$(dirname "$screenshot")"
for _ in $(seq 1 60); do
  import -window "$window" "$screenshot"
  colours="$(convert "$screenshot" -format %k info:)"
  [ "$colours" -le 16 ] || break
  sleep 0.5
done
[ "$colours" -gt 16 ] || fail "the window stayed blank ($colours colours)"
echo "Screenshot: $screenshot"

xdotool windowfocus --sync "$window" key ctrl+q || fail "could not type Ctrl+Q into the window"
for _ in $(seq 1 60); do
  kill -0 "$app" 2>/dev/null || break
  sleep 0.5
done
! kill -0 "$app" 2>/dev/null || fail "the app is still running after its window was closed"
trap - EXIT
wait "$app" || fail "the app exited with status $?"
echo "The app started, showed its window and quit cleanly."
