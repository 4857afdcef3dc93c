// NPC steps on the grid, the camera that follows them, monster targets and the field wander.
#include <gtest/gtest.h>

#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "Grid.h"
#include "Interaction.h"
#include "PeopleRig.h"
#include "Quests.h"

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
    void AddNpc(unsigned x, unsigned y, int dir = DIR_UP) {
        CNpc other = N();
        other.x = x;
        other.y = y;
        other.dir = dir;
        map.npcs.push_back(other);
        map.num_npcs = (unsigned)map.npcs.size();
    }
};

TEST_F(Npcs, AStepTakesSixteenUpdatesAndFreshMovesWaitForIt) {
    N().Move(map, DIR_RIGHT);
    N().Move(map, DIR_DOWN);  // ignored while walking
    EXPECT_EQ(N().move_y, 0);
    for (int i = 0; i < 16; ++i) N().UpdateMovement();
    EXPECT_EQ(N().x, 80u);
    EXPECT_FALSE(N().moving);
}

TEST_F(Npcs, StepsAreBlockedByWallsThePartyOtherNpcsAndTheMapEdge) {
    map.tiles[0][4][5].flags = TF_BLOCKED;  // right of the NPC
    player[0].x = 64;
    player[0].y = 80;  // touching below
    AddNpc(64, 40);    // overlaps the tile above
    for (int dir : {DIR_RIGHT, DIR_DOWN, DIR_UP}) {
        N().Move(map, dir);
        EXPECT_FALSE(N().moving) << dir;
    }
    N().Move(map, DIR_LEFT);  // the left is clear
    EXPECT_TRUE(N().moving);
    N().moving = false;
    N().x = N().y = 0;
    N().Move(map, DIR_LEFT);
    N().Move(map, DIR_UP);
    EXPECT_FALSE(N().moving);
}

TEST_F(Npcs, CameraFollowsAWalkerButStaysAtTheOriginOfASmallMap) {
    map.width = map.height = 100;
    N().x = N().y = 1590;
    N().UpdateMovement();
    EXPECT_EQ(map.scroll_x, 1600 - 640);
    map.width = 20;
    map.height = 15;
    map.scroll_x = map.scroll_y = 5;
    N().x = 300;
    N().y = 220;
    N().UpdateMovement();
    EXPECT_EQ(map.scroll_x, 0);
    EXPECT_EQ(map.scroll_y, 0);
}

}  // namespace
