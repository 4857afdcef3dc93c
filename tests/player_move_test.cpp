// The party record's statistics and its walking: free steps, grid steps and the view that follows.
#include <cstdlib>

#include "CPlayer.h"
#include "MapBuild.h"
#include "ScriptHost.h"

class Walking : public GameRig {
protected:
    CMap m;
    CPlayer& p = player[0];
    void SetUp() override {
        GameRig::SetUp();
        make_map(m, 60, 50, false);
        map = m;
        player[1].x = player[1].y = 2000;  // out of the way unless a test places her
    }
    void block(unsigned int c, unsigned int r) { m.tiles[0][r][c].flags |= TF_BLOCKED; }
};

TEST(PlayerStats, NewCharacterRollsWithinTheRanges) {
    srand(77);
    for (int i = 0; i < 200; ++i) {
        CPlayer c;
        c.InitStats();
        for (int v : {c.str, c.wis, c.intel, c.con, c.cha}) {
            EXPECT_GE(v, 10);
            EXPECT_LE(v, 18);
        }
        EXPECT_EQ(c.hp, c.max_hp);
        EXPECT_GE(c.hp, 8);
        EXPECT_LE(c.hp, 10);
        EXPECT_EQ(c.level, 1);
        EXPECT_EQ(c.damage, 1);
        EXPECT_EQ(c.ac, 0);
        EXPECT_EQ(c.gold, 10);
        EXPECT_EQ(c.exp, 0);
        EXPECT_EQ(c.won_battles.size(), 25u);
        ASSERT_EQ(c.event_checks.size(), 1u);
        EXPECT_EQ(c.event_checks[0].x, 0);
        EXPECT_EQ(c.x, 64u);
        EXPECT_EQ(c.y, 64u);
    }
    EXPECT_EQ(level_table[4], 100);
    EXPECT_EQ(level_table[10], 6000);
}

TEST(PlayerStats, OnlyEquippedSlotsCount) {
    CPlayer c;
    c.base_damage = 3;
    c.base_ac = 2;
    c.UpdateStats();
    EXPECT_EQ(c.damage, 3);
    EXPECT_EQ(c.ac, 2);
    c.inv[0].damage = 5;
    c.inv[0].equipped = true;
    c.inv[9].armour = 4;
    c.inv[9].equipped = true;
    c.inv[4].damage = 100;  // carried, not worn
    c.inv[4].armour = 100;
    c.UpdateStats();
    EXPECT_EQ(c.damage, 8);
    EXPECT_EQ(c.ac, 6);
}

TEST_F(Walking, FreeStepsMoveOnePixelAndWallsOnlyTurn) {
    p.x = 100;
    p.y = 100;
    p.Move(m, 3);
    EXPECT_EQ(p.x, 101u);
    EXPECT_EQ(p.facing, 3);
    p.Move(m, 1);
    EXPECT_EQ(p.y, 99u);
    // A wall right beside: turned, not moved.
    p.x = 64;
    p.y = 64;
    block(5, 4);
    p.Move(m, 3);
    EXPECT_EQ(p.x, 64u);
    EXPECT_EQ(p.facing, 3);
    // Only one of the two corners needs to touch the wall.
    p.x = 48;
    p.y = 64 - 15;
    block(3, 3);
    p.Move(m, 3);
    EXPECT_EQ(p.x, 49u);
    p.Move(m, 1);
    EXPECT_EQ(p.y, 49u);
    // Codes outside 1..4 do nothing at all.
    p.facing = 2;
    p.Move(m, 0);
    p.Move(m, 5);
    EXPECT_EQ(p.facing, 2);
    EXPECT_EQ(p.x, 49u);
}

TEST_F(Walking, TheMapEdgeIsAWall) {
    p.x = 0;
    p.y = 0;
    p.Move(m, 4);
    p.Move(m, 1);
    EXPECT_EQ(p.x, 0u);
    EXPECT_EQ(p.y, 0u);
    p.x = 60 * 16 - 16;
    p.y = 50 * 16 - 16;
    p.Move(m, 3);
    p.Move(m, 2);
    EXPECT_EQ(p.x, 60u * 16 - 16);
    EXPECT_EQ(p.y, 50u * 16 - 16);
}

