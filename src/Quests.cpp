// Quest state and the story's quest scripts, keyed by quest number (each number is also its flag bit).
#include "Quests.h"

#include "CBattle.h"
#include "CCine.h"
#include "CPlayer.h"
#include "Interaction.h"

CQuests quest;
CEvent event;

namespace {

// Quest bits the scripts test or set.
enum QuestBit : uint64_t {
    QB_SPARRED = 0x2,
    QB_CONSOLED = 0x4,
    QB_ERRAND_ITEM = 0x8,
    QB_ERRAND_DONE = 0x10,
    QB_ERRAND_MARK = 0x20,
    QB_CAVE_CLEARED = 0x40,
    QB_HERB_ERRAND = 0x80,
    QB_HERB_PLANTED = 0x100,
    QB_HERB_GIVEN = 0x200,
    QB_RUINS_OPEN = 0x400,
    QB_MET_LEADER = 0x800,
    QB_HERB_START = 0x1000,
    QB_SELKA = 0x4000,
    QB_COMPANION_JOINED = 0x8000,
    QB_SELKA_ROAD = 0x80000,
    QB_SAGE = 0x200000,
};

const char* const LEADER = "Corwin";
const char* const TRAITOR = "Speaker Malrec";

// Lays item i on tile (c, r) of the current map as an object to pick up.
void item_on_tile(int c, int r, int i) {
    if (!map.Cell(1, c, r)) return;  // a map without that cell cannot hold the object
    event.x = c;
    event.y = r;
    event.type = EV_OBJECT;
    event.quest = i;
    map.PlaceObject(event);
}

// Loads map m with its NPCs and puts the party on its start tiles.
void go_to(const char* m) {
    map.LoadMap(m);
    map.LoadNpcs();
    player[0].scroll_x = 0;
    player[0].scroll_y = 0;
    map.SetPositions();
    player[0].UpdateMovement();
}

bool won(const char* battle_map) {
    for (const std::string& w : player[0].won_battles)
        if (w == battle_map) return true;
    return false;
}

void cave_reward() {
    if (quest.flags & QB_CAVE_CLEARED) return;
    if (!won("cave_battle.map") || !won("cave_battle2.map")) return;
    Talk("", "You cleared the goblins out of the cave! You gain 15 exp and 2 gold!");
    player[0].gold += 2;
    player[0].exp += 15;
    if (quest.flags & QF_COMPANION) player[1].exp += 15;
    quest.flags |= QB_CAVE_CLEARED;
}

void herb_planted() {
    if (!(quest.flags & QB_HERB_ERRAND)) return;
    cine.BeginCine(3);
    Talk(TRAITOR, "What is this weed doing on my stand?! You! I know your face, mercenary. Vorrand will hear of "
                  "this, and his soldiers will find you wherever you hide!");
    quest.flags &= ~(uint64_t)QB_HERB_ERRAND;
    quest.flags |= QB_HERB_PLANTED;
    player[0].exp += 8;
    Talk("", "You gained 8 experience points!");
}

void herb_given() {
    if (quest.flags & QB_HERB_GIVEN) return;
    Talk("", "You received an item!");
    const int c = map.tile_w > 0 ? (int)(player[0].x / (unsigned int)map.tile_w) : 0;
    const int r = map.tile_h > 0 ? (int)(player[0].y / (unsigned int)map.tile_h) : 0;
    item_on_tile(c, r, 3);
    quest.flags |= QB_HERB_GIVEN;
}

void ruins_lock() {
    // The three switches of the ruins are the map's first three events.
    if (map.num_events < 3 || map.events.size() < 3) return;
    if (!(map.events[0].done && !map.events[1].done && map.events[2].done)) return;
    CTile* a = map.Cell(0, 24, 73);
    CTile* b = map.Cell(0, 25, 73);
    CTile* a_src = map.Cell(0, 24, 72);
    CTile* b_src = map.Cell(0, 25, 72);
    if (!a || !b || !a_src || !b_src) return;
    Talk("", "Towards the south you hear a loud grinding noise.");
    a->tile = a_src->tile;
    b->tile = b_src->tile;
    a->flags = 0;
    b->flags = 0;
    quest.flags |= QB_RUINS_OPEN;
}

void herb_leader() {
    if (!(quest.flags & QB_MET_LEADER)) {
        Talk(LEADER, "Name's Corwin; these men and I keep Brightmere honest. The Speaker on the plaza sells this town "
                     "to Vorrand piece by piece. Find the stinkroot herb in Brightmere Cave and plant it on his stand, "
                     "and the whole town will smell him for what he is.");
        quest.flags |= QB_MET_LEADER | QB_HERB_ERRAND | QB_HERB_START;
    } else if (quest.flags & QB_HERB_ERRAND) {
        Talk(LEADER, "The herb grows in Brightmere Cave. Plant it on the Speaker's stand on the plaza.");
    } else if (quest.flags & QB_HERB_PLANTED) {
        Talk(LEADER, "Ha! The whole plaza saw him for a traitor. You have our thanks: take the passage under the "
                     "town, my men will let you through.");
    }
}

void selka_ambush() {
    map.LoadMap("./data/selka_battle.map");
    map.LoadNpcs();
    player[0].scroll_x = 0;
    player[0].scroll_y = 0;
    map.SetPositions();
    bool already = false;
    size_t free_entry = 0;
    for (size_t i = 0; i < player[0].won_battles.size(); ++i) {
        if (player[0].won_battles[i] == "selka_battle.map") already = true;
        if (player[0].won_battles[i] == "empty") {
            free_entry = i;
            break;
        }
    }
    if (!already) {
        battle.Battle(true);
        if (free_entry < player[0].won_battles.size()) player[0].won_battles[free_entry] = "selka_battle.map";
    }
    go_to("./data/selka.map");
    quest.flags |= QB_SELKA_ROAD;
}

}  // namespace

