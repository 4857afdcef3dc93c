// Quest state and the story's quest scripts.
#pragma once

#include <cstdint>
#include <vector>

#include "CMap.h"
#include "GameState.h"

// The story's progress: one word of flag bits; each quest number is one bit.
class CQuests {
public:
    uint64_t flags = 0;

    // Runs the script for this quest number; a number with no script does nothing.
    void ProcessQuest(int number);
};

// The quest numbers of the story. Each is one bit of the flag word and, where a script is
// written for it, the number ProcessQuest runs (maps and the NPC list carry them in decimal).
// A script's own bit usually marks it done; the others are marks that scripts, conversations,
// portals, the battle, the menus and the scenes test.
enum QuestBit : uint64_t {
    QF_COMPANION = 0x1,            // the companion travels with the party (set by QF_COMPANION_JOINS, cleared by a scene)
    QF_SPARRING = 0x2,             // script: the sparring fight at home
    QF_CONSOLED = 0x4,             // script: the old man's comfort, then out to the world map
    QF_ERRAND_GIFT = 0x8,          // script: the errand's gift laid at ERRAND_GIFT_TILE
    QF_ERRAND_GIFT_LAID = 0x10,    // mark: the gift has been laid
    QF_ERRAND_MARK = 0x20,         // mark for conversations, set with the gift
    QF_CAVE_CLEARED = 0x40,        // script: the reward for both cave battles, once
    QF_HERB_ERRAND = 0x80,         // mark: the herb errand is under way
    QF_HERB_PLANTED = 0x100,       // script: the planted herb exposes the Speaker, then the threat
    QF_HERB_GIFT = 0x200,          // script: the herb handed over, laid at the hero's feet, once
    QF_RUINS_OPEN = 0x400,         // script: the ruins' switches open the gate
    QF_MET_LEADER = 0x800,         // script: Corwin's errand, reminder and thanks
    QF_HERB_START = 0x1000,        // mark: the herb errand's start (cleared by scene 4)
    QF_SELKA_AMBUSH = 0x4000,      // script: the ambush on the road to Selka, then Selka
    QF_COMPANION_JOINS = 0x8000,   // script: the companion's scene the first time, and she joins
    QF_CLOUD_CITY_DOWN = 0x10000,  // script: the way down from Cloud City to the world map
    QF_TO_CLOUD_CITY = 0x20000,    // script: up to Cloud City
    QF_SELKA_ROAD = 0x80000,       // mark: the road to Selka was taken
    QF_HEAL_PARTY = 0x100000,      // script: both members healed
    QF_SAGE = 0x200000,            // script and mark for conversations to test
    QF_TO_ORC_VILLAGE = 0x400000,  // script: to the orc village
};

// A tile of a map, in columns and rows.
struct TilePlace {
    int c, r;
};
// A pixel of a map.
struct PixelPlace {
    unsigned int x, y;
};

// Where the errand's gift (item ERRAND_GIFT_ITEM) is laid, on the map whose conversation runs QF_ERRAND_GIFT.
constexpr TilePlace ERRAND_GIFT_TILE{83, 65};
constexpr int ERRAND_GIFT_ITEM = 2;
// The item of QF_HERB_GIFT, laid under the hero.
constexpr int HERB_ITEM = 3;
// The ruins' gate: two cells of layer 0, GATE_LEFT and the one to its right, that open to the
// look of the two cells above them; the three switches are that map's first three events.
constexpr TilePlace RUINS_GATE_LEFT{24, 73};
// Where the hero lands on the world map coming down from Cloud City.
constexpr PixelPlace CLOUD_CITY_LANDING{1152, 112};

// Whether quest number n (as the data files carry it) has a script that ProcessQuest runs.
// Called by the content check.
bool quest_has_script(int n);
// The quest numbers that have a script, in bit order. Read by the content check.
std::vector<uint64_t> scripted_quests();

// Whether a data-file quest mask (sign-extended to 64 bits) shares a bit with the flags.
inline bool quest_bit_set(int mask) { return (quest.flags & (uint64_t)(int64_t)mask) != 0; }
// Whether the companion travels with the party (QF_COMPANION). Read by the battle and its screens
// (until she joins she is not drawn, has no turn and her fall does not count), the menus, the
// monsters' choice of target and the quest rewards.
inline bool companion_joined() { return (quest.flags & QF_COMPANION) != 0; }
