#!/usr/bin/env bash
# Redraws the bitmap icons from hicolor/scalable/apps/org.cronalba.Cronalba.svg: the hicolor
# PNG sizes installed beside the SVG (for toolkits without an SVG renderer) and the Windows .ico.
# Run it after changing the SVG and commit what it writes. Needs rsvg-convert (librsvg2-bin)
# and ImageMagick's convert: ImageMagick's own SVG reader loses parts of this drawing, so
# librsvg renders every size and convert only packs the .ico.
set -euo pipefail
cd "$(dirname "$0")"
name=org.cronalba.Cronalba
for size in 16 24 32 48 64 128 256; do
    mkdir -p "hicolor/${size}x${size}/apps"
    rsvg-convert --width "$size" --height "$size" "hicolor/scalable/apps/$name.svg" \
        -o "hicolor/${size}x${size}/apps/$name.png"
done
convert hicolor/{16x16,32x32,48x48,256x256}/apps/$name.png ../windows/cronalba.ico
