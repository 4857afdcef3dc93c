// Collision, step-on events, portals that stay shut or fail to load, and battle maps fought once.
#include "CPlayer.h"
#include "MapBuild.h"
#include "Quests.h"
#include "ScriptHost.h"
#include "TempDir.h"
#include "Timing.h"

class MapRules : public GameRig {
protected:
    void SetUp() override {
        GameRig::SetUp();
        make_map(map, 20, 15, false);
        map.name = "field.map";
    }
    void AddPortal(int x, int y, const std::string& dest, int flag = 0) {
        add_portal(map, x, y, dest, 200, 100).quest_flag = flag;
    }
};

TEST_F(MapRules, CollisionReadsLayerZeroAndBlocksEverythingOffTheMap) {
    map.tiles[0][2][3].flags = TF_BLOCKED;
    map.tiles[1][4][4].flags = TF_BLOCKED;  // other layers do not block
    const struct { unsigned int x, y; bool blocked; } cases[] = {
        {3 * 16, 2 * 16, true},          {4 * 16, 2 * 16, false},  {4 * 16, 4 * 16, false},
        {20 * 16 - 1, 15 * 16 - 1, false}, {20 * 16, 0, true},       {0, 15 * 16, true},
        {(unsigned)-1, 0, true} /* one pixel left of the map */,      {0xFFFFFFFFu, 0xFFFFFFFFu, true},
    };
    for (const auto& c : cases) EXPECT_EQ(map.Collision(c.x, c.y), c.blocked) << c.x << "," << c.y;
    EXPECT_TRUE(CMap().Collision(0, 0));
}

TEST_F(MapRules, StepEventsFireUnderAnyOfTheFourCornerTiles) {
    // How many of the step events on tiles (2,3) (3,3) (2,4) (3,4) fire with the hero at (x, y).
    const struct { unsigned int x, y; int fired; } cases[] = {{32, 48, 1}, {40, 48, 2}, {40, 56, 4}, {31, 47, 1}};
    for (const auto& c : cases) {
        map.events.clear();
        for (auto [col, row, type] : {std::tuple{2, 3, EV_STEP_MESSAGE}, {3, 3, EV_STEP_MESSAGE}, {2, 4, EV_STEP_MESSAGE},
                                      {3, 4, EV_STEP_MESSAGE}, {3, 3, EV_TALK} /* not a step event */})
            add_event(map, col, row, type).text = "A sign.";
        player[0].x = c.x, player[0].y = c.y;
        script.said.clear();
        script.Space(c.fired);  // one SPACE closes each sign's box
        EXPECT_EQ(Run([] { map.CheckEvents(player[0]); }), RunEnd::RETURNED) << c.x << "," << c.y;
        int fired = 0;
        for (const CEvent& e : map.events) fired += e.done;
        EXPECT_EQ(fired, c.fired) << c.x << "," << c.y;
        EXPECT_EQ(script.said.size(), (size_t)c.fired) << c.x << "," << c.y;
    }
}

// A portal stays shut while its quest bit is clear; open, a destination that cannot be read
// leaves the party, the view and the map as they were, once per stay on the portal.
TEST_F(MapRules, ShutPortalsAndUnreadableDestinationsLeaveThePartyWhereItStood) {
    AddPortal(64, 64, "./data/nowhere.map", 4);
    map.tiles[0][1][1].tile = 42;
    player[0].x = 60, player[0].y = 64, player[0].scroll_x = 5;
    speed_counter = 3, quest.flags = 0x3;
    map.CheckPortals(player[0]);
    EXPECT_EQ(std::tuple(script.messages.size(), script.forgets, speed_counter.load()), std::tuple(size_t{0}, 0, 3));
    quest.flags = 0x4;
    map.CheckPortals(player[0]);
    EXPECT_EQ(std::tuple(script.messages.size(), script.forgets, speed_counter.load()), std::tuple(size_t{1}, 1, 0));
    EXPECT_EQ(map.name, "field.map");
    EXPECT_EQ(std::tuple(player[0].x, player[0].scroll_x, map.tiles[0][1][1].tile), std::tuple(60u, 5, 42));
    // Not repeated while still standing on it; tried again once off it and on again.
    for (unsigned int x : {61u, 40u, 60u}) player[0].x = x, map.CheckPortals(player[0]);
    EXPECT_EQ(script.forgets, 2);
}

// A portal into a battle map fights it once, from a game folder with a home map and an arena.
TEST_F(MapRules, BattleIsRecordedFoughtOnceAndItsWayRemovedUntilTheMapIsRead) {
    TempDir dir(TempDir::AS_GAME_FOLDER);
    CMap arena;
    make_map(arena, 20, 15);
    arena.battle = true;
    ASSERT_EQ(arena.SaveMap("./data/arena.map"), 0);
    AddPortal(64, 64, "./data/town.map");
    AddPortal(160, 160, "./data/arena.map");
    AddPortal(160, 160, "./data/arena.map");  // a second way through the same square
    AddPortal(200, 200, "./data/arena.map");
    ASSERT_EQ(map.SaveMap("./data/home.map"), 0);
    ASSERT_EQ(map.LoadMap("./data/home.map"), 0);
    player[0].won_battles[0] = "cave.map";
    player[0].x = player[0].y = 160;
    player[0].hp = 10;                 // a hero on his feet: the battle is won, not lost
    script.Ticks(3).Space().Ticks(5);  // the arena holds no monster: its victory box, then the battle's last frame
    map.CheckPortals(player[0]);
    // Fought, recorded in the first free slot, and back on the portal square at home.
    EXPECT_EQ(player[0].won_battles[1], "arena.map");
    EXPECT_EQ(map.name, "home.map");
    EXPECT_EQ(std::pair(player[0].x, map.num_portals), std::pair(160u, 4u));
    // The next check finds the battle fought and takes away every portal on that square.
    map.CheckPortals(player[0]);
    ASSERT_EQ(map.num_portals, 2u);
    EXPECT_EQ(map.portals[1].x, 200);
    EXPECT_EQ(player[0].won_battles[2], "empty");  // not recorded twice
    ASSERT_EQ(map.LoadMap("./data/home.map"), 0);
    EXPECT_EQ(map.num_portals, 4u);
}
