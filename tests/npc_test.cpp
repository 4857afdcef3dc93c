// NPC steps on the grid, the field wander along walkways, monster targets and the monster table.
#include <gtest/gtest.h>

#include "CDisplay.h"
#include "CMain.h"
#include "CMap.h"
#include "CMenu.h"
#include "CPlayer.h"
#include "Interaction.h"
#include "PeopleRig.h"
#include "Quests.h"
#include "TempDir.h"
#include "Timing.h"

namespace {

class Npcs : public PeopleRig {
protected:
    void SetUp() override {
        PeopleRig::SetUp();
        MakeMap(10, 10);
        player[0].x = player[1].x = 144;
        player[0].y = player[1].y = 144;
        PlaceNpc(64, 64, 0);
    }
    CNpc& N(int i = 0) { return map.npcs[i]; }
    void Walk(CNpc& n) {
        for (int i = 0; i < 16; ++i) n.UpdateMovement();
    }
    void Walkway() {
        for (auto& row : map.tiles[0])
            for (CTile& t : row) t.flags |= TF_WALKWAY;
    }
};

TEST_F(Npcs, AStepTakesSixteenUpdatesAndFreshMovesWaitForIt) {
    N().Move(map, 3);
    EXPECT_TRUE(N().moving);
    N().Move(map, 2);  // ignored while walking
    EXPECT_EQ(N().move_y, 0);
    Walk(N());
    EXPECT_EQ(N().x, 80u);
    EXPECT_EQ(N().y, 64u);
    EXPECT_FALSE(N().moving);
    N().Move(map, 0);
    N().Move(map, 5);
    EXPECT_FALSE(N().moving);
}

TEST_F(Npcs, StepsAreBlockedByWallsThePartyAndOtherNpcs) {
    map.tiles[0][4][5].flags = TF_BLOCKED;  // right of the NPC
    N().Move(map, 3);
    EXPECT_FALSE(N().moving);
    player[0].x = 64;
    player[0].y = 80;  // touching below
    N().Move(map, 2);
    EXPECT_FALSE(N().moving);
    CNpc other = N();
    other.x = 64;
    other.y = 40;  // overlaps the tile above
    map.npcs.push_back(other);
    map.num_npcs = 2;
    N().Move(map, 1);
    EXPECT_FALSE(N().moving);
    N().Move(map, 4);  // the left is clear
    EXPECT_TRUE(N().moving);
    EXPECT_EQ(N().move_x, 16);
}

TEST_F(Npcs, StepsOffTheMapAreBlocked) {
    N().x = 0;
    N().y = 0;
    N().Move(map, 4);
    N().Move(map, 1);
    EXPECT_FALSE(N().moving);
}

TEST_F(Npcs, CameraFollowsAWalkerOnABigMap) {
    map.width = map.height = 100;
    N().x = 400;
    N().y = 300;
    N().move_x = -16;
    N().moving = true;
    N().UpdateMovement();
    EXPECT_EQ(map.scroll_x, 401 - 320);
    EXPECT_EQ(map.scroll_y, 300 - 240 - 1);
    N().x = 1590;
    N().y = 1590;
    N().UpdateMovement();
    EXPECT_EQ(map.scroll_x, 1600 - 640);
    EXPECT_EQ(map.scroll_y, 1600 - 480 - 1);
}

TEST_F(Npcs, CameraStaysAtTheOriginOfAMapSmallerThanTheScreen) {
    // A 20 x 15 battle map is smaller than the screen on both axes: a monster near its far
    // corner must not drag the view to before the map's start.
    map.width = 20;
    map.height = 15;
    map.scroll_x = map.scroll_y = 5;
    N().x = 300;
    N().y = 220;
    N().UpdateMovement();
    EXPECT_EQ(map.scroll_x, 0);
    EXPECT_EQ(map.scroll_y, 0);
}

TEST_F(Npcs, TargetsStayOnTheHeroWithoutTheCompanion) {
    srand(7);
    for (int i = 0; i < 20; ++i) {
        N().UpdateTargets();
        EXPECT_EQ(N().target, 0);
    }
    quest.flags = QF_COMPANION;
    bool seen[2] = {false, false};
    for (int i = 0; i < 50; ++i) {
        N().UpdateTargets();
        ASSERT_TRUE(N().target == 0 || N().target == 1);
        seen[N().target] = true;
    }
    EXPECT_TRUE(seen[0] && seen[1]);
}

TEST_F(Npcs, MonsterTableByKind) {
    CNpc m;
    m.id = 14;
    m.hp = 1;
    m.LoadStats();
    EXPECT_EQ(m.name, "Thug");
    EXPECT_EQ(m.damage, 7);
    EXPECT_EQ(m.hp, 3);
    m.id = 21;
    m.LoadStats();
    EXPECT_EQ(m.name, "A goblin snappa' cracka' ");
    EXPECT_EQ(m.mana, 3);
    m.id = 7;
    m.LoadStats();
    EXPECT_EQ(m.level, 2);
    EXPECT_EQ(m.mana, 0);
    CNpc before = m;
    for (int kind : {0, -1, 31}) {
        m.id = kind;
        m.LoadStats();
        EXPECT_EQ(m.name, before.name);
        EXPECT_EQ(m.hp, before.hp);
    }
    EXPECT_EQ(CNpc().dir, 1);
    EXPECT_EQ(CNpc().attack_range, 1);
}

TEST_F(Npcs, WanderStepsAlongWalkwaysOnly) {
    N().dir = 3;
    FieldNpcWander();
    EXPECT_EQ(N().x, 64u);  // no walkway: a new direction instead
    EXPECT_GE(N().dir, 1);
    EXPECT_LE(N().dir, 50);
    Walkway();
    N().dir = 3;
    FieldNpcWander();
    EXPECT_EQ(N().x, 65u);
    N().dir = 2;
    FieldNpcWander();
    EXPECT_EQ(N().y, 65u);
    N().x = 9 * 16;  // the last column: nothing to its right
    N().dir = 3;
    FieldNpcWander();
    EXPECT_EQ(N().x, 144u);
}

TEST_F(Npcs, WanderWaitsForTheHeroAndOtherNpcsAndOnlyThoseInTheWay) {
    Walkway();
    player[0].x = 80;
    player[0].y = 64;  // right beside the NPC
    CNpc other;
    other.x = 64;
    other.y = 80;  // right below it
    other.dir = 3;
    map.npcs.push_back(other);
    map.num_npcs = 2;
    N().dir = 3;
    FieldNpcWander();
    EXPECT_EQ(N().x, 64u);
    EXPECT_EQ(N().dir, 3);        // keeps its direction
    EXPECT_EQ(N(1).x, 65u);       // the other walks on: the hero is not in its way
    N(1).x = 64;
    N().dir = 2;
    N(1).dir = 1;
    FieldNpcWander();
    EXPECT_EQ(N().y, 64u);
    EXPECT_EQ(N(1).y, 80u);
}

TEST_F(Npcs, WanderFramesToggleEveryThirtyOneNpcSteps) {
    N().dir = 7;  // stands still
    N().frame = 0;
    App.timer = 30;
    FieldNpcWander();
    EXPECT_EQ(N().frame, 1);
    EXPECT_EQ(App.timer, 0);
    FieldNpcWander();
    EXPECT_EQ(N().frame, 1);
}

}  // namespace