TEST_F(Walking, NpcsBlockFreeStepsButThePartyDoesNot) {
    place_npc(m, 116, 100);  // touching the hero's right side
    p.x = 100;
    p.y = 100;
    p.Move(m, 3);
    EXPECT_EQ(p.x, 100u);
    player[1].x = 100;
    player[1].y = 84;
    p.Move(m, 1);
    EXPECT_EQ(p.y, 99u);
}

TEST_F(Walking, GridStepRunsSixteenTicksAndIgnoresKeysMeanwhile) {
    p.x = 160;
    p.y = 160;
    p.MoveBlock(m, 3);
    EXPECT_EQ(p.moving, 1);
    EXPECT_EQ(p.move_x, -16);
    EXPECT_EQ(p.x, 160u);
    p.MoveBlock(m, 1);  // mid-step: nothing, not even the facing
    p.ViewBlock(m, 1);
    EXPECT_EQ(p.facing, 3);
    EXPECT_EQ(p.move_y, 0);
    for (int i = 0; i < 15; ++i) p.UpdateMovement();
    EXPECT_EQ(p.moving, 1);
    p.UpdateMovement();
    EXPECT_EQ(p.x, 176u);
    EXPECT_EQ(p.move_x, 0);
    EXPECT_EQ(p.moving, 0);
    p.UpdateMovement();
    EXPECT_EQ(p.x, 176u);

    p.MoveBlock(m, 1);
    EXPECT_EQ(p.move_y, 16);
    for (int i = 0; i < 16; ++i) p.UpdateMovement();
    EXPECT_EQ(p.y, 144u);
    p.ViewBlock(m, 4);
    EXPECT_EQ(p.move_x, 16);
    p.moving = 0;
    p.move_x = 0;
    p.MoveBlock(m, 7);
    EXPECT_EQ(p.moving, 0);
}

TEST_F(Walking, WhatStopsAGridStep) {
    p.x = 160;
    p.y = 160;
    place_npc(m, 176, 160);
    p.MoveBlock(m, 3);
    EXPECT_EQ(p.moving, 0);
    EXPECT_EQ(p.facing, 3);
    p.ViewBlock(m, 3);  // the free-look cursor passes NPCs
    EXPECT_EQ(p.moving, 1);
    p.moving = 0;
    p.move_x = 0;

    player[1].x = 160;
    player[1].y = 144;
    p.MoveBlock(m, 1);
    EXPECT_EQ(p.moving, 0);
    p.ViewBlock(m, 1);
    EXPECT_EQ(p.moving, 1);
    p.moving = 0;
    p.move_y = 0;

    block(10, 11);
    p.ViewBlock(m, 2);
    EXPECT_EQ(p.moving, 0);
    p.x = 0;
    p.ViewBlock(m, 4);  // off the map
    EXPECT_EQ(p.moving, 0);
}

TEST_F(Walking, FreeWalkViewFollowsOnTheAxisMoved) {
    const int W = 60 * 16, H = 50 * 16;
    p.x = 500;
    p.y = 400;
    p.Move(m, 3);
    EXPECT_EQ(p.scroll_x, 501 - 320);
    EXPECT_EQ(p.scroll_y, 0);  // vertical view untouched
    p.Move(m, 2);
    EXPECT_EQ(p.scroll_y, 401 - 240);
    // Near the far edges.
    p.x = W - 100;
    p.Move(m, 4);
    EXPECT_EQ(p.scroll_x, W - 640);
    p.y = H - 100;
    p.Move(m, 1);
    EXPECT_EQ(p.scroll_y, H - 480 - 1);
    // Near the start.
    p.x = 100;
    p.Move(m, 3);
    EXPECT_EQ(p.scroll_x, 0);
    // Exactly on a threshold the view stays as it was.
    p.scroll_x = 7;
    p.x = 319;
    p.Move(m, 3);
    EXPECT_EQ(p.x, 320u);
    EXPECT_EQ(p.scroll_x, 7);
    p.x = W - 320 - 1;
    p.Move(m, 3);
    EXPECT_EQ(p.scroll_x, 7);
}

