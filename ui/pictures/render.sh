#!/bin/sh
# Renders the program's pictures from their SVG sources, at device pixel ratios 1 and 2
# (NAME.png and NAME@2x.png). The PNGs are committed, so building the program needs neither
# this script nor its tools: rsvg-convert (librsvg2-bin) and convert (imagemagick).
#
# The pedal picture is 1471 x 878, laid out centred on a page of at most 800 x 674, so only
# its middle can ever show: pedals.png holds that part alone (800 x 674 from 335, 102), cut
# out of a whole rendering so that its pixels are those of the whole picture.
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

png() { convert "$@" -strip -define png:exclude-chunks=date,time "$out"; }

for ratio in 1 2; do
  suffix=$([ "$ratio" = 1 ] && echo "" || echo "@${ratio}x")
  rsvg-convert --width $((1471 * ratio)) --height $((878 * ratio)) --output "$work/pedals.png" pedals.svg
  out="pedals$suffix.png"
  png "$work/pedals.png" -crop "$((800 * ratio))x$((674 * ratio))+$((335 * ratio))+$((102 * ratio))" +repage
  rsvg-convert --width $((149 * ratio)) --height $((100 * ratio)) --output "logo$suffix.png" logo.svg
done
