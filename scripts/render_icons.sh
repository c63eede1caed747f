#!/usr/bin/env bash
# Renders the program icon's PNG sizes from packaging/icons/io.tessera.Tessera.svg
# (rsvg-convert from librsvg2-bin). The PNGs are committed; run this after
# changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for size in 16 32 48 64 128 256; do
  mkdir -p "$size"
  rsvg-convert -w "$size" -h "$size" io.tessera.Tessera.svg -o "$size/io.tessera.Tessera.png"
done
