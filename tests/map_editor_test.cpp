// The map editor view: opaque tiles of one layer with the blocked, walkway and mark marks in red.
#include "CPlayer.h"
#include "MapBuild.h"

class MapEditorView : public TilesetRig {
protected:
    CMap m;
    void SetUp() override {
        TilesetRig::SetUp();
        make_map(m, 20, 15);
        m.tileset = set;
        m.p0_x = m.p0_y = m.p1_x = m.p1_y = 19;  // out of the way
    }
    static int red() { return makecol_depth(16, 255, 0, 0); }
    // Red pixels in the 16 x 16 square at (x, y) of the page.
    int RedIn(int x, int y) {
        int n = 0;
        for (int j = 0; j < 16; j++)
            for (int i = 0; i < 16; i++) n += PagePixel(x + i, y + j) == red();
        return n;
    }
};

TEST_F(MapEditorView, LayerZeroMarksBlockedWalkwayAndMark) {
    m.tiles[0][2][3].flags = TF_BLOCKED;
    m.tiles[0][3][3].flags = TF_MARK;
    m.tiles[0][3][5].flags = TF_WALKWAY;
    m.tiles[1][3][3].flags = TF_MARK;
    m.tiles[1][3][5].flags = TF_WALKWAY;
    m.DrawMapEditor(0, 0, 0);
    EXPECT_EQ(PagePixel(3 * 16 + 8, 2 * 16 + 8), red());  // the cross's diagonals meet
    EXPECT_NE(PagePixel(3 * 16 + 8, 2 * 16 + 2), red());
    EXPECT_EQ(PagePixel(4 * 16 + 8, 1 * 16 + 2), tile_colour(cell_tile(4, 1)));
    EXPECT_EQ(PagePixel(3 * 16 + 10, 3 * 16 + 8), red());  // the mark's bar
    EXPECT_GT(RedIn(5 * 16, 3 * 16), 0);                   // the walkway's dot
    clear_bitmap(Page());
    m.DrawMapEditor(1, 0, 0);
    EXPECT_EQ(RedIn(3 * 16, 3 * 16), 0);
    EXPECT_EQ(RedIn(5 * 16, 3 * 16), 0);
}
