// Quest state and the story's quest scripts, keyed by quest number (each number is also its flag bit).
#include "Quests.h"

#include "CBattle.h"
#include "CCine.h"
#include "CPlayer.h"
#include "Interaction.h"
#include "MapEntry.h"
#include "StoryFacts.h"

CQuests quest;
CEvent event;

namespace {

// The maps the scripts send the party to and the battles they look for are the story's facts
// (StoryFacts.h), which the content check holds the maps to.
using namespace story;

const char* const LEADER = "Corwin";

// Lays item i on tile (c, r) of the current map as an object to pick up; false when the map
// has no such cell and nothing was laid.
bool item_on_tile(int c, int r, int i) {
    if (!map.Cell(1, c, r)) return false;
    event.x = c;
    event.y = r;
    event.type = EV_OBJECT;
    event.quest = i;
    map.PlaceObject(event);
    return true;
}

bool won(const char* battle_map) {
    for (const std::string& w : player[0].won_battles)
        if (w == battle_map) return true;
    return false;
}

void sparring() {
    quest.flags |= QF_SPARRING;
    // A home battle map that cannot be read is no reason to fight on the map we stand on.
    if (enter_map(SPARRING_MAP, staying(), ENTRY_KEEP_MUSIC) == 0) battle.Battle(false);
}

void consoled() {
    Talk("Wise old man", "Don't hang your head, Arven. Tobin has held a sword since he could walk. There is more to "
                         "a mercenary than his sword arm: go out into the world, see what the Emperor's peace is "
                         "really worth, and come back wiser.");
    quest.flags |= QF_CONSOLED;
    enter_map(WORLD_MAP, at_start_tiles());
}

void errand_gift() {
    if (quest.flags & QF_ERRAND_GIFT_LAID) return;
    // Run on a map too small for the gift, the bits stay clear: marked as laid, the gift could
    // never be had, even on the right map.
    if (item_on_tile(ERRAND_GIFT_TILE.c, ERRAND_GIFT_TILE.r, ERRAND_GIFT_ITEM))
        quest.flags |= QF_ERRAND_GIFT_LAID | QF_ERRAND_MARK;
}

void cave_reward() {
    if (quest.flags & QF_CAVE_CLEARED) return;
    if (!won(CAVE_BATTLE) || !won(CAVE_BATTLE_2)) return;
    Talk("", "You cleared the goblins out of the cave! You gain 15 exp and 2 gold!");
    add_reward(player[0].gold, 2);
    add_reward(player[0].exp, 15);
    if (companion_joined()) add_reward(player[1].exp, 15);
    quest.flags |= QF_CAVE_CLEARED;
}

void herb_planted() {
    if (!(quest.flags & QF_HERB_ERRAND)) return;
    cine.BeginCine(3);
    Talk(SPEAKER_MALREC, "What is this weed doing on my stand?! You! I know your face, mercenary. Vorrand will "
                         "hear of this, and his soldiers will find you wherever you hide!");
    quest.flags &= ~(uint64_t)QF_HERB_ERRAND;
    quest.flags |= QF_HERB_PLANTED;
    add_reward(player[0].exp, 8);
    Talk("", "You gained 8 experience points!");
}

void herb_gift() {
    if (quest.flags & QF_HERB_GIFT) return;
    const int c = map.tile_w > 0 ? (int)(player[0].x / (unsigned int)map.tile_w) : 0;
    const int r = map.tile_h > 0 ? (int)(player[0].y / (unsigned int)map.tile_h) : 0;
    // Like the errand's gift: with no cell under the hero (a damaged map) nothing is given or marked.
    if (!map.Cell(1, c, r)) return;
    Talk("", "You received an item!");
    item_on_tile(c, r, HERB_ITEM);
    quest.flags |= QF_HERB_GIFT;
}

void ruins_lock() {
    // The three switches of the ruins are the map's first three events.
    if (map.num_events < 3 || map.events.size() < 3) return;
    if (!(map.events[0].done && !map.events[1].done && map.events[2].done)) return;
    const TilePlace g = RUINS_GATE_LEFT;
    CTile* a = map.Cell(0, g.c, g.r);
    CTile* b = map.Cell(0, g.c + 1, g.r);
    CTile* a_src = map.Cell(0, g.c, g.r - 1);
    CTile* b_src = map.Cell(0, g.c + 1, g.r - 1);
    if (!a || !b || !a_src || !b_src) return;
    Talk("", "Towards the south you hear a loud grinding noise.");
    a->tile = a_src->tile;
    b->tile = b_src->tile;
    a->flags = 0;
    b->flags = 0;
    quest.flags |= QF_RUINS_OPEN;
}

void herb_leader() {
    if (!(quest.flags & QF_MET_LEADER)) {
        Talk(LEADER, "Name's Corwin; these men and I keep Brightmere honest. The Speaker on the plaza sells this town "
                     "to Vorrand piece by piece. Find the stinkroot herb in Brightmere Cave and plant it on his stand, "
                     "and the whole town will smell him for what he is.");
        quest.flags |= QF_MET_LEADER | QF_HERB_ERRAND | QF_HERB_START;
    } else if (quest.flags & QF_HERB_ERRAND) {
        Talk(LEADER, "The herb grows in Brightmere Cave. Plant it on the Speaker's stand on the plaza.");
    } else if (quest.flags & QF_HERB_PLANTED) {
        Talk(LEADER, "Ha! The whole plaza saw him for a traitor. You have our thanks: take the passage under the "
                     "town, my men will let you through.");
    }
}

void selka_ambush() {
    // The battle is fought where the ambush's map puts the party, unless it was won before.
    const bool entered = enter_map(SELKA_BATTLE_MAP, at_start_tiles(), ENTRY_KEEP_MUSIC) == 0;
    bool already = false;
    size_t free_entry = 0;
    for (size_t i = 0; i < player[0].won_battles.size(); ++i) {
        if (player[0].won_battles[i] == SELKA_BATTLE) already = true;
        if (player[0].won_battles[i] == "empty") {
            free_entry = i;
            break;
        }
    }
    if (!already && entered) {
        const unsigned int game = games_begun;
        battle.Battle(true);
        if (games_begun != game) return;  // lost: a new game has begun, leave it be
        if (free_entry < player[0].won_battles.size()) player[0].won_battles[free_entry] = SELKA_BATTLE;
    }
    enter_map(SELKA_MAP, at_start_tiles());
    quest.flags |= QF_SELKA_ROAD;
}

void companion_joins() {
    if (!(quest.flags & QF_COMPANION_JOINS)) cine.BeginCine(6);
    quest.flags |= QF_COMPANION_JOINS | QF_COMPANION;
}

void heal_party() {
    player[0].hp = player[0].max_hp;
    player[1].hp = player[1].max_hp;
}

// A quest number and its script.
struct QuestScript {
    uint64_t quest;
    void (*run)();
};

// Every quest with a script: the one list ProcessQuest runs from and the content check reads.
const QuestScript QUEST_SCRIPTS[] = {
    {QF_SPARRING, sparring},
    {QF_CONSOLED, consoled},
    {QF_ERRAND_GIFT, errand_gift},
    {QF_CAVE_CLEARED, cave_reward},
    {QF_HERB_PLANTED, herb_planted},
    {QF_HERB_GIFT, herb_gift},
    {QF_RUINS_OPEN, ruins_lock},
    {QF_MET_LEADER, herb_leader},
    {QF_SELKA_AMBUSH, selka_ambush},
    {QF_COMPANION_JOINS, companion_joins},
    {QF_CLOUD_CITY_DOWN, [] { enter_map(WORLD_MAP, at_pixel(CLOUD_CITY_LANDING.x, CLOUD_CITY_LANDING.y)); }},
    {QF_TO_CLOUD_CITY, [] { enter_map(CLOUD_CITY_MAP, at_start_tiles()); }},
    {QF_HEAL_PARTY, heal_party},
    {QF_SAGE, [] { quest.flags |= QF_SAGE; }},
    {QF_TO_ORC_VILLAGE, [] { enter_map(ORC_VILLAGE_MAP, at_start_tiles()); }},
};

// The script of quest number n as the data files carry it, or null.
const QuestScript* script_of(int n) {
    for (const QuestScript& s : QUEST_SCRIPTS)
        if ((uint64_t)(unsigned int)n == s.quest) return &s;
    return nullptr;
}

}  // namespace

void CQuests::ProcessQuest(int number) {
    if (const QuestScript* s = script_of(number)) s->run();  // a number with no script does nothing
}

bool quest_has_script(int n) { return script_of(n) != nullptr; }

std::vector<uint64_t> scripted_quests() {
    std::vector<uint64_t> all;
    for (const QuestScript& s : QUEST_SCRIPTS) all.push_back(s.quest);
    return all;
}
