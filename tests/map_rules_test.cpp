// Collision, party squares, step-on events, portals and the map's choice of music.
#include <cstdlib>

#include "CPlayer.h"
#include "MapBuild.h"
#include "Quests.h"
#include "ScriptHost.h"
#include "Timing.h"

class MapRules : public GameRig {
protected:
    void SetUp() override {
        GameRig::SetUp();
        make_map(map, 20, 15, false);
        map.name = "field.map";
        map.CheckPortals(player[0]);  // off every portal: a failed one from before is forgotten
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
    map.tiles[1][4][4].flags = TF_BLOCKED;  // other layers do not block
    EXPECT_TRUE(map.Collision(3 * 16, 2 * 16));
    EXPECT_TRUE(map.Collision(3 * 16 + 15, 2 * 16 + 15));
    EXPECT_FALSE(map.Collision(3 * 16 + 16, 2 * 16));
    EXPECT_FALSE(map.Collision(4 * 16, 4 * 16));
    EXPECT_FALSE(map.Collision(20 * 16 - 1, 15 * 16 - 1));
    EXPECT_TRUE(map.Collision(20 * 16, 0));
    EXPECT_TRUE(map.Collision(0, 15 * 16));
    EXPECT_TRUE(map.Collision((unsigned)-1, 0));  // one pixel left of the map
    EXPECT_TRUE(map.Collision(0xFFFFFFFFu, 0xFFFFFFFFu));
    CMap empty;
    EXPECT_TRUE(empty.Collision(0, 0));
}

TEST_F(MapRules, PartySquaresOverlapButDoNotTouch) {
    player[0].x = 100;
    player[0].y = 100;
    player[1].x = 110;
    player[1].y = 100;
    EXPECT_EQ(map.WhichPlayer(105, 100), 0);  // overlaps both: the hero
    EXPECT_EQ(map.WhichPlayer(125, 100), 1);
    EXPECT_EQ(map.WhichPlayer(126, 100), -1);
    EXPECT_FALSE(map.CheckPlayer(100 + 16 + 10, 100));
    EXPECT_FALSE(map.CheckPlayer(100, 84));
    EXPECT_TRUE(map.CheckPlayer(100, 85));
    EXPECT_FALSE(map.CheckPlayer(-16, 100));
}

TEST_F(MapRules, StartTilesPlaceTheParty) {
    map.p0_x = 2;
    map.p0_y = 3;
    map.p1_x = 4;
    map.p1_y = 5;
    map.SetPositions();
    EXPECT_EQ(player[0].x, 32u);
    EXPECT_EQ(player[0].y, 48u);
    EXPECT_EQ(player[1].x, 64u);
    EXPECT_EQ(player[1].y, 80u);
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

TEST_F(MapRules, StepEventFiresOnceAndCountsBoundTheScan) {
    add_sign(2, 3, EV_STEP_MESSAGE, 7);
    add_sign(2, 3, EV_STEP_MESSAGE);
    map.num_events = 1;  // only the counted events take part
    player[0].x = 32;
    player[0].y = 48;
    script.Space(2);  // the two boxes this test expects
    auto step = [] { map.CheckEvents(player[0]); };
    EXPECT_EQ(Run(step), RunEnd::RETURNED);
    EXPECT_TRUE(map.events[0].done);
    EXPECT_FALSE(map.events[1].done);
    map.events[0].text = "changed";
    EXPECT_EQ(Run(step), RunEnd::RETURNED);  // walking on again: nothing new
    EXPECT_TRUE(map.events[0].done);
    map.num_events = 9;  // a count past the list is not followed
    EXPECT_EQ(Run(step), RunEnd::RETURNED);
    EXPECT_TRUE(map.events[1].done);
    ASSERT_EQ(script.said.size(), 2u);
    EXPECT_EQ(script.said[0].second, "A sign.");
}

TEST_F(MapRules, ShutPortalDoesNothingUntilItsQuestBitIsSet) {
    add_portal(64, 64, "./data/nowhere.map", 4);
    uint64_t flags = quest.flags;
    quest.flags = 0x3;
    player[0].x = 64;
    player[0].y = 64;
    map.CheckPortals(player[0]);
    EXPECT_EQ(player[0].x, 64u);
    EXPECT_TRUE(script.messages.empty());
    EXPECT_EQ(script.forgets, 0);
    EXPECT_EQ(map.name, "field.map");
    quest.flags = flags;
}

TEST_F(MapRules, PortalOverlapNeedsOnePixelInside) {
    add_portal(64, 64, "./data/nowhere.map");
    player[0].y = 64;
    player[0].x = 64 - 16;  // exactly a tile to the left: only touching
    map.CheckPortals(player[0]);
    EXPECT_EQ(script.forgets, 0);
    player[0].x = 64 - 15;
    map.CheckPortals(player[0]);
    EXPECT_EQ(script.forgets, 1);  // it fired (and failed to load)
}

TEST_F(MapRules, UnreadableDestinationLeavesThePartyWhereItStood) {
    add_portal(64, 64, "./data/nowhere.map");
    map.tiles[0][1][1].tile = 42;
    player[0].x = 60;
    player[0].y = 64;
    player[0].scroll_x = 5;
    speed_counter = 3;
    map.CheckPortals(player[0]);
    EXPECT_EQ(player[0].x, 60u);
    EXPECT_EQ(player[0].y, 64u);
    EXPECT_EQ(player[0].scroll_x, 5);
    EXPECT_EQ(map.name, "field.map");
    EXPECT_EQ(map.tiles[0][1][1].tile, 42);
    EXPECT_EQ(map.num_portals, 1u);
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

TEST(MapMusic, OwnTunesForTwoMapsAndARandomPickForTheRest) {
    bool looped = false;
    EXPECT_EQ(map_tune("orcvillage.MAP", 0, &looped), 8);
    EXPECT_TRUE(looped);
    EXPECT_EQ(map_tune("vorrand.MAP", 5, &looped), 5);
    EXPECT_TRUE(looped);
    EXPECT_EQ(map_tune("orcvillage.map", 12, &looped), 3);  // letter case matters
    EXPECT_FALSE(looped);
    int silent = 0;
    srand(1234);
    for (int i = 0; i < 9000; ++i) silent += map_tune("home.map", rand(), &looped) == 0;
    EXPECT_NEAR(silent, 1000, 150);
}

TEST(MapMusic, NoSoundNoData) {
    CMap m;
    m.name = "orcvillage.MAP";
    m.HandleMusic();  // no tunes to load and no sound driver: nothing happens
    m.HandleMusic();
    SUCCEED();
}