void CQuests::ProcessQuest(int number) {
    switch (number) {
    case 0x2:
        flags |= QB_SPARRED;
        map.LoadMap("./data/duskwing_battle.map");
        battle.Battle(false);
        break;
    case 0x4:
        Talk("Wise old man", "Don't hang your head, Arven. Tobin has held a sword since he could walk. There is more to "
                             "a mercenary than his sword arm: go out into the world, see what the Emperor's peace is "
                             "really worth, and come back wiser.");
        flags |= QB_CONSOLED;
        map.LoadMap("./data/worldmap.map");
        map.SetPositions();
        player[0].UpdateMovement();
        break;
    case 0x8:
        if (flags & QB_ERRAND_DONE) break;
        item_on_tile(83, 65, 2);
        flags |= QB_ERRAND_DONE | QB_ERRAND_MARK;
        break;
    case 0x40:
        cave_reward();
        break;
    case 0x100:
        herb_planted();
        break;
    case 0x200:
        herb_given();
        break;
    case 0x400:
        ruins_lock();
        break;
    case 0x800:
        herb_leader();
        break;
    case 0x4000:
        selka_ambush();
        break;
    case 0x8000:
        if (!(flags & QB_COMPANION_JOINED)) cine.BeginCine(6);
        flags |= QB_COMPANION_JOINED | QF_COMPANION;
        break;
    case 0x10000:
        map.LoadMap("./data/worldmap.map");
        map.LoadNpcs();
        player[0].scroll_x = 0;
        player[0].scroll_y = 0;
        map.SetPositions();
        player[0].x = 1152;
        player[0].y = 112;
        player[0].UpdateMovement();
        break;
    case 0x20000:
        go_to("./data/cloudcity.map");
        break;
    case 0x100000:
        player[0].hp = player[0].max_hp;
        player[1].hp = player[1].max_hp;
        break;
    case 0x200000:
        flags |= QB_SAGE;
        break;
    case 0x400000:
        go_to("./data/orcvillage.map");
        break;
    default:
        break;  // a number with no script does nothing
    }
}
