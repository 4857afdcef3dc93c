#!/bin/bash
# A copy of the built data/ without the portal from Brightmere to its cave: the playthrough must
# stop in the act that needs the cave, name it and the way it could not find, and keep the last screen.
# Usage: broken_portal.sh RPG_PLAYTHROUGH RPGTOOL DATA_DIR
set -euo pipefail
play=$1 tool=$2 data=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

mkdir "$tmp/data"
for f in "$data"/*; do ln -s "$(readlink -f "$f")" "$tmp/data/"; done
rm "$tmp/data/brightmere.map"
"$tool" map export "$data/brightmere.map" "$tmp/brightmere.tmx"
python3 - "$tmp/brightmere.tmx" <<'PY'
import sys
import xml.etree.ElementTree as ET
path = sys.argv[1]
tree = ET.parse(path)
removed = 0
for group in tree.getroot().iter("objectgroup"):
    if group.get("name") != "portals":
        continue
    for obj in list(group):
        props = {p.get("name"): p.get("value") for p in obj.iter("property")}
        if props.get("dest_map", "").endswith("brightmere_cave.map"):
            group.remove(obj)
            removed += 1
if removed != 1:
    sys.exit("expected one portal to the cave, found %d" % removed)
tree.write(path)
PY
"$tool" map build "$tmp/brightmere.tmx" "$tmp/data/brightmere.map"

status=0
"$play" --data "$tmp/data" --dir "$tmp/run" --shot "$tmp/last.bmp" >"$tmp/out.txt" 2>&1 || status=$?
cat "$tmp/out.txt"
fail() { echo "broken_portal: $*" >&2; exit 1; }
[ "$status" -eq 1 ] || fail "the run ended with status $status, not 1"
grep -q '^act 1 ' "$tmp/out.txt" || fail "act 1 was not finished first"
grep -q '^act 2 ' "$tmp/out.txt" && fail "act 2 was finished without the cave"
grep -q 'FAILED: no way from brightmere.map to brightmere_cave.map' "$tmp/out.txt" || fail "the failure does not name the way"
grep -q 'at act 2 "Brightmere' "$tmp/out.txt" || fail "the failure does not name act 2"
[ -s "$tmp/last.bmp" ] || fail "no picture of the last screen"
echo "broken_portal: the run stopped in act 2, as it should"
