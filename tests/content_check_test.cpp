// rpgtool check: the shipped content is whole, every kind of breakage made on a copy of it is
// named with its file and place, and the check's reading and command line report what they meet.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "CNpc.h"
#include "ContentCheck.h"
#include "DataFiles.h"
#include "ScriptHost.h"
#include "StoryFacts.h"
#include "TempDir.h"
#include "ToolCommands.h"

#ifndef RPG_DATA_DIR
#define RPG_DATA_DIR "./data"
#endif

namespace {

const std::string kData = RPG_DATA_DIR;
constexpr int T = 16;  // pixels of a tile on the shipped maps

// The built data/, read once.
const ContentSet& shipped() {
    static const ContentSet set = [] {
        ContentSet s;
        std::string error;
        if (!load_content(kData, s, error)) ADD_FAILURE() << error;
        return s;
    }();
    return set;
}

std::string lines(const std::vector<CheckProblem>& problems) {
    std::string s;
    for (const CheckProblem& p : problems) s += p.Text() + "\n";
    return s;
}

// ---- Helpers the breakages are written with; each throws when the content lacks what it seeks ----

ContentMap& M(ContentSet& s, const char* name) {
    if (ContentMap* m = s.Find(name)) return *m;
    throw std::runtime_error(std::string("no map ") + name);
}
CTile& ground(ContentMap& m, long long c, long long r) { return m.data.tiles[0][(size_t)r][(size_t)c]; }
void block(ContentMap& m, long long c, long long r) { ground(m, c, r).flags |= TF_BLOCKED; }
void wall_in(ContentMap& m, long long c, long long r) {  // blocks the four neighbours
    for (auto [dc, dr] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) block(m, c + dc, r + dr);
}
// The first event of m with one of the type bits (and quest, when given).
CEvent& event(ContentMap& m, int type, int quest = -1) {
    for (CEvent& e : m.data.events) if ((e.type & type) && (quest < 0 || e.quest == quest)) return e;
    throw std::runtime_error("no such event on " + m.file);
}
// The first person (not the opening's elder) of a map that people walk.
CNpc& person(ContentMap& m) {
    for (CNpc& n : m.data.npcs) if (n.sprite != OPENING_SPRITE_ROW) return n;
    throw std::runtime_error("nobody on " + m.file);
}
// The index of the first NPC record whose conversation runs quest q.
size_t record_running(const ContentSet& s, int q) {
    for (size_t i = 0; i < s.people.size(); ++i) if (npc_script_quest(s.people[i]) == q) return i;
    throw std::runtime_error("no record runs quest " + std::to_string(q));
}
// The step-on event of Brightmere's plaza that plays the plant scene (quest 0x100).
CEvent& plant_event(ContentSet& s) { return event(M(s, "brightmere.map"), EV_STEP_MESSAGE, 0x100); }

// One breakage of a copy of the content: the file its problem names and words it holds
// (both empty: the change breaks nothing).
struct Breakage {
    const char* name;
    std::function<void(ContentSet&)> apply;
    const char* file;
    const char* words;
};

const Breakage kBreakages[] = {
    // Maps that are not there.
    {"PortalToAMissingMap", [](ContentSet& s) { M(s, "brightmere.map").data.portals[1].dest_map = "./data/nowhere.map"; },
     "brightmere.map", "portal 1 at pixel (752, 1136): the portal leads to ./data/nowhere.map, which does not exist"},
    {"PortalNamingAMapInAnotherLetterCase",
     [](ContentSet& s) { M(s, "brightmere.map").data.portals[1].dest_map = "./data/WorldMap.MAP"; }, "", ""},
    {"AfterBattleMapMissing", [](ContentSet& s) { M(s, "meadow_battle.map").data.bdestmap = "./data/gone.map"; },
     "meadow_battle.map", "the party goes to ./data/gone.map, which does not exist"},
    {"SceneStageMissing", [](ContentSet& s) { s.maps.erase("castlemiresa.map"); }, "castlemiresa.map",
     "the map is missing; scene 5 loads it"},
    {"ScriptMapMissing", [](ContentSet& s) { s.maps.erase("cloudcity.map"); }, "cloudcity.map",
     "the map is missing; quest 0x20000 loads it"},
    {"StoryBattleIsNoBattleMap", [](ContentSet& s) { M(s, "duskwing_battle.map").data.battle = false; },
     "duskwing_battle.map", "not a battle map, but quest 0x2 fights on it"},
    {"SceneNumberWithNoScene", [](ContentSet& s) { M(s, "meadow.map").data.cine = 9; }, "meadow.map",
     "the map's entry scene is 9; the scenes are 1 to 6"},
    {"PortalSceneWithNoScene", [](ContentSet& s) { M(s, "brightmere.map").data.portals[1].cine = 7; },
     "brightmere.map", "the portal names scene 7"},
    // Positions blocked or off their map.
    {"PortalOnAWall", [](ContentSet& s) { block(M(s, "brightmere.map"), 752 / T, 1136 / T); }, "brightmere.map",
     "portal 1 at pixel (752, 1136): the portal stands on blocked tiles"},
    {"PortalOffItsMap", [](ContentSet& s) { M(s, "brightmere.map").data.portals[1].x = 96 * T; }, "brightmere.map",
     "the portal lies outside the map (96 x 72 tiles)"},
    {"ArrivalInAWall",
     [](ContentSet& s) { auto& p = M(s, "brightmere.map").data.portals[1];
                         block(M(s, "worldmap.map"), p.dest_x / T, p.dest_y / T); },
     "brightmere.map", "of worldmap.map, which is blocked"},
    {"ArrivalOffTheMap", [](ContentSet& s) { M(s, "brightmere.map").data.portals[1].dest_y = 64 * T; },
     "brightmere.map", "of worldmap.map, which is outside the map (100 x 64 tiles)"},
    {"ArrivalOnAPortal",
     [](ContentSet& s) {
         CPortal& p = M(s, "worldmap.map").data.portals[0];
         const CPortal& there = M(s, p.dest_map.c_str()).data.portals[0];
         p.dest_x = there.x, p.dest_y = there.y;
     },
     "worldmap.map", "on a portal there that carries him on at once"},
    {"StartTileBlocked", [](ContentSet& s) { ContentMap& m = M(s, "duskwing.map"); block(m, m.data.p0_x, m.data.p0_y); },
     "duskwing.map", "hero's start tile"},
    {"AfterBattlePositionOffTheMap", [](ContentSet& s) { M(s, "meadow_battle.map").data.bdest_x = -T; },
     "meadow_battle.map", "after the battle the hero lands at pixel (-16"},
    {"ScriptArrivalBlocked",
     [](ContentSet& s) { block(M(s, "worldmap.map"), CLOUD_CITY_LANDING.x / T, CLOUD_CITY_LANDING.y / T); },
     "worldmap.map", "pixel (1152, 112): quest 0x10000 puts the hero here, which is blocked"},
    {"NpcInAWall", [](ContentSet& s) { ContentMap& m = M(s, "selka.map"); block(m, person(m).x / T, person(m).y / T); },
     "selka.map", "the NPC stands in a wall or off the map"},
    {"EventOffItsMap", [](ContentSet& s) { event(M(s, "selka.map"), EV_TALK).x = 500; }, "selka.map",
     "the event lies outside the map"},
    // People, monsters, items, shops and quests that do not exist.
    {"NpcRecordBeyondTheList", [](ContentSet& s) { person(M(s, "selka.map")).id = (int)s.people.size() + 1; },
     "selka.map", "does not exist (npcs.txt has records 1 to"},
    {"BattleWithNoMonster", [](ContentSet& s) { M(s, "meadow_battle.map").data.npcs.clear(); }, "meadow_battle.map",
     "a battle map with no monster"},
    {"BattleWithTooManyMonsters", [](ContentSet& s) { auto& n = M(s, "meadow_battle.map").data.npcs; n.resize(26, n[0]); },
     "meadow_battle.map", "the battle map fields 26 monsters; a battle takes 25 at most"},
    {"MonsterKindOutOfTheTable", [](ContentSet& s) { M(s, "meadow_battle.map").data.npcs[0].id = 31; },
     "meadow_battle.map", "monster kind 31 does not exist (kinds 1 to 30)"},
    {"MonsterOffTheGrid", [](ContentSet& s) { M(s, "meadow_battle.map").data.npcs[0].x += 3; }, "meadow_battle.map",
     "the monster stands off the 16-pixel grid, where no attack reaches it"},
    {"MonsterKindThatFightsNowhere",
     [](ContentSet& s) { for (auto& [k, m] : s.maps) for (CNpc& n : m.data.npcs) if (m.data.battle && n.id == 26) n.id = 27; },
     "*.map", "monster kind 26 (Vorrand) fights on no battle map"},
    {"ShopNumberOutOfRange", [](ContentSet& s) { event(M(s, "brightmere.map"), EV_SHOP).quest = MAX_SHOPS; },
     "brightmere.map", "event 9 at tile (57, 55): the event opens shop 12; the shops are 0 to 11"},
    {"ShopSellingNothing", [](ContentSet& s) { for (int& id : s.stock[1]) id = 0; }, "brightmere.map",
     "opens shop 1, which sells nothing"},
    {"ShopSellingAMissingItem", [](ContentSet& s) { s.stock[2][1] = (int)s.items.size() + 1; }, "shops.txt:3",
     "shop 2 sells item 25, which is not in equip.txt"},
    {"ChestWithAMissingItem", [](ContentSet& s) { event(M(s, "ruins.map"), EV_CHEST).quest = 99; }, "ruins.map",
     "the event gives item 99, which is not in equip.txt"},
    {"ItemsTheScriptsGiveMissing", [](ContentSet& s) { s.items.resize(1); }, "equip.txt",
     "item 2, which a quest script gives, is missing"},
    {"PotionNotUsable", [](ContentSet& s) { s.items[HEALING_POTION - 1].type = IT_WEAPON; }, "equip.txt",
     "is the healing potion the battle uses, but its type is 4"},
    {"ItemNameTooLongForTheShopList",  // arms, sold by shop 0
     [](ContentSet& s) { s.items[5].name = "Mithril-Gauntlets", s.items[5].price = 200; }, "equip.txt:6",
     "item 6's name Mithril-Gauntlets has 17 characters; the list of shop 0, beside its price 200, "
     "has room for 12"},
    {"ItemNameTooLongForTheStatusMenu", [](ContentSet& s) { s.items[2].name = "Stinkroot-of-the-Cave"; },
     "equip.txt:3", "item 3's name Stinkroot-of-the-Cave has 21 characters; the status menu has room for 19"},
    {"EventQuestWithoutScript", [](ContentSet& s) { plant_event(s).quest = 0x2000; }, "brightmere.map",
     "event 11 at tile (40, 27): the event runs quest 8192 (0x2000), which has no script"},
    {"NpcQuestWithoutScript", [](ContentSet& s) { s.people[record_running(s, QF_ERRAND_GIFT)].quest_next = 0x2000; },
     "npcs.txt", "procquest runs quest 8192 (0x2000), which has no script"},
    {"UnknownNpcKeyword", [](ContentSet& s) { s.people[1].script = "yesnoo"; }, "npcs.txt:13",
     "unknown keyword \"yesnoo\""},
    {"NpcRecordsOutOfOrder", [](ContentSet& s) { s.people[4].id = 99; }, "npcs.txt:37", "record number 99 stands as record 5"},
    {"BattleRecordedUnderAnotherName",
     [](ContentSet& s) {
         for (CPortal& p : M(s, "goblincave.map").data.portals)
             if (p.dest_map == "./data/cave_battle.map") p.dest_map = "./data/Cave_Battle.map";
     },
     "goblincave.map", "records its battle as Cave_Battle.map, but the quest scripts look for cave_battle.map"},
    // Pictures.
    {"TileBeyondTheTileset", [](ContentSet& s) { ground(M(s, "selka.map"), 3, 4).tile = 9999; }, "selka.map",
     "layer 0 at tile (3, 4): tile 9999 is not in the tileset (tiles 1 to 256)"},
    {"SpriteRowBeyondTheSheet", [](ContentSet& s) { person(M(s, "selka.map")).sprite = 200; }, "selka.map",
     "sprite row 200 is not in the sprite sheet"},
    {"TilesetWithoutTheObjectPicture", [](ContentSet& s) { M(s, "ruins.map").tiles = OBJECT_TILE - 1; }, "ruins.map",
     "its tileset has 94 tiles: the picture of an object on the ground (tile 95) is missing"},
    {"SwitchWithNoTileToTurnTo",
     [](ContentSet& s) { ContentMap& m = M(s, "ruins.map"); ground(m, m.data.events[0].x, m.data.events[0].y).tile = 256; },
     "ruins.map", "tile 257 is not in the tileset"},
    {"UseKeyEventWithoutTheEventFlag",
     [](ContentSet& s) {
         ContentMap& m = M(s, "brightmere.map");
         const CEvent& e = event(m, EV_TRAINER);
         m.data.tiles[1][e.y][e.x].flags &= ~TF_EVENT;
     },
     "brightmere.map", "layer 1 has no event flag (8) here: the use key never finds the event"},
    {"NameInsideTheFileDiffers", [](ContentSet& s) { M(s, "meadow.map").data.name = "pasture.map"; }, "meadow.map",
     "the name inside the file is \"pasture.map\""},
    {"ScriptedQuestThatNothingRuns", [](ContentSet& s) { plant_event(s).quest = 0; }, "*.map",
     "quest 0x100 has a script, but no event and no NPC on any map runs it"},
    {"TunedMapMisspelt",
     [](ContentSet& s) { ContentMap& m = M(s, "orcvillage.map"); m.file = m.data.name = "orcvillage.map"; },
     "orcvillage.map", "the map has a tune of its own only under the name orcvillage.MAP"},
    // Rooms the scenes and scripts need.
    {"CastleTooShortForItsScroll",
     [](ContentSet& s) { auto& m = M(s, "castle.map").data; m.height = 80; for (auto& l : m.tiles) l.resize(80); },
     "castle.map", "scene 5 draws the map from view pixel (400, 192) to pixel (400, 993): it needs 65 x 93 tiles, "
                   "it has 70 x 80"},
    {"OpeningWithoutTheElder", [](ContentSet& s) { M(s, "duskwing.map").data.npcs[0].sprite = 0; }, "duskwing.map",
     "scene 1 walks NPC 0 as the elder"},
    {"OpeningWalkBlocked",
     [](ContentSet& s) { ContentMap& m = M(s, "duskwing.map"); block(m, m.data.npcs[0].x / T + 3, m.data.npcs[0].y / T); },
     "duskwing.map", "his way is blocked"},
    {"PlantSceneOutOfItsView", [](ContentSet& s) { plant_event(s).x = 20; }, "brightmere.map",
     "does not show the hero's walk of 100 pixels right"},
    {"PlantSceneWalkBlocked", [](ContentSet& s) { block(M(s, "brightmere.map"), plant_event(s).x + 5, plant_event(s).y); },
     "brightmere.map", "tile (45, 27) is blocked"},
    {"PlantSceneOnASmallMap", [](ContentSet& s) { M(s, "meadow.map").data.events.push_back(plant_event(s)); },
     "meadow.map", "plays the plant scene here from view pixel (500, 200): the map needs 72 x 43 tiles"},
    {"ErrandGiftOffASmallMap",
     [](ContentSet& s) { person(M(s, "meadow.map")).id = (int)record_running(s, QF_ERRAND_GIFT) + 1; }, "meadow.map",
     "quest 0x8 lays item 2 at tile (83, 65), outside this map"},
    {"ErrandGiftWalledIn", [](ContentSet& s) { wall_in(M(s, "brightmere.map"), 83, 65); }, "brightmere.map",
     "tile (83, 65): quest 0x8 lays item 2 here, which cannot be walked to"},
    {"RuinsSwitchesOutOfOrder", [](ContentSet& s) { auto& ev = M(s, "ruins.map").data.events; std::swap(ev[1], ev[3]); },
     "ruins.map", "event 1: quest 0x400 reads the map's events 0, 1 and 2 as its switches"},
    {"RuinsGateOutsideASmallMap",
     [](ContentSet& s) { M(s, "meadow.map").data.events.push_back(M(s, "ruins.map").data.events[0]); }, "meadow.map",
     "opens the gate at tile (24, 73) and tile (25, 73), outside this map"},
    {"RuinsGateOpeningOntoAWall", [](ContentSet& s) { block(M(s, "ruins.map"), 25, 72); }, "ruins.map",
     "tile (25, 72): the ruins' gate below opens onto this tile"},
    {"MoreBattlesThanWonBattleEntries",  // 13 more battle maps, each behind a portal of the meadow
     [](ContentSet& s) {
         for (int i = 0; i < 13; ++i) {
             const std::string name = "extra_battle" + std::to_string(i) + ".map";
             (s.maps[name] = M(s, "meadow_battle.map")).file = s.maps[name].data.name = name;
             auto& ways = M(s, "meadow.map").data.portals;
             ways.push_back(ways[0]);
             ways.back().dest_map = "./data/" + name;
         }
     },
     "", "that portals and scripts record, and the hero holds 25 won battles"},
    // Places that cannot be walked to: the ruins' stair up to the world (two tiles wide at (24, 1)), a chest, a person.
    {"PortalWalledIn",
     [](ContentSet& s) { for (auto [c, r] : {std::pair{23, 1}, {26, 1}, {24, 2}, {25, 2}}) block(M(s, "ruins.map"), c, r); },
     "ruins.map", "portal 0 at pixel (384, 16): the portal cannot be walked to from the start tile or any way into"},
    {"ChestWalledIn",
     [](ContentSet& s) { ContentMap& m = M(s, "ruins.map"); wall_in(m, event(m, EV_CHEST).x, event(m, EV_CHEST).y); },
     "ruins.map", "event 5 at tile (24, 77): the chest cannot be walked to"},
    {"NpcWalledIn", [](ContentSet& s) { ContentMap& m = M(s, "selka.map"); wall_in(m, person(m).x / T, person(m).y / T); },
     "selka.map", "the NPC cannot be walked to"},
    // Event lists kept by index from map to map.
    {"StepOnIndexSharedByTwoMaps",
     [](ContentSet& s) {
         auto& ev = M(s, "meadow.map").data.events;
         CEvent e = plant_event(s);
         e.quest = 0, e.x = ev[0].x, e.y = ev[0].y;
         ev.resize(11, ev[0]);
         ev.push_back(e);
     },
     "", "a step-on or switch event at index 11 as on"},
    {"EventsOnTheWorldMap",
     [](ContentSet& s) { M(s, "worldmap.map").data.events.push_back(M(s, "meadow.map").data.events[0]); },
     "worldmap.map", "the world map holds 1 events; it must hold none"},
};

void PrintTo(const Breakage& b, std::ostream* os) { *os << b.name; }

class ContentCheckBreakage : public ::testing::TestWithParam<Breakage> {};

}  // namespace

