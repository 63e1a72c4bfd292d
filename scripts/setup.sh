#!/usr/bin/env bash
# Installs the Debian 12 packages Foldwise needs to build, run and test.
# Idempotent: installs only what is missing. Needs root (or sudo).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev qt6-tools-dev qt6-l10n-tools libqt6opengl6-dev qt6-qpa-plugins libqt6svg6
  shared-mime-info fonts-noto-color-emoji fonts-dejavu-core adwaita-icon-theme
  libgtest-dev xvfb xauth
  libattr1-dev libacl1-dev libsqlite3-dev
  desktop-file-utils appstream fd-find groff-base
  librsvg2-bin imagemagick x11-utils xdotool
  fusefat dosfstools exfat-fuse exfatprogs ntfs-3g bindfs fuse3 strace
  ruby-github-linguist systemd clang-tidy
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
