#!/usr/bin/env bash
# Checks that ROOT, a scratch folder standing in for /, holds Foldwise installed under /usr where a
# freedesktop desktop looks for it: the executable and its user unit, the desktop entry, the hicolor icons and
# the metainfo.
#   check-layout.sh ROOT
set -euo pipefail

root="$1"
usr="$root/usr"
app_id=org.foldwise.Foldwise
failures=0
failure() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Width and height of a PNG, from its header chunk.
png_size() {
  local b
  read -r -a b < <(od -An -j16 -N8 -tu1 "$1")
  echo "$(((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]))x$(((b[4] << 24) | (b[5] << 16) | (b[6] << 8) | b[7]))"
}

[[ -f $usr/bin/foldwise && -x $usr/bin/foldwise ]] || failure "no executable usr/bin/foldwise"
grep -qx 'ExecStart=/usr/bin/foldwise watch' "$usr/lib/systemd/user/foldwise-watch.service" ||
  failure "no user unit usr/lib/systemd/user/foldwise-watch.service that starts /usr/bin/foldwise"

desktop="$usr/share/applications/$app_id.desktop"
desktop-file-validate "$desktop" || failure "no valid desktop entry usr/share/applications/$app_id.desktop"
for line in Name=Foldwise Exec=foldwise Icon=foldwise 'Categories=Utility;FileTools;'; do
  grep -qxF "$line" "$desktop" || failure "the desktop entry lacks the line $line"
done

icons="$usr/share/icons/hicolor"
[ -f "$icons/scalable/apps/foldwise.svg" ] || failure "no scalable icon"
for size in 16 22 24 32 48 64 128 256; do
  png="$icons/${size}x${size}/apps/foldwise.png"
  [[ -f $png && $(png_size "$png") == "${size}x${size}" ]] || failure "no ${size}x${size} icon of that size"
done

[ -f "$usr/share/metainfo/$app_id.metainfo.xml" ] || failure "no metainfo usr/share/metainfo/$app_id.metainfo.xml"
# Checks the metainfo together with the desktop entry and icon it names.
appstreamcli validate-tree --no-net "$root" >"$root.validate-tree.log" 2>&1 ||
  failure "appstreamcli validate-tree fails: $(cat "$root.validate-tree.log")"

outside="$(find "$root" -mindepth 1 -maxdepth 1 ! -name usr)"
[ -z "$outside" ] || failure "installed outside /usr: $outside"
exit $((failures > 0))
