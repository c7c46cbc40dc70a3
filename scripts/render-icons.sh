#!/usr/bin/env bash
# Renders packaging/icons/velmora-SIZE.png from velmora.svg after the drawing changed.
# Needs rsvg-convert (Debian package librsvg2-bin); the PNGs are committed, so builds do not.
set -euo pipefail
icons=$(cd "$(dirname "$0")/../packaging/icons" && pwd)
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" -o "$icons/velmora-$size.png" "$icons/velmora.svg"
done
