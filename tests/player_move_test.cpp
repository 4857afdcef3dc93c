// The party's walking: free steps, grid steps and the view that follows.
#include <cstdlib>

#include "CPlayer.h"
#include "Grid.h"
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

TEST_F(Walking, FreeStepsStopAtWallsAndNpcs) {
    p.x = p.y = 64;
    block(5, 4);
    p.Move(m, DIR_RIGHT);
    EXPECT_EQ(p.x, 64u);  // turned, not moved
    EXPECT_EQ(p.facing, DIR_RIGHT);
    p.x = 48, p.y = 64 - 15;
    block(3, 3);
    p.Move(m, DIR_RIGHT);  // only one corner touches the wall
    EXPECT_EQ(p.x, 49u);
    place_npc(m, 116, 100);
    p.x = p.y = 100;
    p.Move(m, DIR_RIGHT);
    EXPECT_EQ(p.x, 100u);
    player[1].x = 100, player[1].y = 84;
    p.Move(m, DIR_UP);  // the companion does not block
    EXPECT_EQ(p.y, 99u);
}

TEST_F(Walking, GridStepRunsSixteenTicksAndIgnoresKeysMeanwhile) {
    p.x = p.y = 160;
    p.MoveBlock(m, DIR_RIGHT);
    EXPECT_EQ(p.moving, 1);
    p.MoveBlock(m, DIR_UP);  // mid-step: nothing, not even the facing
    EXPECT_EQ(p.facing, DIR_RIGHT);
    for (int i = 0; i < 16; ++i) p.UpdateMovement();
    EXPECT_EQ(p.x, 176u);
    EXPECT_EQ(p.moving, 0);
    place_npc(m, 192, 160);
    p.MoveBlock(m, DIR_RIGHT);
    EXPECT_EQ(p.moving, 0);
    p.ViewBlock(m, DIR_RIGHT);  // the free-look cursor passes NPCs
    EXPECT_EQ(p.moving, 1);
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
                for (int moved = 0; moved < 2; ++moved) {
                    SCOPED_TRACE(::testing::Message() << s.w << "x" << s.h << " at " << x << "," << y);
                    p.x = x, p.y = y;
                    p.scroll_x = p.scroll_y = 9;
                    if (moved) p.Move(map, DIR_RIGHT), p.Move(map, DIR_DOWN);
                    else p.UpdateMovement();
                    if (s.w * 16 <= 640) { EXPECT_EQ(p.scroll_x, 0); }
                    if (s.h * 16 <= 480) { EXPECT_EQ(p.scroll_y, 0); }
                    EXPECT_GE(p.scroll_x, 0);
                    EXPECT_GE(p.scroll_y, 0);
                }
            }
    }
}

// Walking reads the map by reference; random walks over walls, NPCs and the companion give
// the same results through the map itself and through a fresh copy for every call.
TEST_F(Walking, SharedMapGivesTheSameResultsAsACopyPerCall) {
    srand(4242);
    for (unsigned int r = 0; r < 50; ++r)
        for (unsigned int c = 0; c < 60; ++c)
            if (rand() % 5 == 0) block(c, r);
    for (int i = 0; i < 30; ++i) place_npc(m, (unsigned)(rand() % 900), (unsigned)(rand() % 760));
    map = m;
    CPlayer a, b;
    a.x = b.x = a.y = b.y = 200;
    player[1].x = player[1].y = 300;
    for (int i = 0; i < 20000; ++i) {
        int dir = rand() % 6, kind = rand() % 3;
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
        ASSERT_TRUE(a.x == b.x && a.y == b.y && a.facing == b.facing && a.moving == b.moving &&
                    a.move_x == b.move_x && a.move_y == b.move_y && a.scroll_x == b.scroll_x &&
                    a.scroll_y == b.scroll_y)
            << i;
    }
    EXPECT_TRUE(a.x != 200 || a.y != 200);
    EXPECT_EQ(m.npcs[0].x, map.npcs[0].x);
}
