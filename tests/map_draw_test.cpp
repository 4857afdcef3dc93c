// Drawing the map window, the NPCs and the editor view into a memory page.
#include <vector>

#include "MapBuild.h"

class MapDraw : public TilesetRig {
protected:
    CMap m;
    void SetUp() override { TilesetRig::SetUp(), m.tileset = set; }
    const int red = makecol_depth(16, 255, 0, 0);
    int RedIn(int x, int y) {  // red pixels in the 16 x 16 square at (x, y)
        int n = 0;
        for (int j = 0; j < 256; j++) n += PagePixel(x + j % 16, y + j / 16) == red;
        return n;
    }
};

// The window starts at the camera's cell and shift with partial cells at its edges; a small map,
// or a camera at or past the far edges, shows what is left of the map, or nothing.
TEST_F(MapDraw, WindowShowsTheCellsUnderTheCamera) {
    struct Probe { int x, y, c, r; };  // the page pixel (x, y) shows cell (c, r), or nothing when c < 0
    const struct { unsigned int w, h, cam_x, cam_y; std::vector<Probe> probes; } cases[] = {
        {60, 50, 24, 0, {{0, 0, 1, 0}, {8, 0, 2, 0}, {639, 479, 41, 29}}},  // column 1 lies at x = -8
        {10, 8, 0, 0, {{159, 127, 9, 7}, {160, 0, -1, 0}, {0, 128, -1, 0}}},
        {50, 40, 50 * 16 - 640, 40 * 16 - 480, {{639, 479, 49, 39}, {0, 0, 10, 10}}},
        {50, 40, 50 * 16 - 16, 40 * 16 - 16, {{15, 15, 49, 39}, {16, 0, -1, 0}}},
        {50, 40, 0xFFFFFFF0u, 0xFFFFFFF0u, {{0, 0, -1, 0}}},
        {50, 40, 50 * 16, 0, {{0, 0, -1, 0}}},
    };
    for (const auto& c : cases) {
        make_map(m, c.w, c.h);
        clear_bitmap(Page());
        m.DrawMap(0, c.cam_x, c.cam_y);
        m.DrawMapTrans(1, c.cam_x, c.cam_y);
        for (const Probe& p : c.probes)
            EXPECT_EQ(PagePixel(p.x, p.y), p.c < 0 ? 0 : tile_colour(cell_tile(p.c, p.r))) << c.w << "x" << c.h << " from " << c.cam_x << "," << c.cam_y << ": " << p.x << "," << p.y;
    }
}

// The overlay is masked over the ground; people come from their look and frame, in list order.
TEST_F(MapDraw, OverlayAndPeopleDrawOverTheGround) {
    make_map(m, 10, 10);
    rectfill(set, 32, 0, 39, 15, makecol16(255, 0, 255));  // overlay tile 3's left half is the mask colour
    m.tiles[1][1][1].tile = 3;  // at page (6, -4); nothing on top of (2, 1)
    m.spriteset = make_tileset(2, 4);  // two frames, four looks
    struct { unsigned int x, y; unsigned char sprite, frame; } npcs[] = {{100, 50, 2, 1}, {108, 50, 0, 0}, {10, 20, 9, 0}};
    for (const auto& n : npcs) place_npc(m, n.x, n.y).sprite = n.sprite, m.npcs.back().frame = n.frame;
    m.DrawMap(0, 10, 20);
    m.DrawObjects(0, 10, 20);
    EXPECT_EQ(PagePixel(6, 0), tile_colour(cell_tile(1, 1)));  // the person there has a look past the sheet
    EXPECT_EQ(PagePixel(14, 0), tile_colour(3));
    EXPECT_EQ(PagePixel(22, 0), tile_colour(cell_tile(2, 1)));
    EXPECT_EQ(PagePixel(90, 30), tile_colour(2 * 2 + 2));  // look 2, frame 1
    EXPECT_EQ(PagePixel(98, 30), tile_colour(1));          // the second drawn over the first
    destroy_bitmap(m.spriteset);
}

// The editor view draws one layer's tiles opaque, with layer 0's blocked, mark and walkway flags in red.
TEST_F(MapDraw, EditorViewMarksBlockedMarkAndWalkwayOnLayerZeroOnly) {
    make_map(m, 20, 15);
    m.p0_x = m.p0_y = m.p1_x = m.p1_y = 19;  // the start marks out of the way
    m.tiles[0][2][3].flags = TF_BLOCKED;
    m.tiles[0][3][3].flags = m.tiles[1][3][3].flags = TF_MARK;
    m.tiles[0][3][5].flags = m.tiles[1][3][5].flags = TF_WALKWAY;
    m.DrawMapEditor(0, 0, 0);
    EXPECT_EQ(PagePixel(3 * 16 + 8, 2 * 16 + 8), red);  // the cross's diagonals meet
    EXPECT_NE(PagePixel(3 * 16 + 8, 2 * 16 + 2), red);
    EXPECT_EQ(PagePixel(4 * 16 + 8, 1 * 16 + 2), tile_colour(cell_tile(4, 1)));
    EXPECT_EQ(PagePixel(3 * 16 + 10, 3 * 16 + 8), red);  // the mark's bar
    EXPECT_GT(RedIn(5 * 16, 3 * 16), 0);                 // the walkway's dot
    clear_bitmap(Page());
    m.DrawMapEditor(1, 0, 0);
    EXPECT_EQ(RedIn(3 * 16, 3 * 16) + RedIn(5 * 16, 3 * 16), 0);
}
