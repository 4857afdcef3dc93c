// The hero walking in the real field loop on scripted arrow keys: steps, walls, the view and the frame drawn.
#include "CPlayer.h"
#include "MapBuild.h"
#include "ScriptHost.h"
#include "TempDir.h"
#include "Timing.h"

// A 100 x 60 numbered map, a tileset colouring each tile by its number.
class FieldWalk : public TilesetRig {
protected:
    void SetUp() override {
        TilesetRig::SetUp();
        make_map(map, 100, 60);
        map.tileset = set;
    }
    // Runs the field loop on the script from (x, y); expects the party at (to_x, to_y), the view's
    // corner at (view_x, view_y) and the map under that view on the screen.
    void Walk(unsigned int x, unsigned int y, unsigned int to_x, unsigned int to_y, int view_x, int view_y) {
        player[0].x = player[1].x = x, player[0].y = player[1].y = y;
        player[0].UpdateMovement();
        RunField();
        EXPECT_EQ(std::tuple(player[0].x, player[0].y, player[1].x, player[1].y), std::tuple(to_x, to_y, to_x, to_y));
        EXPECT_EQ(std::pair(player[0].scroll_x, player[0].scroll_y), std::pair(view_x, view_y));
        for (auto [sx, sy] : {std::pair{600, 400}, {639, 470}})
            EXPECT_EQ(ScreenPixel(sx, sy), tile_colour(cell_tile((view_x + sx) / 16, (view_y + sy) / 16)));
    }
};

// Two arrows together walk diagonally, one pixel a tick; the companion keeps to the hero's square.
TEST_F(FieldWalk, ArrowKeysWalkOnePixelATickTheCompanionFollowsAndTheViewFollows) {
    script.Hold(GK_RIGHT, 40).Down(GK_RIGHT).Down(GK_UP).Ticks(1).ReleaseAll().Hold(GK_UP, 9).Ticks(1);
    Walk(600, 400, 641, 390, 641 - 320, 390 - 240);
}

TEST_F(FieldWalk, TheMapEdgeStopsTheHeroAndTheViewRestsOnIt) {
    script.Hold(GK_RIGHT, 20).Hold(GK_DOWN, 20).Ticks(1);
    Walk(100 * 16 - 16 - 5, 60 * 16 - 16 - 3, 100 * 16 - 16, 60 * 16 - 16, 100 * 16 - 640, 60 * 16 - 480 - 1);
}

// Carried through, one more pixel's step on the new map, then the held key is forgotten; a map
// smaller than the screen is shown from its top-left corner.
TEST_F(FieldWalk, WalkingOntoAPortalChangesMapAndDropsTheHeldKey) {
    TempDir dir(TempDir::AS_GAME_FOLDER);
    CMap small;
    make_map(small, 12, 10);
    ASSERT_EQ(small.SaveMap("./data/cellar.map"), 0);
    add_portal(map, 640, 400, "./data/cellar.map", 48, 32);
    player[0].x = player[1].x = 600, player[0].y = player[1].y = 400;
    script.Hold(GK_RIGHT, 60).Ticks(1);
    RunField();
    EXPECT_EQ(map.name, "cellar.map");
    EXPECT_EQ(std::tuple(player[0].x, player[0].y, player[0].scroll_x, player[0].scroll_y), std::tuple(49u, 32u, 0, 0));
}
