#!/bin/sh
# rpgtool's map verbs from the command line: exit statuses, messages on standard error, outputs.
# Usage: rpgtool_cli_test.sh RPGTOOL CONTENT_MAPS_DIR
set -u
tool=$1
maps=$2
work=$(mktemp -d /tmp/rpgtool_cli.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
fails=0
check() {  # check WHAT CONDITION...
    what=$1; shift
    if "$@"; then :; else echo "FAIL: $what"; fails=$((fails + 1)); fi
}

"$tool" map build "$maps/meadow.tmx" meadow.map 2>err; check "build succeeds" test $? -eq 0
"$tool" map export meadow.map meadow2.tmx 2>err; check "export succeeds" test $? -eq 0

"$tool" map dump meadow.map >dump.json 2>err; check "dump succeeds" test $? -eq 0
check "dump names the members" grep -q '"spriteset_name"' dump.json
check "dump lists portals" grep -q '"dest_map": "./data/duskwing.map"' dump.json
check "missing images warn on stderr" grep -q "Tileset could not be found" err
check "dump has no tiles unasked" sh -c '! grep -q "\"tiles\"" dump.json'
"$tool" map dump meadow.map --tiles >tiles.json 2>/dev/null; check "dump --tiles adds the tiles" grep -q '"tiles"' tiles.json
"$tool" map dump --tiles meadow.map >tiles2.json 2>/dev/null; check "options before the file" cmp -s tiles.json tiles2.json
"$tool" map export --encoding zlib meadow.map z.tmx 2>/dev/null; check "export --encoding zlib" grep -q 'compression="zlib"' z.tmx
"$tool" map dump meadow.map --editor 1 >out 2>err; check "an option of another verb: usage status 2" test $? -eq 2
"$tool" map export meadow.map z.tmx --encoding zstd 2>err; check "an encoding the tool cannot write: usage status 2" test $? -eq 2

"$tool" map dump nowhere.map >out 2>err; rc=$?
check "missing map: exit status 1" test $rc -eq 1
check "missing map: the loader's message" grep -q "Couldn't find the map to load! nowhere.map" err
check "missing map: nothing on stdout" test ! -s out
head -c 200 meadow.map >cut.map
"$tool" map dump cut.map >out 2>err; rc=$?
check "damaged map: exit status 1" test $rc -eq 1
check "damaged map: names file and problem" grep -q "The map cut.map is damaged: the portal count 3 is more than the file holds" err

"$tool" map render meadow.map whole.bmp 2>/dev/null; check "render succeeds" test $? -eq 0
check "render writes a 512 x 320 BMP" sh -c 'test "$(od -An -tu4 -j18 -N8 whole.bmp | tr -s " ")" = " 512 320"'
"$tool" map render --editor 1 meadow.map ed.bmp 2>/dev/null; check "editor render succeeds" test $? -eq 0
"$tool" map render meadow.map ed.bmp --editor 2 2>err; check "editor render of a missing layer fails" test $? -eq 1

printf '<map width="2" height="2" tilewidth="16" tileheight="16">\n<layer name="layer 0" width="2" height="2"><data encoding="csv">1,2,3,x</data></layer></map>\n' >bad.tmx
"$tool" map build bad.tmx bad.map 2>err; rc=$?
check "bad TMX: exit status 1" test $rc -eq 1
check "bad TMX: file, line and problem" grep -q "bad.tmx:2: a cell is not a number" err
check "bad TMX: no output file" test ! -e bad.map

"$tool" map frobnicate 2>err; check "unknown verb: usage status 2" test $? -eq 2
"$tool" 2>err; check "no arguments: usage status 2" test $? -eq 2

[ $fails -eq 0 ] && echo "rpgtool map CLI: all checks passed"
exit $fails
