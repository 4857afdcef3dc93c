// Maps, tilesets, NPCs, events and portals built in memory for the tests.
#pragma once

#include <allegro.h>

#include <string>

#include "CMap.h"
#include "CNpc.h"
#include "ScriptHost.h"

// Colour written into every pixel of tile n of the test tilesets (never the mask colour).
inline int tile_colour(unsigned int n) { return (int)(n * 7 + 3); }

// The layer-0 tile of cell (c, r) in numbered maps: unique within each 16 x 16 block.
inline unsigned int cell_tile(unsigned int c, unsigned int r) { return (r % 16) * 16 + c % 16 + 1; }

// A 16-bit tileset of 16 x 16 cells, each filled with tile_colour of its number; the caller destroys it.
BITMAP* make_tileset(int cols, int rows);

// w x h tiles of 16 x 16, two layers, all walkable; layer 0 holds cell_tile when `numbered`.
void make_map(CMap& m, unsigned int w, unsigned int h, bool numbered = true);

// Each adds to m and counts it. add_event takes a tile and leaves its event flag alone; the
// others take pixels; a portal leads to pixel (dest_x, dest_y) of the map file dest.
CEvent& add_event(CMap& m, int c, int r, int type, int quest = 0);
CNpc& place_npc(CMap& m, unsigned int x, unsigned int y, int id = 1);
CPortal& add_portal(CMap& m, int x, int y, const std::string& dest, int dest_x, int dest_y);

// GameRig with a 16 x 16 cell test tileset `set` that lives as long as the test.
class TilesetRig : public GameRig {
protected:
    BITMAP* set = nullptr;
    void SetUp() override;
    void TearDown() override;
};
