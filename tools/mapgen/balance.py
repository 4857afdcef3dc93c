#!/usr/bin/env python3
"""Plays the story's route on paper: does every battle stay a fair fight for a party that took it?

Reads the monster table (src/CNpc.cpp), the battle maps (content/maps/*.tmx) and the item list
(content/lists/equip.txt), then walks ROUTE below: the gold found, bought and spent, the
experience earned, the levels a trainer could give, and each battle fought many times over with
seeded rolls by the game's rules (a blow misses one time in five and deals 0 to its maximum;
a monster's roll below the victim's armour does nothing; a potion heals fully and costs no turn).

    balance.py            prints the table that content/README.md shows
    balance.py --check    exits 1 when the route is impossible (a level not yet earned, gold
                          spent that was never found, a chest no map holds, an item its shop does
                          not sell), a battle is unfair (lost more than one time in twenty with
                          the potions carried, or needing more than its budget), or ROUTE has
                          drifted from content/route.txt, the road the automated player walks:
                          their chests, purchases and battle portals must come in the same order

The model is deliberately harsh on the party: monsters strike first (the party spends its first
turn closing in), every monster reaches its target each round (at most three in melee round one
person), and the party never uses the ground to fight them one at a time.
"""
import os
import random
import re
import sys
import xml.etree.ElementTree as ET

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
LEVEL_TABLE = [0, 0, 6, 25, 100, 300, 500, 800, 1000, 3000, 6000]
BASE_HP = 9          # a new character rolls 8 to 10
INN_PRICE = 5
RUNS = 2000
MELEE_SLOTS = 3      # melee monsters that can stand round one person
HEALING_POTION = 4

# The story's road. ("buy", item, member, shop); ("chest", item, member, where); ("give", item) hands
# a worn-out piece from Arven to Miresa; ("battle", map, budget): the potions it may cost on average.
ROUTE = [
    ("gold", 10, "new game"),
    ("chest", 5, 0, "Duskwing: the great hall"),
    ("chest", 4, 0, "Duskwing: the barracks"),
    ("buy", 1, 0, 0), ("buy", 7, 0, 0), ("buy", 4, 0, 0),
    ("battle", "duskwing_battle.map", 0),
    ("battle", "scouts_battle.map", 1),
    ("train", 0, 2),
    ("buy", 4, 0, 0),
    ("battle", "meadow_battle.map", 1),
    ("chest", 8, 0, "Brightmere Cave: the first hollow"),
    ("quest", 8, 0, "the herb planted"),
    ("chest", 9, 0, "the old mine: the miner's store"),
    ("chest", 4, 0, "the old mine: the flooded drift"),
    ("battle", "cave_battle.map", 1),
    ("train", 0, 3),
    ("battle", "cave_battle2.map", 1),
    ("quest", 15, 2, "the miner's reward"),
    ("inn",),
    ("buy", 6, 0, 1), ("buy", 4, 0, 1),
    ("chest", 4, 0, "the ruins: the chapel crypt"),
    ("battle", "ruins_battle2.map", 1),
    ("chest", 16, 0, "the ruins: the sealed vault"),
    ("battle", "ruins_battle.map", 1),
    ("train", 0, 4),
    ("inn",),
    ("buy", 10, 0, 2),
    ("chest", 12, 0, "the underground passage: the old guard post"),
    ("chest", 4, 0, "the underground passage: the smugglers' niche"),
    ("battle", "selka_battle.map", 2),
    ("inn",),
    ("buy", 11, 0, 3),
    ("battle", "selka_battle2.map", 1),
    ("chest", 4, 0, "Selka: the smugglers' warehouse"),
    ("join", "Miresa joins at the orc village"),
    ("chest", 14, 1, "the orc village: the chieftain's gift"),
    # Ten slots hold the pack: Arven's outgrown cap and boots were left behind on the way, so
    # Miresa gets his gloves and a cap from the orc trader.
    ("give", 6), ("buy", 1, 1, 4),
    ("train", 1, 2), ("train", 1, 3), ("train", 1, 4),
    ("buy", 4, 1, 4),
    ("battle", "cloud_battle.map", 1),
    ("battle", "cloud_battle2.map", 1),
    ("chest", 23, 0, "Cloud City: the observatory's strongbox"),
    ("train", 0, 5),
    ("buy", 17, 0, 5), ("give", 10),
    ("battle", "patrol_battle.map", 1),
    ("train", 1, 5),
    ("inn",),
    ("chest", 21, 1, "Vorrand: the rebels' cache"),
    ("chest", 4, 0, "Vorrand: the cellar of the Crooked Lantern"),
    ("buy", 18, 0, 6), ("give", 12),
    ("battle", "vorrand_battle.map", 1),
    ("inn",),
    ("buy", 4, 0, 6), ("buy", 4, 0, 6),
    ("battle", "vorrand_battle2.map", 2),
    ("train", 0, 6),
    ("inn",),
    ("buy", 4, 0, 6), ("buy", 4, 0, 6), ("buy", 4, 0, 6),
    ("leave", "Miresa falls in the castle"),
    ("battle", "castlebattle.map", 5),
]


