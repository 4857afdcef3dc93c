// What the story's code asks of the content: the maps its quest scripts and scenes load, the views
// the scenes draw them from, where they put the hero, and the battles and items they look for.
#pragma once

#include "CDisplay.h"
#include "Quests.h"

// Everything here is a fact the quest scripts (Quests.cpp) and the scenes (CCine.cpp) rely on;
// the content check (rpgtool check) holds the maps and lists to them. Facts that other headers
// already name are used from there: Quests.h (ERRAND_GIFT_TILE, RUINS_GATE_LEFT,
// CLOUD_CITY_LANDING, the gift items, the QF_ bits, the quests with a script), Music.h (the maps
// with a tune of their own), CBattle.h (the monsters a battle takes).
namespace story {

// ---- Maps the quest scripts load -------------------------------------------------------------

constexpr const char* SPARRING_MAP = "./data/duskwing_battle.map";  // quest 0x2
constexpr const char* WORLD_MAP = "./data/worldmap.map";             // quests 0x4 and 0x10000
constexpr const char* SELKA_BATTLE_MAP = "./data/selka_battle.map";  // quest 0x4000, the ambush
constexpr const char* SELKA_MAP = "./data/selka.map";                // quest 0x4000, afterwards
constexpr const char* CLOUD_CITY_MAP = "./data/cloudcity.map";       // quest 0x20000
constexpr const char* ORC_VILLAGE_MAP = "./data/orcvillage.map";     // quest 0x400000 and scene 6

// Battles the scripts look for among the won ones, by the exact name a portal records.
constexpr const char* CAVE_BATTLE = "cave_battle.map";    // quest 0x40
constexpr const char* CAVE_BATTLE_2 = "cave_battle2.map";  // quest 0x40
constexpr const char* SELKA_BATTLE = "selka_battle.map";   // quest 0x4000 records it itself

// ---- Scenes ------------------------------------------------------------------------------------

// Scene numbers a map or a portal may name; 0 is none.
constexpr int FIRST_SCENE = 1;
constexpr int LAST_SCENE = 6;
constexpr int PLANT_SCENE = 3;  // started by quest 0x100 on the map the party stands on

constexpr const char* HOME_MAP = "./data/duskwing.map";          // scene 1, and scene 2 returns there
constexpr const char* CITADEL_MAP = "./data/eviltemple.map";     // scene 2
constexpr const char* CASTLE_MAP = "./data/castle.map";          // scene 5
constexpr const char* GARDEN_MAP = "./data/castlemiresa.map";    // scene 5
constexpr const char* LAST_BATTLE_MAP = "./data/castlebattle.map";  // scene 5
constexpr const char* CASTLE_END_MAP = "./data/castleend.MAP";   // scene 5
constexpr const char* WASTELANDS_MAP = "./data/wastelands.MAP";  // scene 5
constexpr const char* ORC_SCENE_MAP = "./data/orccine.map";      // scene 6

// The opening: NPC 0 of the home map, of sprite row OPENING_SPRITE_ROW (CNpc.h) so that only the
// opening keeps him, walks this many pixels right in the view from (0, 0) and then speaks.
constexpr int ELDER_WALK = 100;

// The plant scene draws the current map from this view while the hero walks PLANT_WALK pixels right.
constexpr int PLANT_VIEW_X = 500, PLANT_VIEW_Y = 200;
constexpr int PLANT_WALK = 100;

// The castle scene scrolls the castle and its garden down from view y 192 by up to 801 pixels,
// then shows the castle's end from where the scroll began.
constexpr int CASTLE_VIEW_X = 400, CASTLE_VIEW_Y = 192, CASTLE_SCROLL = 801;
constexpr int CASTLE_END_VIEW_X = CASTLE_VIEW_X, CASTLE_END_VIEW_Y = CASTLE_VIEW_Y;

// Scene 6 draws its stage from this view, the hero at ORC_VILLAGE_ARRIVAL taken as a screen
// position; afterwards he stands at that pixel of the orc village.
constexpr int ORC_SCENE_VIEW_X = 400, ORC_SCENE_VIEW_Y = 50;
constexpr PixelPlace ORC_VILLAGE_ARRIVAL{576, 256};

// The Speaker of Brightmere, who sells the town to Vorrand: he speaks in the plant scene and
// the herb's script.
constexpr const char* SPEAKER_MALREC = "Speaker Malrec";

// ---- Tables the content check walks ----------------------------------------------------------

// A map the story loads by name, who loads it, and whether it must be a battle map.
struct StoryMap {
    const char* path;
    const char* loaded_by;
    enum Kind { FIELD, BATTLE, ANY } kind;
};
constexpr StoryMap STORY_MAPS[] = {
    {SPARRING_MAP, "quest 0x2", StoryMap::BATTLE},
    {WORLD_MAP, "quests 0x4 and 0x10000", StoryMap::FIELD},
    {SELKA_BATTLE_MAP, "quest 0x4000", StoryMap::BATTLE},
    {SELKA_MAP, "quest 0x4000", StoryMap::FIELD},
    {CLOUD_CITY_MAP, "quest 0x20000", StoryMap::FIELD},
    {ORC_VILLAGE_MAP, "quest 0x400000 and scene 6", StoryMap::FIELD},
    {"./data/cave_battle.map", "quest 0x40", StoryMap::BATTLE},
    {"./data/cave_battle2.map", "quest 0x40", StoryMap::BATTLE},
    {HOME_MAP, "a new game and scenes 1 and 2", StoryMap::FIELD},
    {CITADEL_MAP, "scene 2", StoryMap::ANY},
    {CASTLE_MAP, "scene 5", StoryMap::ANY},
    {GARDEN_MAP, "scene 5", StoryMap::ANY},
    {LAST_BATTLE_MAP, "scene 5", StoryMap::BATTLE},
    {CASTLE_END_MAP, "scene 5", StoryMap::ANY},
    {WASTELANDS_MAP, "scene 5", StoryMap::ANY},
    {ORC_SCENE_MAP, "scene 6", StoryMap::ANY},
};

// A view a scene draws a map from: the map must fill the screen from every view between
// (x, y) and (to_x, to_y).
struct SceneView {
    const char* path;
    int scene;
    int x, y, to_x, to_y;
};
constexpr SceneView SCENE_VIEWS[] = {
    {HOME_MAP, 1, 0, 0, 0, 0},
    {CITADEL_MAP, 2, 0, 0, 0, 0},
    {CASTLE_MAP, 5, CASTLE_VIEW_X, CASTLE_VIEW_Y, CASTLE_VIEW_X, CASTLE_VIEW_Y + CASTLE_SCROLL},
    {GARDEN_MAP, 5, CASTLE_VIEW_X, CASTLE_VIEW_Y, CASTLE_VIEW_X, CASTLE_VIEW_Y + CASTLE_SCROLL},
    {CASTLE_END_MAP, 5, CASTLE_END_VIEW_X, CASTLE_END_VIEW_Y, CASTLE_END_VIEW_X, CASTLE_END_VIEW_Y},
    {WASTELANDS_MAP, 5, 0, 0, 0, 0},
    {ORC_SCENE_MAP, 6, ORC_SCENE_VIEW_X, ORC_SCENE_VIEW_Y, ORC_SCENE_VIEW_X, ORC_SCENE_VIEW_Y},
};

// Stages: maps only the scenes show. Nobody walks them, so their start tiles may be anywhere
// and their figures need no NPC record (id 0).
constexpr const char* STAGES[] = {CITADEL_MAP, CASTLE_MAP, GARDEN_MAP, CASTLE_END_MAP, WASTELANDS_MAP, ORC_SCENE_MAP};

// Where a script or scene puts the hero by pixel: open ground, and a way into that map.
struct StoryArrival {
    const char* path;
    PixelPlace at;
    const char* by;
};
constexpr StoryArrival STORY_ARRIVALS[] = {
    {WORLD_MAP, CLOUD_CITY_LANDING, "quest 0x10000"},
    {ORC_VILLAGE_MAP, ORC_VILLAGE_ARRIVAL, "scene 6"},
};

// Battles the scripts look for among the won ones: a portal must record them by exactly these names.
constexpr const char* BATTLES_LOOKED_FOR[] = {CAVE_BATTLE, CAVE_BATTLE_2, SELKA_BATTLE};

// Battles a script writes into the won-battle list itself (portals record theirs).
constexpr const char* SCRIPT_RECORDED_BATTLES[] = {SELKA_BATTLE};

// Items the scripts lay on the ground: they must be in the item list.
constexpr int SCRIPT_ITEMS[] = {ERRAND_GIFT_ITEM, HERB_ITEM};

}  // namespace story
