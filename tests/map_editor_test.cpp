// The map editor view: opaque tiles of one layer with the blocked, walkway, mark, event and start marks in red.
#include "CPlayer.h"
#include "MapBuild.h"

namespace {

// Red as the 16-bit page packs it (read after the test main has set the packing).
int red() { return makecol_depth(16, 255, 0, 0); }

}  // namespace

class MapEditorView : public TilesetRig {
protected:
    CMap m;
    void SetUp() override {
        TilesetRig::SetUp();
        make_map(m, 20, 15);
        m.tileset = set;
        m.p0_x = m.p0_y = 19;  // out of the way unless a test moves them
        m.p1_x = m.p1_y = 19;
    }
    // Red pixels in the 16 x 16 square at (x, y) of the page.
    int RedIn(int x, int y) {
        int n = 0;
        for (int j = 0; j < 16; j++)
            for (int i = 0; i < 16; i++) n += PagePixel(x + i, y + j) == red();
        return n;
    }
};

TEST_F(MapEditorView, BlockedCellsGetACrossAndTilesAreOpaque) {
    m.tiles[0][2][3].flags = TF_BLOCKED;
    m.DrawMapEditor(0, 0, 0);
    EXPECT_EQ(PagePixel(3 * 16 + 8, 2 * 16 + 8), red());  // the diagonals meet in the middle
    EXPECT_EQ(PagePixel(3 * 16 + 2, 2 * 16 + 2), red());
    EXPECT_NE(PagePixel(3 * 16 + 8, 2 * 16 + 2), red());
    EXPECT_EQ(PagePixel(4 * 16 + 8, 1 * 16 + 2), tile_colour(cell_tile(4, 1)));
    EXPECT_EQ(RedIn(5 * 16, 5 * 16), 0);
}

TEST_F(MapEditorView, OverlayLayerDrawsTileZeroAsNothing) {
    m.tiles[1][1][1].tile = 5;
    m.DrawMapEditor(1, 0, 0);
    EXPECT_EQ(PagePixel(16 + 4, 16 + 4), tile_colour(5));
    EXPECT_EQ(PagePixel(2 * 16 + 4, 16 + 4), 0);  // the cleared page shows through
}

TEST_F(MapEditorView, EventLabelsOnlyForWholeTypesOnFlaggedCells) {
    add_event(m, 1, 1, EV_STEP_MESSAGE);
    add_event(m, 2, 1, EV_TALK | EV_STEP_MESSAGE);  // two bits: no label
    add_event(m, 3, 1, EV_STEP_MESSAGE);            // cell not flagged: no label
    add_event(m, 4, 1, EV_SHOP);
    add_event(m, 5, 1, EV_INN);                     // no label for inns
    for (int c : {1, 2, 4, 5}) m.tiles[1][1][c].flags = TF_EVENT;
    m.DrawMapEditor(1, 0, 0);
    EXPECT_GT(RedIn(1 * 16, 16), 0);
    EXPECT_EQ(RedIn(2 * 16, 16), 0);
    EXPECT_EQ(RedIn(3 * 16, 16), 0);
    EXPECT_GT(RedIn(4 * 16, 16), RedIn(1 * 16, 16));  // "SH" is wider than "M"
    EXPECT_EQ(RedIn(5 * 16, 16), 0);
    // Layer 0 never shows event labels.
    clear_bitmap(Page());
    m.tiles[0][1][1].flags = TF_EVENT;
    m.DrawMapEditor(0, 0, 0);
    EXPECT_EQ(RedIn(16, 16), 0);
}

TEST_F(MapEditorView, WalkwayAndMarkOnlyOnLayerZero) {
    m.tiles[0][3][3].flags = TF_MARK;
    m.tiles[0][3][5].flags = TF_WALKWAY;
    m.tiles[1][3][3].flags = TF_MARK;
    m.tiles[1][3][5].flags = TF_WALKWAY;
    m.DrawMapEditor(0, 0, 0);
    EXPECT_EQ(PagePixel(3 * 16 + 10, 3 * 16 + 8), red());  // the bar across the middle
    EXPECT_GT(RedIn(5 * 16, 3 * 16), 0);         // the dot
    clear_bitmap(Page());
    m.DrawMapEditor(1, 0, 0);
    EXPECT_EQ(RedIn(3 * 16, 3 * 16), 0);
    EXPECT_EQ(RedIn(5 * 16, 3 * 16), 0);
}

TEST_F(MapEditorView, HeroStartShowsOnEveryLayerAndFollowsTheCamera) {
    m.p0_x = 6;
    m.p0_y = 4;
    for (unsigned char layer = 0; layer < 2; layer++) {
        clear_bitmap(Page());
        m.DrawMapEditor(layer, 0, 0);
        EXPECT_GT(RedIn(6 * 16, 4 * 16), 0) << "layer " << int(layer);
    }
    clear_bitmap(Page());
    m.DrawMapEditor(0, 24, 0);  // column 1 at x = -8
    EXPECT_GT(RedIn(5 * 16 - 8, 4 * 16), 0);
    EXPECT_EQ(PagePixel(0, 0), tile_colour(cell_tile(1, 0)));
}

TEST_F(MapEditorView, MissingLayerOrShortRowsDrawNothingOutside) {
    m.DrawMapEditor(7, 0, 0);
    EXPECT_EQ(PagePixel(8, 8), 0);
    m.tiles[0][2].resize(4);
    m.DrawMapEditor(0, 0, 0);
    EXPECT_EQ(PagePixel(3 * 16 + 4, 2 * 16 + 4), tile_colour(cell_tile(3, 2)));
    EXPECT_EQ(PagePixel(4 * 16 + 4, 2 * 16 + 4), 0);
    EXPECT_EQ(PagePixel(20 * 16 + 4, 4), 0);  // beyond the map's width
}
