// Drawing the map window, the NPCs and the tile marks into a memory page.
#include "CDisplay.h"
#include "MapBuild.h"

class MapDraw : public TilesetRig {
protected:
    CMap m;
    void SetUp() override {
        TilesetRig::SetUp();
        m.tileset = set;
    }
};

TEST_F(MapDraw, WindowStartsAtTheCameraCellAndShift) {
    make_map(m, 60, 50);
    m.DrawMap(0, 24, 0);
    // Column 1 lies at x = -8, so its right half shows first, then column 2.
    EXPECT_EQ(PagePixel(0, 0), tile_colour(cell_tile(1, 0)));
    EXPECT_EQ(PagePixel(7, 0), tile_colour(cell_tile(1, 0)));
    EXPECT_EQ(PagePixel(8, 0), tile_colour(cell_tile(2, 0)));
    // The last partial column at the right edge is drawn too.
    EXPECT_EQ(PagePixel(639, 479), tile_colour(cell_tile(41, 29)));
}

TEST_F(MapDraw, SmallMapDrawsOnlyItsCells) {
    make_map(m, 10, 8);
    m.DrawMap(0, 0, 0);
    EXPECT_EQ(PagePixel(159, 127), tile_colour(cell_tile(9, 7)));
    EXPECT_EQ(PagePixel(160, 0), 0);
    EXPECT_EQ(PagePixel(0, 128), 0);
    EXPECT_EQ(PagePixel(639, 479), 0);
}

TEST_F(MapDraw, CameraAtOrPastTheFarEdgesStaysInsideTheMap) {
    make_map(m, 50, 40);
    // The view of the bottom-right corner: the last cell ends at the page's corner.
    m.DrawMap(0, 50 * 16 - 640, 40 * 16 - 480);
    EXPECT_EQ(PagePixel(639, 479), tile_colour(cell_tile(49, 39)));
    EXPECT_EQ(PagePixel(0, 0), tile_colour(cell_tile(10, 10)));
    // Cameras further out show only what is left of the map, or nothing.
    clear_bitmap(Page());
    m.DrawMap(0, 50 * 16 - 16, 40 * 16 - 16);
    EXPECT_EQ(PagePixel(15, 15), tile_colour(cell_tile(49, 39)));
    EXPECT_EQ(PagePixel(16, 0), 0);
    clear_bitmap(Page());
    m.DrawMap(0, 0xFFFFFFF0u, 0xFFFFFFF0u);
    m.DrawMapTrans(1, 50 * 16, 0);
    EXPECT_EQ(PagePixel(0, 0), 0);
}

TEST_F(MapDraw, DamagedLayersAreNotRead) {
    make_map(m, 30, 30);
    m.tiles[0][5].resize(3);  // a row shorter than the map says
    m.tiles.resize(1);        // and no overlay layer
    m.DrawMap(0, 0, 0);
    m.DrawMapTrans(1, 0, 0);
    EXPECT_EQ(PagePixel(0, 0), 0);
}

TEST_F(MapDraw, OverlayIsMaskedOverTheGround) {
    make_map(m, 10, 10);
    // Tile 3 of the overlay: its left half is the mask colour.
    rectfill(set, 32, 0, 39, 15, makecol16(255, 0, 255));
    m.tiles[1][0][0].tile = 3;
    m.tiles[1][0][1].tile = 0;  // nothing on top: the ground shows
    m.DrawMap(0, 0, 0);
    EXPECT_EQ(PagePixel(0, 0), tile_colour(cell_tile(0, 0)));
    EXPECT_EQ(PagePixel(8, 0), tile_colour(3));
    EXPECT_EQ(PagePixel(16, 0), tile_colour(cell_tile(1, 0)));

    clear_bitmap(Page());
    m.DrawMapTrans(1, 0, 0);
    EXPECT_EQ(PagePixel(0, 0), 0);
    EXPECT_EQ(PagePixel(8, 0), tile_colour(3));
    EXPECT_EQ(PagePixel(16, 0), 0);
}

TEST_F(MapDraw, TileNumbersCountRowByRow) {
    m.DrawTile(17, 0, 0);
    m.DrawTile(16, 16, 0);
    m.DrawTileTrans(1, 32, 0);
    EXPECT_EQ(PagePixel(0, 0), tile_colour(17));   // column 0, row 1
    EXPECT_EQ(PagePixel(16, 0), tile_colour(16));  // column 15, row 0
    EXPECT_EQ(PagePixel(32, 0), tile_colour(1));

    // A tileset taller than it is wide still finds every tile in its place.
    BITMAP* tall = make_tileset(4, 8);
    m.tileset = tall;
    clear_bitmap(Page());
    m.DrawTile(5, 0, 0);
    m.DrawTile(32, 16, 0);
    EXPECT_EQ(PagePixel(0, 0), tile_colour(5));
    EXPECT_EQ(PagePixel(16, 0), tile_colour(32));
    m.tileset = set;
    destroy_bitmap(tall);
}

