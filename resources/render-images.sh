#!/usr/bin/env bash
# Re-renders the raster images in this folder from their SVG sources:
#   illustration.svg -> illustration.jpg (237x213, baseline JPEG, 4:2:0, 96 dpi)
#   icon.svg         -> icon.png (32x32, 256 colours, on/off mask) and icon.ico (16, 32, 48)
# The build only uses the committed JPEG/PNG/ICO files; run this by hand
# after editing an SVG.
set -euo pipefail

cd "$(dirname "$(readlink -f "$0")")"

missing=0
if ! command -v rsvg-convert >/dev/null 2>&1; then
    echo "rsvg-convert not found: install the Debian package librsvg2-bin" >&2
    missing=1
fi
if ! command -v convert >/dev/null 2>&1; then
    echo "convert not found: install the Debian package imagemagick" >&2
    missing=1
fi
if [ "$missing" -ne 0 ]; then
    echo "e.g.: sudo apt-get install librsvg2-bin imagemagick" >&2
    exit 1
fi

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# Illustration
rsvg-convert -w 237 -h 213 -b white illustration.svg -o "$tmp/illustration.png"
convert "$tmp/illustration.png" -background white -alpha remove -alpha off \
    -colorspace sRGB -type TrueColor -strip -interlace none \
    -sampling-factor 2x2,1x1,1x1 -quality 85 \
    -units PixelsPerInch -density 96 JPEG:illustration.jpg

# Icon
# A classic icon: at most 256 colours and an on/off transparency mask, so that
# no pixel of the picture lets the title bar show through.
for size in 16 32 48; do
    rsvg-convert -w "$size" -h "$size" icon.svg -o "$tmp/icon-$size.png"
    convert "$tmp/icon-$size.png" -channel A -threshold 50% +channel \
        +dither -colors 255 "$tmp/icon-$size-masked.png"
done
convert "$tmp/icon-32-masked.png" -strip PNG32:icon.png
convert "$tmp/icon-16-masked.png" "$tmp/icon-32-masked.png" "$tmp/icon-48-masked.png" icon.ico

echo "Rendered illustration.jpg, icon.png and icon.ico"