TEST_F(Walking, RecentringUsesTheCurrentMap) {
    const int W = 60 * 16, H = 50 * 16;
    p.x = 100;
    p.y = 100;
    p.scroll_x = p.scroll_y = 55;
    p.UpdateMovement();
    EXPECT_EQ(p.scroll_x, 0);
    EXPECT_EQ(p.scroll_y, 0);
    p.x = W - 20;
    p.y = H - 20;
    p.UpdateMovement();
    EXPECT_EQ(p.scroll_x, W - 640);
    EXPECT_EQ(p.scroll_y, H - 480 - 1);
    p.x = 400;
    p.y = 300;
    p.UpdateMovement();
    EXPECT_EQ(p.scroll_x, 400 - 320);
    EXPECT_EQ(p.scroll_y, 300 - 240 - 1);
    p.x = W - 320;  // the right-hand threshold itself still centres
    p.UpdateMovement();
    EXPECT_EQ(p.scroll_x, W - 640);
}

TEST_F(Walking, SmallMapsAreShownFromTheirTopLeft) {
    struct Size {
        unsigned int w, h;
    } sizes[] = {{10, 8}, {40, 30}, {40, 100}, {100, 30}};
    for (const Size& s : sizes) {
        make_map(map, s.w, s.h, false);
        for (unsigned int y : {0u, 100u, 239u, 240u, 241u, 400u})
            for (unsigned int x : {0u, 200u, 320u, 500u}) {
                if (x >= s.w * 16 - 16 || y >= s.h * 16 - 16) continue;
                p.x = x;
                p.y = y;
                p.scroll_x = p.scroll_y = 9;
                p.UpdateMovement();
                if (s.w * 16 <= 640) {
                    EXPECT_EQ(p.scroll_x, 0) << s.w << "x" << s.h << " at " << x;
                }
                if (s.h * 16 <= 480) {
                    EXPECT_EQ(p.scroll_y, 0) << s.w << "x" << s.h << " at " << y;
                }
                EXPECT_GE(p.scroll_x, 0);
                EXPECT_GE(p.scroll_y, 0);
                p.scroll_x = p.scroll_y = 9;
                p.Move(map, 3);
                p.Move(map, 2);
                if (s.w * 16 <= 640) {
                    EXPECT_EQ(p.scroll_x, 0);
                }
                if (s.h * 16 <= 480) {
                    EXPECT_EQ(p.scroll_y, 0);
                }
            }
    }
    // A map just taller than the screen can scroll by its one extra pixel row's worth.
    make_map(map, 50, 31, false);
    p.x = 100;
    p.y = 31 * 16 - 20;
    p.UpdateMovement();
    EXPECT_EQ(p.scroll_y, 31 * 16 - 480 - 1);
}

// Walking reads the map through a reference; a by-value map was a copy identical to the
// original. Random walks over walls, NPCs and the other party member give the same results
// through the map itself and through a fresh copy for every call.
TEST_F(Walking, SharedMapGivesTheSameResultsAsACopyPerCall) {
    srand(4242);
    for (unsigned int r = 0; r < 50; ++r)
        for (unsigned int c = 0; c < 60; ++c)
            if (rand() % 5 == 0) block(c, r);
    for (int i = 0; i < 30; ++i) place_npc(m, (unsigned)(rand() % 900), (unsigned)(rand() % 760));
    map = m;
    CPlayer a, b;
    a.x = b.x = 200;
    a.y = b.y = 200;
    player[1].x = 300;
    player[1].y = 300;
    for (int i = 0; i < 20000; ++i) {
        int dir = rand() % 6;
        int kind = rand() % 3;
        if (kind == 0) {
            a.Move(m, dir);
            b.Move(CMap(m), dir);
        } else if (kind == 1) {
            a.MoveBlock(m, dir);
            b.MoveBlock(CMap(m), dir);
        } else {
            a.ViewBlock(m, dir);
            b.ViewBlock(CMap(m), dir);
        }
        a.UpdateMovement();
        b.UpdateMovement();
        ASSERT_EQ(a.x, b.x) << i;
        ASSERT_EQ(a.y, b.y) << i;
        ASSERT_EQ(a.facing, b.facing) << i;
        ASSERT_EQ(a.moving, b.moving) << i;
        ASSERT_EQ(a.move_x, b.move_x) << i;
        ASSERT_EQ(a.move_y, b.move_y) << i;
        ASSERT_EQ(a.scroll_x, b.scroll_x) << i;
        ASSERT_EQ(a.scroll_y, b.scroll_y) << i;
    }
    // The walk went somewhere and the map it read is as it was.
    EXPECT_TRUE(a.x != 200 || a.y != 200);
    EXPECT_EQ(m.num_npcs, 30u);
    EXPECT_EQ(m.npcs[0].x, map.npcs[0].x);
}
