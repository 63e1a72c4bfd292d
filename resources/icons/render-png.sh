#!/usr/bin/env bash
# Renders the PNG sizes of the application icon from foldwise.svg. Run it after editing the SVG and commit
# the results: they are small, and shipping them spares every build a dependency on an SVG renderer.
# Needs rsvg-convert (Debian package librsvg2-bin, installed by scripts/setup.sh).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$here/png"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio \
    "$here/foldwise.svg" --output "$here/png/foldwise-$size.png"
done
