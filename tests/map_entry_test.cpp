// The one way into a map: what an entry does in order, a refused map, placing the party, and a new game after a played one.
#include <gtest/gtest.h>

#include "CBattle.h"
#include "CCine.h"
#include "CMain.h"
#include "CMenu.h"
#include "CPlayer.h"
#include "MapBuild.h"
#include "MapEntry.h"
#include "Quests.h"
#include "ScriptHost.h"
#include "TempDir.h"
#include "Timing.h"

namespace {

// A game folder with a 100 x 60 map (1600 x 960 pixels) "wide.map", start tiles (10, 20) and
// (11, 20), one villager, the same as the home map "duskwing.map", and an NPC list of one record.
class MapEntry : public GameRig {
protected:
    TempDir dir{TempDir::AS_GAME_FOLDER};

    void SetUp() override {
        GameRig::SetUp();
        CMap m;
        make_map(m, 100, 60);
        m.p0_x = 10, m.p0_y = 20, m.p1_x = 11, m.p1_y = 20;
        place_npc(m, 48, 48);
        ASSERT_EQ(m.SaveMap("./data/wide.map"), 0);
        ASSERT_EQ(m.SaveMap("./data/duskwing.map"), 0);  // the same as the home map
        write_file("./data/npcs.txt", "1\nOld man\nHello.\nnone\n\n\n0\n0\nBye.\n");
        map.name = "before.map";
    }
};

TEST_F(MapEntry, EnteringReadsAppliesPlacesCentresForgetsAndDrops) {
    struct Case {
        Arrival where;
        unsigned int hero_x, hero_y, mate_x, mate_y;
        int view_x, view_y;
    } cases[] = {
        {at_start_tiles(), 160, 320, 176, 320, 0, 320 - 240 - 1},
        {at_pixel(800, 500), 800, 500, 800, 500, 800 - 320, 500 - 240 - 1},
        // Exactly on the far thresholds, where the walking rules keep the view they had: the
        // view of the map entered, not the one carried over.
        {at_pixel(1600 - 320, 960 - 240), 1280, 720, 1280, 720, 1600 - 640, 960 - 480 - 1},
    };
    for (const Case& c : cases) {
        player[0].scroll_x = player[0].scroll_y = 5;
        player[0].moving = 1;
        player[0].move_x = 7;
        speed_counter = 9;
        script.forgets = 0;
        ASSERT_EQ(enter_map("./data/WIDE.MAP", c.where), 0);
        EXPECT_EQ(map.name, "wide.map");
        ASSERT_EQ(map.npc_info.size(), 3u);  // the record, the reader's empty and default entries
        EXPECT_EQ(map.npc_info[0].name, "Old man");
        EXPECT_EQ(player[0].x, c.hero_x);
        EXPECT_EQ(player[0].y, c.hero_y);
        EXPECT_EQ(player[1].x, c.mate_x);
        EXPECT_EQ(player[1].y, c.mate_y);
        EXPECT_EQ(player[0].scroll_x, c.view_x) << c.hero_x;
        EXPECT_EQ(player[0].scroll_y, c.view_y) << c.hero_y;
        EXPECT_EQ(player[0].moving, 0);  // a grid step under way ends with the jump
        EXPECT_EQ(player[0].move_x, 0);
        EXPECT_EQ(script.forgets, 1);
        EXPECT_EQ(speed_counter, 0);
    }
    // Staying: nobody moves and the view is the caller's; a passing entry keeps the keys held.
    script.forgets = 0;
    ASSERT_EQ(enter_map("./data/wide.map", staying(), ENTRY_PASSING), 0);
    EXPECT_EQ(player[0].x, 1280u);
    EXPECT_EQ(player[0].scroll_x, 960);
    EXPECT_EQ(script.forgets, 0);
}

TEST_F(MapEntry, ARefusedMapKeepsTheMapThePartyAndTheView) {
    write_file("./data/broken.map", "Name: broken.map\nTileset: x\n");
    player[0].x = player[1].x = 77;
    player[0].scroll_x = 12;
    speed_counter = 4;
    for (const char* path : {"./data/broken.map", "./data/missing.map"}) {
        EXPECT_EQ(enter_map(path, at_start_tiles()), -1);
        EXPECT_EQ(map.name, "before.map");
        EXPECT_EQ(player[0].x, 77u);
        EXPECT_EQ(player[1].x, 77u);
        EXPECT_EQ(player[0].scroll_x, 12);
    }
    ASSERT_EQ(script.messages.size(), 2u);
    EXPECT_NE(script.messages[0].find("broken.map"), std::string::npos);
    EXPECT_NE(script.messages[1].find("missing.map"), std::string::npos);
    // The message boxes blocked: keys held across them are forgotten, their ticks dropped.
    EXPECT_EQ(script.forgets, 2);
    EXPECT_EQ(speed_counter, 0);
}

TEST_F(MapEntry, StartTilesStayOnTheMapWithoutWrappingRound) {
    struct Case {
        int tile, size;
        unsigned int pixel;
    } cases[] = {
        {4, 16, 64},
        {-3, 16, 0},
        {0x01000000, 256, 9 * 256},  // 2^32 pixels: would wrap round to 0 in 32 bits
        {0x7FFFFFFF, 16, 9 * 16},
    };
    for (const Case& c : cases) {
        map = CMap();
        map.InitMap(10, 10, c.size, c.size, 2);
        map.p0_x = map.p0_y = c.tile;
        map.SetPositions();
        EXPECT_EQ(player[0].x, c.pixel) << c.tile;
        EXPECT_EQ(player[0].y, c.pixel) << c.tile;
    }
}

TEST_F(MapEntry, ANewGameAfterAPlayedOneStartsClean) {
    // A game played for a while, and what start-up loaded for the whole run.
    BITMAP* sheet = create_bitmap(32, 80);
    player[0].sprite = sheet;
    player[0].items[0].name = "Sword";
    player[1].name = COMPANION_NAME;
    quest.flags = QF_COMPANION | QF_HERB_ERRAND | QF_SELKA_ROAD;
    player[0].won_battles[0] = "cave_battle.map";
    player[0].event_checks[0] = {"duskwing.map", 3, 4};
    player[0].event_checks.emplace_back();
    player[0].gold = 500;
    player[0].level = 7;
    player[1].inv[2].id = 5;
    cine.played[1] = true;
    broken_portal = {true, "duskwing.map", 16, 16};
    App.selected_pc = 1;
    event.x = 83;
    battle.turn = 2;

    script.Held(GK_SPACE).Ticks(1);  // "new game", the start menu's first entry
    ASSERT_EQ(Run([] { App.Menu(); }), RunEnd::RETURNED);
    EXPECT_EQ(quest.flags, 0u);
    EXPECT_EQ(player[0].won_battles, CPlayer().won_battles);
    EXPECT_EQ(player[0].event_checks.size(), 1u);
    EXPECT_EQ(player[0].event_checks[0].x, 0);
    EXPECT_EQ(player[0].gold, 10);
    EXPECT_EQ(player[0].level, 1);
    EXPECT_EQ(player[1].inv[2].id, 0);
    EXPECT_EQ(cine.played, CCine().played);
    EXPECT_FALSE(broken_portal.set);
    EXPECT_EQ(App.selected_pc, 0);
    EXPECT_EQ(event.x, 0);
    EXPECT_EQ(battle.turn, 0);
    // On the home map's start tiles with freshly rolled attributes; the run's own parts kept.
    EXPECT_EQ(map.name, "duskwing.map");
    EXPECT_EQ(player[0].x, 160u);
    EXPECT_EQ(player[1].x, 176u);
    EXPECT_GE(player[0].str, 10);
    EXPECT_EQ(player[0].sprite, sheet);
    EXPECT_EQ(player[0].items[0].name, "Sword");
    EXPECT_EQ(player[1].name, COMPANION_NAME);
    player[0].sprite = nullptr;
    destroy_bitmap(sheet);
}

}  // namespace
