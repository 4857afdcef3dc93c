#!/bin/sh
# rpgtool's save verbs from the command line: the JSON of a saved game, and a damaged one refused.
# Usage: rpgtool_save_test.sh RPGTOOL SAVES_DIR (the fuzz seeds: newgame, midgame, cut)
set -u
tool=$1
saves=$2
work=$(mktemp -d /tmp/rpgtool_save.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
fails=0
check() {  # check WHAT CONDITION...
    what=$1; shift
    if "$@"; then :; else echo "FAIL: $what"; fails=$((fails + 1)); fi
}

"$tool" save dump "$saves/midgame" >mid.json 2>err; check "dump succeeds" test $? -eq 0
check "nothing on stderr" test ! -s err
check "the JSON names the members, in file order" python3 - mid.json <<'PY'
import json, sys
d = json.load(open(sys.argv[1]))
assert list(d) == ["player[0]", "player[1]", "played", "map", "flags", "event_checks"], list(d)
stats = ["str", "wis", "intel", "con", "cha", "hp", "max_hp", "mana", "max_mana", "exp", "level", "ac", "base_ac",
         "damage", "base_damage", "gold", "num_won", "move_range", "attack_range"]
assert list(d["player[0]"]) == ["x", "y", "facing", "equip", "inv", "name"] + stats + ["won_battles"]
p = d["player[0]"]
assert (p["x"], p["y"], p["facing"], p["name"], p["gold"], p["level"]) == (1152, 112, 3, "Arven", 213, 5), p
assert p["equip"][3] == {"id": 4, "name": "Ring"}
assert p["inv"][3] == {"equipped": True, "armour": 0, "damage": 3, "id": 4, "price": 0, "type": 3, "name": "item4"}
assert len(p["won_battles"]) == 25 and p["won_battles"][2] == "selka_battle.map"
assert d["player[1]"]["name"] == "Miresa"
assert d["played"] == [False, True, True, True] + [False] * 16
assert (d["map"], d["flags"]) == ("worldmap.map", 0x88181)
assert d["event_checks"] == [{"map": "duskwing.map", "x": 3, "y": 4}, {"map": "cave.map", "x": 12, "y": 9},
                             {"map": "", "x": 0, "y": 0}]
PY

"$tool" save dump "$saves/cut" >out 2>err; rc=$?
check "damaged save: exit status 1" test $rc -eq 1
check "damaged save: the loader's message" \
    grep -q "The saved game $saves/cut is damaged: player\[0\]'s won-battle count 25 is more than the file holds." err
check "damaged save: nothing on stdout" test ! -s out
"$tool" save dump nowhere.sav >out 2>err; rc=$?
check "missing save: exit status 1" test $rc -eq 1
check "missing save: says so" grep -q "There is no saved game: nowhere.sav does not exist." err
"$tool" save load x.sav 2>err; check "unknown verb: usage status 2" test $? -eq 2
"$tool" save dump "$saves/midgame" --pretty >out 2>err; rc=$?
check "unknown option: usage status 2" test $rc -eq 2
check "unknown option: named" grep -q "rpgtool: unknown option --pretty" err

[ $fails -eq 0 ] && echo "rpgtool save CLI: all checks passed"
exit $fails
