// The one way into a map: what an entry does in order, a refused map, placing the party, and a new game after a played one.
#include <gtest/gtest.h>

#include <tuple>

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
        ASSERT_EQ(m.SaveMap("./data/duskwing.map"), 0);
        write_file("./data/npcs.txt", "1\nOld man\nHello.\nnone\n\n\n0\n0\nBye.\n");
        map.name = "before.map";
    }
    // Hero and companion position, the view, the grid step, forgotten keys and piled-up ticks.
    auto State() {
        return std::tuple{player[0].x, player[0].y, player[1].x, player[1].y, player[0].scroll_x, player[0].scroll_y,
                          player[0].moving, player[0].move_x, script.forgets, speed_counter.load()};
    }
};

// Entering reads the map (any letter case) and its people, places the party, centres the view,
// ends a grid step, forgets the held keys and drops the ticks that piled up.
TEST_F(MapEntry, EnteringReadsAppliesPlacesCentresForgetsAndDrops) {
    const struct {
        Arrival where;
        unsigned int hero_x, hero_y, mate_x, mate_y;
        int view_x, view_y;
    } cases[] = {
        {at_start_tiles(), 160, 320, 176, 320, 0, 320 - 240 - 1},
        {at_pixel(800, 500), 800, 500, 800, 500, 800 - 320, 500 - 240 - 1},
        // Exactly on the far thresholds, where walking keeps the view it had: the entered map's view.
        {at_pixel(1600 - 320, 960 - 240), 1280, 720, 1280, 720, 1600 - 640, 960 - 480 - 1},
    };
    for (const auto& c : cases) {
        player[0].scroll_x = player[0].scroll_y = 5, player[0].moving = 1, player[0].move_x = 7;
        speed_counter = 9, script.forgets = 0;
        ASSERT_EQ(enter_map("./data/WIDE.MAP", c.where), 0);
        EXPECT_EQ(map.name, "wide.map");
        ASSERT_EQ(map.npc_info.size(), 3u);  // the record, the reader's empty and default entries
        EXPECT_EQ(map.npc_info[0].name, "Old man");
        EXPECT_EQ(State(), std::tuple(c.hero_x, c.hero_y, c.mate_x, c.mate_y, c.view_x, c.view_y, 0, 0, 1, 0)) << c.hero_x;
    }
    // Staying: nobody moves and the view is the caller's; a passing entry keeps the keys held.
    script.forgets = 0;
    ASSERT_EQ(enter_map("./data/wide.map", staying(), ENTRY_PASSING), 0);
    EXPECT_EQ(std::tuple(player[0].x, player[0].scroll_x, script.forgets), std::tuple(1280u, 960, 0));
}

// A map that cannot be read keeps the map, the party and the view; the message boxes blocked, so
// keys held across them are forgotten and their ticks dropped.
TEST_F(MapEntry, ARefusedMapKeepsTheMapThePartyAndTheView) {
    write_file("./data/broken.map", "Name: broken.map\nTileset: x\n");
    player[0].x = player[1].x = 77, player[0].scroll_x = 12, speed_counter = 4;
    for (const char* file : {"broken.map", "missing.map"}) {
        EXPECT_EQ(enter_map(std::string("./data/") + file, at_start_tiles()), -1);
        EXPECT_EQ(map.name, "before.map");
        EXPECT_EQ(std::tuple(player[0].x, player[1].x, player[0].scroll_x), std::tuple(77u, 77u, 12));
        ASSERT_FALSE(script.messages.empty());
        EXPECT_NE(script.messages.back().find(file), std::string::npos);
    }
    EXPECT_EQ(std::tuple(script.messages.size(), script.forgets, speed_counter.load()), std::tuple(size_t{2}, 2, 0));
}

TEST_F(MapEntry, StartTilesStayOnTheMapWithoutWrappingRound) {
    const struct { int tile, size; unsigned int pixel; } cases[] = {
        {4, 16, 64}, {-3, 16, 0}, {0x01000000, 256, 9 * 256} /* 2^32 pixels: 0 in 32 bits */, {0x7FFFFFFF, 16, 9 * 16},
    };
    for (const auto& c : cases) {
        map = CMap();
        map.InitMap(10, 10, c.size, c.size, 2);
        map.p0_x = map.p0_y = c.tile;
        map.SetPositions();
        EXPECT_EQ(std::pair(player[0].x, player[0].y), std::pair(c.pixel, c.pixel)) << c.tile;
    }
}

// "new game" after a played one resets the game's state and keeps what start-up loaded for the whole run.
TEST_F(MapEntry, ANewGameAfterAPlayedOneStartsClean) {
    BITMAP* sheet = create_bitmap(32, 80);
    player[0].sprite = sheet, player[0].items[0].name = "Sword", player[1].name = COMPANION_NAME;
    quest.flags = QF_COMPANION | QF_HERB_ERRAND | QF_SELKA_ROAD;
    player[0].won_battles[0] = "cave_battle.map";
    player[0].event_checks[0] = {"duskwing.map", 3, 4};
    player[0].event_checks.emplace_back();
    player[0].gold = 500, player[0].level = 7, player[1].inv[2].id = 5, cine.played[1] = true;
    broken_portal = {true, "duskwing.map", 16, 16};
    App.selected_pc = 1, event.x = 83, battle.turn = 2;
    script.Held(GK_SPACE).Ticks(1);  // "new game", the start menu's first entry
    ASSERT_EQ(Run([] { App.Menu(); }), RunEnd::RETURNED);
    EXPECT_EQ(quest.flags, 0u);
    EXPECT_EQ(player[0].won_battles, CPlayer().won_battles);
    EXPECT_EQ(std::pair(player[0].event_checks.size(), player[0].event_checks[0].x), std::pair(size_t{1}, 0));
    EXPECT_EQ(std::tuple(player[0].gold, player[0].level, player[1].inv[2].id), std::tuple(10, 1, 0));
    EXPECT_EQ(cine.played, CCine().played);
    EXPECT_FALSE(broken_portal.set);
    EXPECT_EQ(std::tuple(App.selected_pc, event.x, battle.turn), std::tuple(0, 0, 0));
    EXPECT_EQ(player[0].sprite, sheet);
    EXPECT_EQ(player[0].items[0].name, "Sword");
    EXPECT_EQ(player[1].name, COMPANION_NAME);
    player[0].sprite = nullptr;
    destroy_bitmap(sheet);
}

}  // namespace
