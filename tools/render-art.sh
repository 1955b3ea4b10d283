#!/usr/bin/env bash
# Renders the art from its sources in resources/art/ into the files the build uses, which are
# committed so that building needs none of these tools: the program icon as PNGs
# (resources/icons/) and as the Windows icon with every size Windows asks for
# (resources/quillarbor.ico), and the sample skins as 24-bit bitmaps (samples/). Installs what it
# needs (librsvg2-bin, icoutils, ImageMagick). The same sources and tools give the same bytes.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
art=$root/resources/art

"$root/tools/setup-debian.sh" --art
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

render() { rsvg-convert --width "$2" --height "$2" "$1" --output "$3"; }

# The hicolor theme and the Qt program take these sizes; the Windows icon takes 20 and 40 too,
# for the small icons at 125 % and 250 %, and its 256 stays a PNG inside the .ico.
for size in 16 20 24 32 40 48 64 128 256; do
    render "$art/quillarbor.svg" "$size" "$work/quillarbor-$size.png"
done
for size in 16 24 32 48 64 128 256; do
    cp "$work/quillarbor-$size.png" "$root/resources/icons/"
done
icotool --create --output="$root/resources/quillarbor.ico" \
    "$work"/quillarbor-{16,20,24,32,40,48,64}.png --raw="$work/quillarbor-256.png"

# Each skin at the size its source gives; a name in capitals keeps its extension in capitals.
for source in "$art"/samples/*.svg; do
    name=$(basename "$source" .svg)
    extension=bmp
    [[ "$name" == "${name^^}" ]] && extension=BMP
    rsvg-convert "$source" --output "$work/$name.png"
    convert "$work/$name.png" -background white -alpha remove -alpha off -type TrueColor \
        "BMP3:$root/samples/$name.$extension"
done
echo "render-art: wrote resources/icons/, resources/quillarbor.ico and samples/"
