// Maps, tilesets, NPCs, events and portals built in memory for the tests.
#include "MapBuild.h"

#include <vector>

BITMAP* make_tileset(int cols, int rows) {
    BITMAP* b = create_bitmap_ex(16, cols * 16, rows * 16);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            rectfill(b, c * 16, r * 16, c * 16 + 15, r * 16 + 15, tile_colour((unsigned)(r * cols + c + 1)));
    return b;
}

void make_map(CMap& m, unsigned int w, unsigned int h, bool numbered) {
    m.InitMap(w, h, 16, 16, 2);
    if (numbered)
        for (unsigned int r = 0; r < h; ++r)
            for (unsigned int c = 0; c < w; ++c) m.tiles[0][r][c].tile = (int)cell_tile(c, r);
}

// Appends v to list and sets the map's count of it.
template <class T>
static T& append(std::vector<T>& list, unsigned int& count, const T& v) {
    list.push_back(v);
    count = (unsigned int)list.size();
    return list.back();
}

CEvent& add_event(CMap& m, int c, int r, int type, int quest) {
    CEvent e;
    e.x = c, e.y = r, e.type = type, e.quest = quest;
    return append(m.events, m.num_events, e);
}

CNpc& place_npc(CMap& m, unsigned int x, unsigned int y, int id) {
    CNpc n;
    n.x = x, n.y = y, n.id = id;
    return append(m.npcs, m.num_npcs, n);
}

CPortal& add_portal(CMap& m, int x, int y, const std::string& dest, int dest_x, int dest_y) {
    CPortal p;
    p.x = x, p.y = y, p.dest_map = dest, p.dest_x = dest_x, p.dest_y = dest_y;
    return append(m.portals, m.num_portals, p);
}

void TilesetRig::SetUp() {
    GameRig::SetUp();
    set = make_tileset(16, 16);
}

void TilesetRig::TearDown() {
    GameRig::TearDown();  // lets go of every map that points at the tileset first
    destroy_bitmap(set);
    set = nullptr;
}