def read_monsters():
    text = open(os.path.join(ROOT, "src", "CNpc.cpp"), encoding="utf-8").read()
    rows = re.findall(r'\{"([^"]*)",\s*(-?\d+),\s*(-?\d+),\s*(-?\d+),\s*(-?\d+),\s*(-?\d+),\s*(-?\d+),\s*(-?\d+)\}', text)
    table = {}
    for kind, r in enumerate(rows, 1):
        table[kind] = dict(name=r[0], damage=int(r[1]), hp=int(r[2]), gold=int(r[3]), exp=int(r[4]), reach=int(r[5]))
    return table


def read_items():
    words = open(os.path.join(ROOT, "content", "lists", "equip.txt"), encoding="utf-8").read().split()
    items = {}
    for i in range(0, len(words) - 4, 5):
        items[i // 5 + 1] = dict(name=words[i], type=int(words[i + 1]), damage=int(words[i + 2]),
                                 armour=int(words[i + 3]), price=int(words[i + 4]))
    return items


def read_shops():
    ids = [int(w) for w in open(os.path.join(ROOT, "content", "lists", "shops.txt"), encoding="utf-8").read().split()]
    return [ids[i:i + 5] for i in range(0, len(ids), 5)]


def read_chests():
    """Item numbers of every chest on every map, one entry per chest."""
    found = []
    folder = os.path.join(ROOT, "content", "maps")
    for f in sorted(os.listdir(folder)):
        if not f.endswith(".tmx"):
            continue
        for group in ET.parse(os.path.join(folder, f)).getroot().iter("objectgroup"):
            if group.get("name") != "events":
                continue
            for obj in group.iter("object"):
                props = {p.get("name"): p.get("value") for p in obj.iter("property")}
                if int(props.get("type", "0")) & 128:
                    found.append(int(props.get("quest", "0")))
    return found


def read_battle(name):
    kinds = []
    for group in map_source(name).iter("objectgroup"):
        if group.get("name") != "npcs":
            continue
        for obj in group.iter("object"):
            for p in obj.iter("property"):
                if p.get("name") == "id":
                    kinds.append(int(p.get("value")))
    return kinds


def map_source(name):
    """The parsed TMX source of a map named as the game names it ("./data/selka.map", "orcvillage.MAP")."""
    base = os.path.basename(name).lower()
    folder = os.path.join(ROOT, "content", "maps")
    for f in os.listdir(folder):
        if f.lower() in (os.path.splitext(base)[0] + ".tmx", base + ".tmx"):
            return ET.parse(os.path.join(folder, f)).getroot()
    raise SystemExit("balance: no map source for %s" % name)


def objects_at(root, group_name, col, row):
    """The properties of the objects of a map's object group on tile (col, row)."""
    for group in root.iter("objectgroup"):
        if group.get("name") != group_name:
            continue
        for obj in group.iter("object"):
            if (int(float(obj.get("x"))), int(float(obj.get("y")))) == (col * 16, row * 16):
                yield {p.get("name"): p.get("value") for p in obj.iter("property")}