TEST_F(MapDraw, TilesPastTheSetOrMissingSetDrawNothing) {
    m.DrawTile(0, 0, 0);
    m.DrawTile(257, 16, 0);
    m.DrawTileTrans(0, 32, 0);
    m.DrawTileTrans(100000, 48, 0);
    m.DrawTile(0xFFFFFFFFu, 64, 0);
    for (int x = 0; x < 80; x += 8) EXPECT_EQ(PagePixel(x, 0), 0) << x;

    make_map(m, 10, 10);
    m.tileset = nullptr;
    m.DrawMap(0, 0, 0);
    EXPECT_EQ(PagePixel(0, 0), 0);
}

class NpcDraw : public MapDraw {
protected:
    BITMAP* sprites = nullptr;
    void SetUp() override {
        MapDraw::SetUp();
        sprites = make_tileset(2, 4);  // two frames, four looks
        m.spriteset = sprites;
    }
    void TearDown() override {
        destroy_bitmap(sprites);
        MapDraw::TearDown();
    }
    void add_npc(unsigned int x, unsigned int y, unsigned char sprite, unsigned char frame) {
        CNpc& n = place_npc(m, x, y);
        n.sprite = sprite;
        n.frame = frame;
    }
};

TEST_F(NpcDraw, NpcsComeFromTheirLookAndFrameInListOrder) {
    add_npc(100, 50, 2, 1);
    add_npc(108, 50, 0, 0);  // drawn later, over the first
    add_npc(0, 0, 9, 0);     // a look past the sheet has no picture
    m.DrawObjects(0, 10, 20);
    EXPECT_EQ(PagePixel(90, 30), tile_colour(2 * 2 + 2));  // cell (16, 32): look 2, frame 1
    EXPECT_EQ(PagePixel(98, 30), tile_colour(1));
    EXPECT_EQ(PagePixel(0, 0), 0);
}

TEST_F(NpcDraw, NpcsOffThePageAndAMissingSheetAreHarmless) {
    add_npc(0, 0, 0, 0);
    m.DrawObjects(0, 1000, 1000);  // far left and above the view
    m.DrawObjects(0, 0, 0);
    EXPECT_EQ(PagePixel(0, 0), tile_colour(1));
    m.num_npcs = 5;  // a count past the list is not followed
    m.spriteset = nullptr;
    clear_bitmap(Page());
    m.DrawObjects(0, 0, 0);
    EXPECT_EQ(PagePixel(0, 0), 0);
}

TEST_F(NpcDraw, SceneDrawsTheCurrentMapGroundOverlayAndNpcs) {
    make_map(m, 10, 10);
    m.tiles[1][0][1].tile = 5;
    add_npc(32, 0, 1, 0);
    map = m;
    CMap other;
    other.RenderScene(0, 0);  // whichever map it is called on, the current one is drawn
    EXPECT_EQ(PagePixel(0, 0), tile_colour(cell_tile(0, 0)));
    EXPECT_EQ(PagePixel(16, 0), tile_colour(5));
    EXPECT_EQ(PagePixel(32, 0), tile_colour(3));
}

TEST_F(MapDraw, RedMarksBlendOverTheCells) {
    m.TransTileGfx(0, 0, 0);
    EXPECT_EQ(PagePixel(0, 0), 0);
    m.TransTileGfx(1, 16, 0);
    int c = PagePixel(20, 4);
    EXPECT_GT(getr16(c), 100);
    EXPECT_EQ(getg16(c), 0);
    EXPECT_EQ(getb16(c), 0);
    EXPECT_EQ(PagePixel(32, 0), 0);

    // The marks cover the window up to one cell past a small map's size.
    clear_bitmap(Page());
    make_map(m, 10, 8);
    m.TransTile(1, 0, 0);
    EXPECT_GT(getr16(PagePixel(10 * 16 + 8, 8 * 16 + 8)), 100);
    EXPECT_EQ(PagePixel(11 * 16 + 8, 0), 0);
    EXPECT_EQ(PagePixel(0, 9 * 16 + 8), 0);
}

TEST_F(MapDraw, DeepColourPagesUseTheSameRules) {
    BITMAP* page32 = create_bitmap_ex(32, 64, 32);
    BITMAP* set32 = create_bitmap_ex(32, 32, 16);
    clear_to_color(page32, 0x123456);
    rectfill(set32, 0, 0, 15, 15, 0xABCDEF);
    rectfill(set32, 16, 0, 31, 15, 0x00FF00);
    rectfill(set32, 16, 0, 23, 15, bitmap_mask_color(set32));
    BITMAP* old = Display.vscreen[2];
    Display.vscreen[2] = page32;
    m.tileset = set32;
    m.DrawTile(1, 0, 0);
    m.DrawTileTrans(2, 16, 0);
    m.DrawTileTrans(2, 52, 0);  // partly off the page: clipped
    EXPECT_EQ(getpixel(page32, 0, 0), 0xABCDEF);
    EXPECT_EQ(getpixel(page32, 16, 0), 0x123456);
    EXPECT_EQ(getpixel(page32, 24, 0), 0x00FF00);
    EXPECT_EQ(getpixel(page32, 55, 0), 0x123456);
    EXPECT_EQ(getpixel(page32, 63, 0), 0x00FF00);
    Display.vscreen[2] = old;
    m.tileset = set;
    destroy_bitmap(page32);
    destroy_bitmap(set32);
}
