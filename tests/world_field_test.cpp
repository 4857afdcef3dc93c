// The hero walking in the real field loop on scripted arrow keys: steps, walls, the view and the frame drawn.
#include "CPlayer.h"
#include "MapBuild.h"
#include "ScriptHost.h"
#include "TempDir.h"
#include "Timing.h"

// A 100 x 60 numbered map, a tileset colouring each tile by its number, the hero well inside.
class FieldWalk : public TilesetRig {
protected:
    void SetUp() override {
        TilesetRig::SetUp();
        make_map(map, 100, 60);
        map.tileset = set;
        player[0].x = 600;
        player[0].y = 400;
        player[0].UpdateMovement();
        player[1].x = player[0].x;
        player[1].y = player[0].y;
    }
    // The screen shows the map cell under the view's pixel (x, y).
    int shown_tile_colour(int x, int y) {
        unsigned int mx = (unsigned)(player[0].scroll_x + x), my = (unsigned)(player[0].scroll_y + y);
        return tile_colour(cell_tile(mx / 16, my / 16));
    }
};

// Two arrows together walk diagonally; the companion keeps to the hero's square.
TEST_F(FieldWalk, ArrowKeysWalkOnePixelATickTheCompanionFollowsAndTheViewFollows) {
    script.Hold(GK_RIGHT, 40).Down(GK_RIGHT).Down(GK_UP).Ticks(1).ReleaseAll().Hold(GK_UP, 9).Ticks(1);
    RunField();
    EXPECT_EQ(player[0].x, 641u);
    EXPECT_EQ(player[0].y, 390u);
    EXPECT_EQ(player[1].x, 641u);
    EXPECT_EQ(player[1].y, 390u);
    EXPECT_EQ(player[0].scroll_x, 641 - 320);
    EXPECT_EQ(player[0].scroll_y, 390 - 240);
    // The last frame shown is the map under the new view.
    EXPECT_EQ(ScreenPixel(600, 400), shown_tile_colour(600, 400));
}

TEST_F(FieldWalk, TheMapEdgeStopsTheHeroAndTheViewRestsOnIt) {
    player[0].x = 100 * 16 - 16 - 5;
    player[0].y = 60 * 16 - 16 - 3;
    script.Hold(GK_RIGHT, 20).Hold(GK_DOWN, 20).Ticks(1);
    RunField();
    EXPECT_EQ(player[0].x, 100u * 16 - 16);
    EXPECT_EQ(player[0].y, 60u * 16 - 16);
    EXPECT_EQ(player[0].scroll_x, 100 * 16 - 640);
    EXPECT_EQ(player[0].scroll_y, 60 * 16 - 480 - 1);
    EXPECT_EQ(ScreenPixel(639, 470), shown_tile_colour(639, 470));
}

TEST_F(FieldWalk, WalkingOntoAPortalChangesMapAndDropsTheHeldKey) {
    TempDir dir(TempDir::AS_GAME_FOLDER);
    CMap small;
    make_map(small, 12, 10);
    small.tileset = set;
    ASSERT_EQ(small.SaveMap("./data/cellar.map"), 0);

    add_portal(map, 640, 400, "./data/cellar.map", 48, 32);
    script.Hold(GK_RIGHT, 60).Ticks(1);
    RunField();

    // Carried through, one more pixel's step on the new map, then the held key is forgotten.
    EXPECT_EQ(map.name, "cellar.map");
    EXPECT_EQ(player[0].x, 49u);
    EXPECT_EQ(player[0].y, 32u);
    // A map smaller than the screen is shown from its top-left corner.
    EXPECT_EQ(player[0].scroll_x, 0);
    EXPECT_EQ(player[0].scroll_y, 0);
}
