#!/usr/bin/env bash
# Renders the programs' icons from their SVG sources into the PNG sizes of
# the hicolor theme, beside them in the same layout (icons/<size>/<context>).
# Run after editing an SVG and commit the PNGs: the build does not need the
# renderer. Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/.."
command -v rsvg-convert >/dev/null || { echo "rsvg-convert missing: apt-get install librsvg2-bin" >&2; exit 1; }
for svg in modelviewer/icons/scalable/*/*.svg resultsviewer/icons/scalable/*/*.svg; do
  root=${svg%%/scalable/*}
  rest=${svg#*/scalable/}
  for size in 16 32 48 64 128 256; do
    out="$root/${size}x${size}/${rest%.svg}.png"
    mkdir -p "$(dirname "$out")"
    rsvg-convert -w "$size" -h "$size" "$svg" -o "$out"
  done
done