def played_road(items):
    """The chests opened, the items bought and the battles fought through a portal, in the order of
    content/route.txt. Battles that a talk or a step sets off are left out: the route names no map
    for them."""
    by_name = {it["name"]: i for i, it in items.items()}
    road = []
    for line in open(os.path.join(ROOT, "content", "route.txt"), encoding="utf-8"):
        words = re.findall(r'"[^"]*"|[^\s"]+', line.split("#", 1)[0])
        if not words:
            continue
        if words[0] == "chest":
            found = [int(p.get("quest", "0")) for p in objects_at(map_source(words[1]), "events", int(words[2]), int(words[3]))
                     if int(p.get("type", "0")) & 128]
            road.append(("chest", found[0] if found else None))
        elif words[0] == "battle":
            dest = [p["dest_map"] for p in objects_at(map_source(words[1]), "portals", int(words[2]), int(words[3]))]
            road.append(("battle", os.path.basename(dest[0]) if dest else None))
        elif words[0] == "buy":
            road.extend(("buy", by_name.get(w)) for w in words[3:])
    return road


def drift(items):
    """Where ROUTE departs from the played road first, or None when they agree."""
    played = played_road(items)
    through_portals = {name for kind, name in played if kind == "battle"}
    paper = [(step[0], step[1]) for step in ROUTE
             if step[0] in ("chest", "buy") or (step[0] == "battle" and step[1] in through_portals)]
    for n, (a, b) in enumerate(zip(paper, played)):
        if a != b:
            return "step %d of the paper road is %s %s, content/route.txt has %s %s" % (n + 1, a[0], a[1], b[0], b[1])
    if len(paper) != len(played):
        return "the paper road has %d chests, purchases and battles, content/route.txt %d" % (len(paper), len(played))
    return None


class Member:
    def __init__(self, name):
        self.name, self.level, self.exp, self.gear = name, 1, 0, []

    def max_hp(self):
        return BASE_HP + 4 * (self.level - 1)

    def worn(self, items):
        best = {}
        for i in self.gear:
            it = items[i]
            if it["type"] not in (0, 1, 2, 3, 4):
                continue
            score = it["damage"] + it["armour"] + (0.01 * it["armour"])
            if it["type"] not in best or score > best[it["type"]][0]:
                best[it["type"]] = (score, i)
        return [i for _, i in best.values()]

    def damage(self, items):
        return self.level + sum(items[i]["damage"] for i in self.worn(items))

    def ac(self, items):
        return sum(items[i]["armour"] for i in self.worn(items))


def fight(rng, party, monsters, potions):
    """One battle by the rules; returns (won, potions used, rounds)."""
    hp = [p["hp"] for p in party]
    mons = [dict(m, hp=m["hp"], target=rng.randrange(len(party))) for m in monsters]
    used, rounds = 0, 0
    while True:
        rounds += 1
        if rounds > 200:
            return False, used, rounds
        for who, p in enumerate(party):
            threat = sorted((m["damage"] for m in mons if m["hp"] > 0 and m["target"] == who), reverse=True)[:2]
            if hp[who] <= sum(threat) and used < potions:
                hp[who] = p["hp"]
                used += 1
            if rounds == 1:
                continue   # closing in
            alive = [m for m in mons if m["hp"] > 0]
            if not alive:
                break
            victim = min(alive, key=lambda m: m["hp"])
            if rng.randint(1, 10) > 2:
                victim["hp"] -= rng.randint(0, p["damage"])
        if all(m["hp"] <= 0 for m in mons):
            return True, used, rounds
        melee = [0] * len(party)
        for m in mons:
            if m["hp"] <= 0:
                continue
            who = m["target"]
            if m["reach"] <= 1:
                if melee[who] >= MELEE_SLOTS:
                    continue
                melee[who] += 1
            if rng.randint(1, 10) <= 2:
                continue
            roll = rng.randint(0, m["damage"])
            if roll >= party[who]["ac"]:
                hp[who] -= roll
            if hp[who] < 1:
                return False, used, rounds


