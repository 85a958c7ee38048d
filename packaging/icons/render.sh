#!/bin/sh
# Renders the program icon's PNG sizes from its SVG source. The PNGs are committed, so
# building the program does not need this script or rsvg-convert (librsvg2-bin).
set -eu
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" --output "org.qzr.RudderPanel-$size.png" org.qzr.RudderPanel.svg
done
