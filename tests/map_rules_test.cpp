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
    CPortal& add_portal(int x, int y, const std::string& dest, int flag = 0) {
        CPortal& p = ::add_portal(map, x, y, dest, 200, 100);
        p.quest_flag = flag;
        return p;
    }
    CEvent& add_sign(int c, int r, int type, int q = 0) {
        CEvent& e = add_event(map, c, r, type, q);
        e.text = "A sign.";
        return e;
    }
};

TEST_F(MapRules, CollisionReadsLayerZeroAndBlocksEverythingOffTheMap) {
    map.tiles[0][2][3].flags = TF_BLOCKED;
    map.tiles[1][4][4].flags = TF_BLOCKED;
    EXPECT_TRUE(map.Collision(3 * 16, 2 * 16));
    EXPECT_FALSE(map.Collision(3 * 16 + 16, 2 * 16));
    EXPECT_FALSE(map.Collision(4 * 16, 4 * 16));  // other layers do not block
    EXPECT_FALSE(map.Collision(20 * 16 - 1, 15 * 16 - 1));
    EXPECT_TRUE(map.Collision(20 * 16, 0));
    EXPECT_TRUE(map.Collision(0, 15 * 16));
    EXPECT_TRUE(map.Collision((unsigned)-1, 0));  // one pixel left of the map
    EXPECT_TRUE(map.Collision(0xFFFFFFFFu, 0xFFFFFFFFu));
    CMap empty;
    EXPECT_TRUE(empty.Collision(0, 0));
}

TEST_F(MapRules, StepEventsFireUnderAnyOfTheFourCornerTiles) {
    struct Case {
        unsigned int x, y;
        int fired;  // how many of the events on tiles (2,3) (3,3) (2,4) (3,4) fire
    } cases[] = {{32, 48, 1}, {40, 48, 2}, {40, 56, 4}, {31, 47, 1}};
    for (const Case& c : cases) {
        map.events.clear();
        add_sign(2, 3, EV_STEP_MESSAGE);
        add_sign(3, 3, EV_STEP_MESSAGE);
        add_sign(2, 4, EV_STEP_MESSAGE);
        add_sign(3, 4, EV_STEP_MESSAGE);
        add_sign(3, 3, EV_TALK);  // not a step event
        player[0].x = c.x;
        player[0].y = c.y;
        script.said.clear();
        script.Space(c.fired);  // one SPACE closes each sign's box
        EXPECT_EQ(Run([] { map.CheckEvents(player[0]); }), RunEnd::RETURNED) << c.x << "," << c.y;
        int fired = 0;
        for (const CEvent& e : map.events) fired += e.done;
        EXPECT_EQ(fired, c.fired) << c.x << "," << c.y;
        EXPECT_EQ(script.said.size(), (size_t)c.fired) << c.x << "," << c.y;
        EXPECT_FALSE(map.events[4].done);
    }
}

// A portal stays shut while its quest bit is clear; open, a destination that cannot be read
// leaves the party, the view and the map as they were, once per stay on the portal.
TEST_F(MapRules, ShutPortalsAndUnreadableDestinationsLeaveThePartyWhereItStood) {
    add_portal(64, 64, "./data/nowhere.map", 4);
    map.tiles[0][1][1].tile = 42;
    player[0].x = 60;
    player[0].y = 64;
    player[0].scroll_x = 5;
    speed_counter = 3;
    quest.flags = 0x3;
    map.CheckPortals(player[0]);
    EXPECT_TRUE(script.messages.empty());
    EXPECT_EQ(script.forgets, 0);
    EXPECT_EQ(speed_counter, 3);
    quest.flags = 0x4;
    map.CheckPortals(player[0]);
    EXPECT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(map.name, "field.map");
    EXPECT_EQ(player[0].x, 60u);
    EXPECT_EQ(player[0].scroll_x, 5);
    EXPECT_EQ(map.tiles[0][1][1].tile, 42);
    EXPECT_EQ(speed_counter, 0);
    EXPECT_EQ(script.forgets, 1);
    // Still standing on it, the same failure is not repeated step after step...
    player[0].x = 61;
    map.CheckPortals(player[0]);
    EXPECT_EQ(script.forgets, 1);
    // ...but once off it, stepping on again tries again.
    player[0].x = 40;
    map.CheckPortals(player[0]);
    player[0].x = 60;
    map.CheckPortals(player[0]);
    EXPECT_EQ(script.forgets, 2);
}

// A portal into a battle map fights it once, from a game folder with a home map and an arena.
TEST_F(MapRules, BattleIsRecordedFoughtOnceAndItsWayRemovedUntilTheMapIsRead) {
    TempDir dir(TempDir::AS_GAME_FOLDER);
    CMap arena;
    make_map(arena, 20, 15);
    arena.battle = true;
    ASSERT_EQ(arena.SaveMap("./data/arena.map"), 0);
    add_portal(64, 64, "./data/town.map");
    add_portal(160, 160, "./data/arena.map");
    add_portal(160, 160, "./data/arena.map");  // a second way through the same square
    add_portal(200, 200, "./data/arena.map");
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
    EXPECT_EQ(player[0].x, 160u);
    EXPECT_EQ(map.num_portals, 4u);
    // The next check finds the battle fought and takes away every portal on that square.
    map.CheckPortals(player[0]);
    ASSERT_EQ(map.num_portals, 2u);
    EXPECT_EQ(map.portals[1].x, 200);
    EXPECT_EQ(player[0].won_battles[2], "empty");  // not recorded twice
    ASSERT_EQ(map.LoadMap("./data/home.map"), 0);
    EXPECT_EQ(map.num_portals, 4u);
}
