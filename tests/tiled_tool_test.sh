#!/bin/sh
# The map tool against the real Tiled editor: maps Tiled re-saves (renumbering its tilesets, in
# every layer format) build to the same bytes, and Tiled's own renderer draws the tool's export
# exactly as the designer's source. Skips (status 77) only when Tiled is not installed.
# Usage: tiled_tool_test.sh RPGTOOL CONTENT_DIR
set -u
tool=$1
content=$2
for p in tiled tmxrasterizer compare; do
    command -v $p >/dev/null 2>&1 || { echo "SKIP: $p is not installed (Debian packages tiled, imagemagick)"; exit 77; }
done
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp}
work=$(mktemp -d /tmp/tiled_tool.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/maps" "$work/art" "$work/out"
cp "$content"/maps/*.tmx "$content/maps/flags.bmp" "$work/maps/" && cp "$content/art/tiles.png" "$work/art/" || exit 1
cd "$work/maps" || exit 1
fails=0
check() {  # check WHAT CONDITION...
    what=$1; shift
    if "$@"; then :; else echo "FAIL: $what"; fails=$((fails + 1)); fi
}
# build TMX NAME: builds into ../out/NAME (the map's name inside the file is its file name).
build() { rm -f "../out/$2"; "$tool" map build "$1" "../out/$2" 2>>build.log; }
resave() { tiled --export-map "$1" "$2" >>tiled.log 2>&1 && test -s "$2"; }

for src in *.tmx; do
    name=${src%.tmx}
    stem=$(printf %s "$name" | tr . _)  # Tiled refuses to export to a file name with two dots
    build "$src" "$name.map"; check "$name: the source builds" test $? -eq 0
    mv "../out/$name.map" "../out/$name.source.map"

    resave "$src" "saved_$stem.tmx"; check "$name: Tiled re-saves it" test $? -eq 0
    check "$name: Tiled moved the flags tileset" grep -q 'firstgid="257" name="flags"' "saved_$stem.tmx"
    build "saved_$stem.tmx" "$name.map"
    check "$name: re-saved by Tiled, it builds to the same bytes" cmp -s "../out/$name.source.map" "../out/$name.map"

    for enc in csv base64 zlib gzip; do
        "$tool" map export "../out/$name.source.map" "${enc}_$stem.tmx" --encoding $enc 2>>build.log
        check "$name: export as $enc" test $? -eq 0
        resave "${enc}_$stem.tmx" "${enc}_saved_$stem.tmx"; check "$name: Tiled re-saves the $enc export" test $? -eq 0
        case $enc in csv) want='encoding="csv"' ;; base64) want='encoding="base64">' ;; *) want="compression=\"$enc\"" ;; esac
        check "$name: Tiled keeps the $enc format" grep -q "$want" "${enc}_saved_$stem.tmx"
        build "${enc}_saved_$stem.tmx" "$name.map"
        check "$name: the $enc export re-saved by Tiled builds to the same bytes" cmp -s "../out/$name.source.map" "../out/$name.map"
    done

    # Tiled's renderer: the export looks exactly like the source, flag layers see-through alike.
    tmxrasterizer "$src" "../out/$name.source.png" >>tiled.log 2>&1; check "$name: tmxrasterizer draws the source" test $? -eq 0
    tmxrasterizer "csv_$stem.tmx" "../out/$name.export.png" >>tiled.log 2>&1
    check "$name: tmxrasterizer draws the export" test $? -eq 0
    w=$(sed -n 's/.*<map [^>]* width="\([0-9]*\)" height="\([0-9]*\)".*/\1/p' "$src")
    h=$(sed -n 's/.*<map [^>]* width="\([0-9]*\)" height="\([0-9]*\)".*/\2/p' "$src")
    check "$name: drawn at the map's size" test "$(identify -format '%w %h' "../out/$name.source.png")" = "$((w * 16)) $((h * 16))"
    check "$name: the export draws as the source" compare -metric AE "../out/$name.source.png" "../out/$name.export.png" null: 2>/dev/null
done

if [ $fails -ne 0 ]; then
    echo "--- build.log"; cat build.log; echo "--- tiled.log"; tail -20 tiled.log
    exit 1
fi
echo "rpgtool with Tiled: all checks passed"
