#!/bin/sh
# Draws every walked map of a build's data/ (towns, dungeons, the world map, and the scene
# stages; battle grounds are left out) into docs/maps/NAME.png with "rpgtool map render".
#
#   tools/render_maps.sh [BUILD_DIR [OUT_DIR]]     (defaults: build, docs/maps)
#   cmake --build build --target map_pictures      (the same through the build)
#
# The pictures are made whole by this script: a map that is gone from data/ loses its picture.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=${2:-$root/docs/maps}
tool=$build/tools/rpgtool
[ -x "$tool" ] || { echo "render_maps: no $tool; build rpgtool first" >&2; exit 1; }
[ -d "$build/data" ] || { echo "render_maps: no $build/data; build the content first" >&2; exit 1; }
command -v convert >/dev/null || { echo "render_maps: ImageMagick's convert is needed" >&2; exit 1; }
mkdir -p "$out"
out=$(cd "$out" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# rpgtool reads the pictures a map names (./data/tiles.bmp ...) from the working folder.
cd "$build"
rm -f "$out"/*.png
count=0
for f in data/*.map data/*.MAP; do
    [ -f "$f" ] || continue
    if "$tool" map dump "$f" | grep -q '"battle": true'; then continue; fi
    name=$(basename "$f")
    name=${name%.*}
    "$tool" map render "$f" "$tmp/$name.bmp"
    # -strip: no dates in the file, so drawing an unchanged map again gives the same bytes.
    convert "$tmp/$name.bmp" -strip "$out/$name.png"
    count=$((count + 1))
done
echo "render_maps: $count maps drawn into $out"
