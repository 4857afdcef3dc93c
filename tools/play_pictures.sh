#!/bin/sh
# Pictures of the game in play for the README: the automated player walks the story on a build's
# data/ and keeps the first screen of each kind in each act; a battle and a shop are copied out.
#
#   tools/play_pictures.sh [BUILD_DIR [OUT_DIR]]     (defaults: build, docs)
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=${2:-$root/docs}
play=$build/tests/rpg_playthrough
[ -x "$play" ] || { echo "play_pictures: no $play; build the tests first" >&2; exit 1; }
command -v convert >/dev/null || { echo "play_pictures: ImageMagick's convert is needed" >&2; exit 1; }
mkdir -p "$out"
out=$(cd "$out" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

cd "$build"
"$play" --dir "$tmp/run" --pictures "$tmp" >/dev/null
# The goblins of the old mine's deep gallery, the hero's movement range drawn; Brightmere's shop.
for pair in "act3-battle:screen-battle" "act3-shop:screen-shop"; do
    from=${pair%%:*} to=${pair#*:}
    [ -f "$tmp/$from.bmp" ] || { echo "play_pictures: the run showed no $from screen" >&2; exit 1; }
    convert "$tmp/$from.bmp" -strip "$out/$to.png"
done
echo "play_pictures: docs pictures written into $out"