TEST_P(ContentCheckBreakage, IsNamedWithItsFileAndPlace) {
    const Breakage& b = GetParam();
    ContentSet copy = shipped();
    b.apply(copy);
    const std::vector<CheckProblem> problems = check_content(copy);
    bool named = false;
    for (const CheckProblem& p : problems)
        named = named || (p.Text().rfind(b.file, 0) == 0 && p.Text().find(b.words) != std::string::npos);
    if (!*b.file && !*b.words) named = problems.empty();  // a change that breaks nothing
    EXPECT_TRUE(named) << "expected " << b.file << " ... " << b.words << "\ngot:\n" << lines(problems);
}

INSTANTIATE_TEST_SUITE_P(Content, ContentCheckBreakage, ::testing::ValuesIn(kBreakages),
                         [](const ::testing::TestParamInfo<Breakage>& info) { return std::string(info.param.name); });

// Reading a folder: damaged and missing files are problems with their names; the command line
// tells a whole content (0) from a broken one (1, one problem a line) and bad usage (2).
class ContentCheckFolder : public GameRig {
protected:
    TempDir dir;
    std::string printed;
    int Run(const std::vector<std::string>& args) {  // "rpgtool check ARGS..."
        ::testing::internal::CaptureStdout();
        int status = run_check_command(args);
        printed = ::testing::internal::GetCapturedStdout();
        return status;
    }
};