def main(argv):
    check = "--check" in argv
    monsters, items, shops, chests = read_monsters(), read_items(), read_shops(), read_chests()
    hero, comp = Member("Arven"), Member("Miresa")
    joined, gold, potions = False, 0, 0
    problems, rows, fought = [], [], set()
    for step in ROUTE:
        kind = step[0]
        if kind == "gold":
            gold += step[1]
        elif kind == "chest":
            if step[1] in chests:
                chests.remove(step[1])
            else:
                problems.append("%s: no chest on the maps holds %s" % (step[3], items[step[1]]["name"]))
            (hero, comp)[step[2]].gear.append(step[1])
            if step[1] == HEALING_POTION:
                potions += 1
        elif kind == "buy":
            if step[1] not in shops[step[3]]:
                problems.append("shop %d does not sell %s" % (step[3], items[step[1]]["name"]))
            gold -= items[step[1]]["price"]
            if step[1] == HEALING_POTION:
                potions += 1
            else:
                (hero, comp)[step[2]].gear.append(step[1])
            if gold < 0:
                problems.append("buying %s: the party has spent gold it never found" % items[step[1]]["name"])
        elif kind == "give":
            hero.gear.remove(step[1])
            comp.gear.append(step[1])
        elif kind == "inn":
            gold -= INN_PRICE
            if gold < 0:
                problems.append("the inn: the party cannot pay")
        elif kind == "quest":
            hero.exp += step[1]
            gold += step[2]
            if joined:
                comp.exp += step[1]
        elif kind == "train":
            m = (hero, comp)[step[1]]
            if m.exp < LEVEL_TABLE[step[2]] or step[2] != m.level + 1:
                problems.append("%s cannot train to level %d with %d experience" % (m.name, step[2], m.exp))
            m.level = step[2]
        elif kind == "join":
            joined = True
        elif kind == "leave":
            joined = False
        elif kind == "battle":
            name, budget = step[1], step[2]
            kinds = read_battle(name)
            fought.update(kinds)
            party = [dict(hp=m.max_hp(), damage=m.damage(items), ac=m.ac(items)) for m in ([hero, comp] if joined else [hero])]
            mons = [monsters[k] for k in kinds]
            carried = potions
            rng = random.Random(name)
            # Nobody wastes a potion on a friendly spar.
            results = [fight(rng, party, mons, 0 if name == "duskwing_battle.map" else potions) for _ in range(RUNS)]
            wins = sum(1 for r in results if r[0])
            mean_used = sum(r[1] for r in results) / RUNS
            mean_rounds = sum(r[2] for r in results) / RUNS
            lose_rate = 1 - wins / RUNS
            spar = name == "duskwing_battle.map"
            if spar:
                carried = 0
            if not spar and (lose_rate > 0.05 or mean_used > budget + 0.5):
                problems.append("%s: lost %.0f%% of the time with %d potions, %.1f potions on average (budget %d)"
                                % (name, 100 * lose_rate, potions, mean_used, budget))
            potions -= min(potions, round(mean_used))
            total_hp = sum(monsters[k]["hp"] for k in kinds)
            won_gold = sum(monsters[k]["gold"] for k in kinds)
            won_exp = sum(monsters[k]["exp"] for k in kinds)
            if not spar:
                gold += won_gold
                hero.exp += won_exp
                comp.exp += won_exp
            who = " + ".join("L%d %dhp d%d ac%d" % (m.level, p["hp"], p["damage"], p["ac"])
                             for m, p in zip([hero, comp], party))
            foes = ", ".join("%s x%d" % (monsters[k]["name"].strip(), kinds.count(k)) for k in sorted(set(kinds)))
            rows.append("| %s | %s | %s (%d hp, hits up to %d) | %d | %.0f%% | %.1f | %.0f | %s |" % (
                name, who, foes, total_hp, max(monsters[k]["damage"] for k in kinds), carried,
                100.0 * wins / RUNS, mean_used, mean_rounds,
                "spar, lost on purpose" if spar else "+%d exp, +%d gold (%d gold then)" % (won_exp, won_gold, gold)))
    off_route = drift(items)
    if off_route:
        problems.append("ROUTE has drifted from content/route.txt: " + off_route)
    missing = sorted(set(monsters) - fought)
    if missing:
        problems.append("monster kinds that fight nowhere on the route: %s" % missing)
    print("| Battle | Party (level, hp, damage, armour) | Monsters | Potions carried | Won | Potions used | Rounds | Reward |")
    print("|---|---|---|---:|---:|---:|---:|---|")
    print("\n".join(rows))
    print("\nEnd of the road: Arven level %d (%d exp), Miresa level %d (%d exp), %d gold left, %d potions left."
          % (hero.level, hero.exp, comp.level, comp.exp, gold, potions))
    for p in problems:
        print("problem: " + p, file=sys.stderr)
    return 1 if (check and problems) else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
