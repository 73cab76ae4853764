#!/usr/bin/env bash
# Renders the program's icon (packaging/jorlivaronmng.svg) as the PNG sizes
# that icon themes look for first (packaging/icons/NN/jorlivaronmng.png),
# which the program also carries in its resources for its windows and tray;
# the PNGs are committed, so run this after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/ensure-packages.sh
ensure_packages librsvg2-bin
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p packaging/icons/$size
    rsvg-convert --width "$size" --height "$size" --format png \
        --output packaging/icons/$size/jorlivaronmng.png packaging/jorlivaronmng.svg
done
