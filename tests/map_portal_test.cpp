// Portals between map files: open portals and one-time battle maps.
#include "CPlayer.h"
#include "MapBuild.h"
#include "ScriptHost.h"
#include "TempDir.h"
#include "Timing.h"

// Runs in a fresh game folder, with small map files written to its data/.
class Portals : public GameRig {
protected:
    TempDir dir{TempDir::AS_GAME_FOLDER};

    void SetUp() override {
        GameRig::SetUp();
        CMap town;
        make_map(town, 50, 40);
        add_portal(town, 0, 0, "./data/home.map", 8, 8);
        ASSERT_EQ(town.SaveMap("./data/town.map"), 0);

        CMap arena;
        make_map(arena, 20, 15);
        arena.battle = true;
        ASSERT_EQ(arena.SaveMap("./data/arena.map"), 0);

        CMap home;
        make_map(home, 20, 15);
        add_portal(home, 64, 64, "./data/town.map", 32, 48);
        add_portal(home, 160, 160, "./data/arena.map", 8, 8);
        add_portal(home, 160, 160, "./data/arena.map", 8, 8);  // a second way through the same square
        add_portal(home, 200, 200, "./data/arena.map", 8, 8);
        ASSERT_EQ(home.SaveMap("./data/home.map"), 0);
        ASSERT_EQ(map.LoadMap("./data/home.map"), 0);
    }
    void stand_at(unsigned int x, unsigned int y) {
        player[0].x = x;
        player[0].y = y;
    }
};

TEST_F(Portals, OpenPortalCarriesTheHeroAndForgetsHeldKeys) {
    stand_at(70, 60);
    speed_counter = 4;
    map.CheckPortals(player[0]);
    EXPECT_EQ(map.name, "town.map");
    EXPECT_EQ(player[0].x, 32u);
    EXPECT_EQ(player[0].y, 48u);
    EXPECT_EQ(script.forgets, 1);
    EXPECT_EQ(speed_counter, 0);
}

TEST_F(Portals, BattleIsRecordedFoughtOnceAndItsWayRemoved) {
    player[0].won_battles[0] = "cave.map";
    stand_at(160, 160);
    player[0].hp = 10;                 // a hero on his feet: the battle is won, not lost
    script.Ticks(3).Space().Ticks(5);  // the arena holds no monster: its victory box, then the battle's last frame
    map.CheckPortals(player[0]);
    // Fought, recorded in the first free slot, and back on the portal square at home.
    EXPECT_EQ(player[0].won_battles[0], "cave.map");
    EXPECT_EQ(player[0].won_battles[1], "arena.map");
    EXPECT_EQ(map.name, "home.map");
    EXPECT_EQ(player[0].x, 160u);
    EXPECT_EQ(map.num_portals, 4u);

    // The next check finds the battle fought and takes away every portal on that square.
    map.CheckPortals(player[0]);
    EXPECT_EQ(map.num_portals, 2u);
    ASSERT_EQ(map.portals.size(), 2u);
    EXPECT_EQ(map.portals[1].x, 200);
    EXPECT_EQ(player[0].won_battles[2], "empty");  // not recorded twice

    // Reading the map again from its file brings the way back.
    ASSERT_EQ(map.LoadMap("./data/home.map"), 0);
    EXPECT_EQ(map.num_portals, 4u);
}
