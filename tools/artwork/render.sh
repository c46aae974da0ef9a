#!/bin/sh
# Regenerates every PNG in app/res/ (and the two scalable icons there) from
# the SVG sources in this folder. Needs rsvg-convert (Debian: librsvg2-bin).
# The small sizes have sources of their own, drawn on their pixel grid, because
# scaling one drawing down blurs its lines at 16 and 32 pixels.
#
# Usage: tools/artwork/render.sh [output-folder]   (default: app/res)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
res=${1:-$here/../../app/res}

if ! command -v rsvg-convert >/dev/null 2>&1; then
    echo "render.sh: rsvg-convert not found; install librsvg2-bin" >&2
    exit 1
fi
mkdir -p "$res"

png() { # source.svg zoom out.png
    rsvg-convert --zoom "$2" --output "$3" "$1"
}

for name in tarvex tarvex-document; do
    png "$here/$name-16.svg" 1 "$res/$name-16.png"
    png "$here/$name-32.svg" 1 "$res/$name-32.png"
    png "$here/$name.svg" 1 "$res/$name-48.png"
    cp "$here/$name.svg" "$res/$name.svg"
done

# Toolbar strip: the six 16 x 15 button images side by side, in button order.
# They are nested into one SVG, so the high-DPI strip is drawn from the
# vectors at twice the size rather than by enlarging pixels.
strip=$(mktemp "${TMPDIR:-/tmp}/tarvex-toolbar.XXXXXX")
trap 'rm -f "$strip"' EXIT
{
    echo '<svg xmlns="http://www.w3.org/2000/svg" width="96" height="15" viewBox="0 0 96 15">'
    x=0
    for button in new open save update add delete; do
        sed "s/<svg /<svg x=\"$x\" y=\"0\" /" "$here"/toolbar/*-"$button".svg
        x=$((x + 16))
    done
    echo '</svg>'
} >"$strip"
png "$strip" 1 "$res/toolbar.png"
png "$strip" 2 "$res/toolbar@2x.png"
