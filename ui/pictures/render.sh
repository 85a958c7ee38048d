#!/bin/sh
# Renders the program's pictures from their SVG sources. The PNGs are committed,
# so building the program does not need this script or rsvg-convert (librsvg2-bin).
set -eu
cd "$(dirname "$0")"
rsvg-convert --width 1471 --height 878 --output pedals.png pedals.svg
rsvg-convert --width 149 --height 100 --output logo.png logo.svg
