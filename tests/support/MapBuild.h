// Maps, tilesets, NPCs, events and portals built in memory for the tests.
#pragma once

#include <allegro.h>

#include <string>

#include "CMap.h"
#include "CNpc.h"
#include "ScriptHost.h"

// Colour written into every pixel of tile n of the test tilesets (never the mask colour).
inline int tile_colour(unsigned int n) { return (int)(n * 7 + 3); }

// The layer-0 tile of cell (c, r) in numbered maps: unique within each 16 x 16 block, so
// that a 16 x 16 cell tileset has a picture for every cell.
inline unsigned int cell_tile(unsigned int c, unsigned int r) { return (r % 16) * 16 + c % 16 + 1; }

// A 16-bit tileset of cols x rows cells of 16 x 16, each filled with tile_colour of its
// number counted row by row. The caller destroys it.
BITMAP* make_tileset(int cols, int rows);

// Makes m a map of w x h tiles of 16 x 16 with two layers, everything walkable; layer 0
// holds cell_tile when `numbered`, otherwise tile 0.
void make_map(CMap& m, unsigned int w, unsigned int h, bool numbered = true);

// Adds an event of this type and quest field on tile (c, r) of m and counts it. The tile's
// event flag is left alone: callers that want the map tools' marking set it themselves.
CEvent& add_event(CMap& m, int c, int r, int type, int quest = 0);

// Puts an NPC with this record id at pixel (x, y) on m and counts it.
CNpc& place_npc(CMap& m, unsigned int x, unsigned int y, int id = 1);

// Adds an open portal on the square at pixel (x, y) of m leading to pixel (dest_x, dest_y)
// of the map file dest, and counts it.
CPortal& add_portal(CMap& m, int x, int y, const std::string& dest, int dest_x, int dest_y);

// GameRig with a 16 x 16 cell test tileset (`set`, from make_tileset) that lives as long as the
// test: the fixture of the drawing tests and of walks that check the pixels shown.
class TilesetRig : public GameRig {
protected:
    BITMAP* set = nullptr;
    void SetUp() override;
    void TearDown() override;
};
