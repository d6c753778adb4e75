#!/usr/bin/env bash
# Renders the PNG sizes of the program's icon from stowbox.svg; run after editing the SVG
# and commit the results (needs rsvg-convert from Debian's librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" stowbox.svg --output "stowbox-$size.png"
done
