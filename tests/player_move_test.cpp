// The party's walking: free steps, grid steps and the view that follows.
#include <cstdlib>
#include <tuple>

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
        player[1].x = player[1].y = 2000;  // out of the way unless a test places her
    }
    void block(unsigned int c, unsigned int r) { m.tiles[0][r][c].flags |= TF_BLOCKED; }
    // Places the hero at (x, y), steps once in dir and returns where he stands.
    std::pair<unsigned int, unsigned int> Step(unsigned int x, unsigned int y, int dir) {
        p.x = x, p.y = y;
        p.Move(m, dir);
        return {p.x, p.y};
    }
};

// A wall turns the hero without moving him, even when only one corner touches it; an NPC
// blocks, the companion does not.
TEST_F(Walking, FreeStepsStopAtWallsAndNpcs) {
    block(5, 4), block(3, 3);
    place_npc(m, 116, 100);
    player[1].x = 100, player[1].y = 84;
    EXPECT_EQ(Step(64, 64, DIR_RIGHT), std::pair(64u, 64u));
    EXPECT_EQ(p.facing, DIR_RIGHT);
    EXPECT_EQ(Step(48, 49, DIR_RIGHT), std::pair(49u, 49u));
    EXPECT_EQ(Step(100, 100, DIR_RIGHT), std::pair(100u, 100u));
    EXPECT_EQ(Step(100, 100, DIR_UP), std::pair(100u, 99u));
}

// A grid step runs sixteen ticks and ignores keys meanwhile, not even turning; NPCs stop it,
// but not the free-look cursor.
TEST_F(Walking, GridStepRunsSixteenTicksAndIgnoresKeysMeanwhile) {
    p.x = p.y = 160;
    p.MoveBlock(m, DIR_RIGHT);
    p.MoveBlock(m, DIR_UP);
    EXPECT_EQ(p.facing, DIR_RIGHT);
    for (int i = 0; i < 15; ++i) p.UpdateMovement();
    EXPECT_EQ(std::pair(p.x, p.moving), std::pair(175u, 1));
    p.UpdateMovement();
    EXPECT_EQ(std::pair(p.x, p.moving), std::pair(176u, 0));
    place_npc(m, 192, 160);
    p.MoveBlock(m, DIR_RIGHT);
    EXPECT_EQ(p.moving, 0);
    p.ViewBlock(m, DIR_RIGHT);
    EXPECT_EQ(p.moving, 1);
}

TEST_F(Walking, SmallMapsAreShownFromTheirTopLeft) {
    for (auto [w, h] : {std::pair{10u, 8u}, {40u, 30u}, {40u, 100u}, {100u, 30u}}) {
        make_map(map, w, h, false);  // the view reads the map in play
        for (unsigned int y : {0u, 100u, 239u, 240u, 241u, 400u})
            for (unsigned int x : {0u, 200u, 320u, 500u})
                for (int moved = 0; moved < 2 && x < w * 16 - 16 && y < h * 16 - 16; ++moved) {
                    p.x = x, p.y = y, p.scroll_x = p.scroll_y = 9;
                    if (moved) p.Move(map, DIR_RIGHT), p.Move(map, DIR_DOWN);
                    else p.UpdateMovement();
                    EXPECT_TRUE(p.scroll_x >= 0 && p.scroll_y >= 0 && (w * 16 > 640 || p.scroll_x == 0) &&
                                (h * 16 > 480 || p.scroll_y == 0))
                        << w << "x" << h << " at " << x << "," << y << ": " << p.scroll_x << "," << p.scroll_y;
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
    auto state = [](const CPlayer& q) {
        return std::tuple(q.x, q.y, q.facing, q.moving, q.move_x, q.move_y, q.scroll_x, q.scroll_y);
    };
    for (int i = 0; i < 20000; ++i) {
        int dir = rand() % 6, kind = rand() % 3;
        auto step = kind == 0 ? &CPlayer::Move : kind == 1 ? &CPlayer::MoveBlock : &CPlayer::ViewBlock;
        (a.*step)(m, dir);
        (b.*step)(CMap(m), dir);
        a.UpdateMovement();
        b.UpdateMovement();
        ASSERT_EQ(state(a), state(b)) << i;
    }
    EXPECT_TRUE(a.x != 200 || a.y != 200);
    EXPECT_EQ(m.npcs[0].x, map.npcs[0].x);
}
