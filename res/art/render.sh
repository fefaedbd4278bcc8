#!/usr/bin/env bash
# Renders the committed PNGs from their SVG sources. Only a person changing the artwork runs this;
# the build uses the committed PNGs. Needs rsvg-convert (Debian package librsvg2-bin) and python3.
set -euo pipefail
cd "$(dirname "$0")"
if ! command -v rsvg-convert >/dev/null; then
  echo "render.sh: rsvg-convert is missing; install it with: apt-get install -y librsvg2-bin" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Application icon: the 16 px size has its own pixel-grid drawing, the rest scale the main one.
rsvg-convert -w 16 -h 16 vaskel-16.svg -o vaskel-16.png
for size in 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" vaskel.svg -o "vaskel-$size.png"
done

# Toolbar strips: transparency becomes the hard mask colour (252,108,108).
rsvg-convert toolbar.svg -o "$work/toolbar.png"
python3 pngkit.py flatten "$work/toolbar.png" toolbar141.png
rsvg-convert -s toolbar-16.css toolbar.svg -o "$work/toolbar16.png"
python3 pngkit.py flatten "$work/toolbar16.png" "$work/toolbar16-flat.png"
python3 pngkit.py palette16 "$work/toolbar16-flat.png" toolbar128.png

# Tip of the Day bulb, opaque on white.
rsvg-convert tip-bulb.svg -o "$work/tip-bulb.png"
python3 pngkit.py on-white "$work/tip-bulb.png" tip-bulb.png

# The Windows program's icon (vaskel.exe's resources), from the same PNGs.
convert vaskel-16.png vaskel-24.png vaskel-32.png vaskel-48.png vaskel-64.png vaskel-256.png \
  vaskel.ico

for png in vaskel-*.png toolbar141.png toolbar128.png tip-bulb.png; do
  echo "$png $(python3 pngkit.py size "$png")"
done