TEST_F(ContentCheckFolder, DamagedAndMissingFilesAreNamed) {
    const std::string meadow = read_file(kData + "/meadow.map");
    ASSERT_FALSE(meadow.empty());
    write_file(dir.path("meadow.map"), meadow);  // its tileset and sprites are not there
    write_file(dir.path("MEADOW.MAP"), meadow);  // a twin the game could read instead
    size_t names_end = 0;  // the three name lines, then the size block, which the copy cuts short
    for (int k = 0; k < 3; ++k) names_end = meadow.find('\n', names_end) + 1;
    write_file(dir.path("cut.map"), meadow.substr(0, names_end + 10));
    write_file(dir.path("equip.txt"), "Dagger 4 1 0 5\nCap 0 0 1\nfree\n");
    write_file(dir.path("shops.txt"), "1 2 3 4 5\n");
    ContentSet set;
    std::string error;
    ASSERT_TRUE(load_content(dir.path(""), set, error)) << error;
    const std::string got = lines(set.read_problems);
    for (const char* want : {"MEADOW.MAP: its tileset ./data/tiles.bmp cannot be read",
                             "meadow.map: its name differs from MEADOW.MAP only in letter case",
                             "cut.map: the map is damaged: the file ends inside the map size block",
                             "npcs.txt: the list is missing",
                             "equip.txt:3: the list is damaged: the price of \"Cap\" is not a number: \"free\""})
        EXPECT_NE(got.find(want), std::string::npos) << want << "\ngot:\n" << got;
    EXPECT_EQ(set.maps.size(), 1u);
    EXPECT_EQ(set.items.size(), 1u);
    EXPECT_EQ(set.shops_read, 1);
}

TEST_F(ContentCheckFolder, CommandLineStatusAndOutput) {
    EXPECT_EQ(Run({kData}), 0);
    EXPECT_EQ(printed, "");
    write_file(dir.path("npcs.txt"), "1\nTobin\nHello\nnone\n\n\n0\n0\n");
    EXPECT_EQ(Run({dir.path("")}), 1);
    for (const char* want : {"equip.txt: the list is missing\n",
                             "duskwing.map: the map is missing; a new game and scenes 1 and 2 loads it\n"})
        EXPECT_NE(printed.find(want), std::string::npos) << printed;
    EXPECT_EQ(Run({dir.path("none-such")}), 1);
    for (const std::vector<std::string>& usage : {std::vector<std::string>{}, {kData, kData}, {"--fix", kData}})
        EXPECT_EQ(Run(usage), 2);
}
