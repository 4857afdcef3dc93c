// Walking on a decoded map, for the content check: where a character square fits and which tiles
// can be walked to from the ways into the map.
#pragma once

#include <vector>

#include "MapFile.h"

// Whether tile (c, r) is off the map or blocked on layer 0.
bool tile_blocked(const MapFileData& m, long long c, long long r);

// Whether tile (c, r) is a cell of the map.
bool tile_on_map(const MapFileData& m, long long c, long long r);

// Whether a character square fits at pixel (x, y): on the map with no corner on a blocked tile,
// which is where CMap::Collision lets a character stand.
bool square_fits(const MapFileData& m, long long x, long long y);

// Whether the character square at pixel (x, y) overlaps a portal square of m (an arrival there
// would be carried on at once).
bool square_on_portal(const MapFileData& m, long long x, long long y);

// The tiles a character square at pixel (x, y) covers: columns c0..c1, rows r0..r1.
struct TileSpan {
    long long c0, c1, r0, r1;
};
TileSpan tiles_under(const MapFileData& m, long long x, long long y);

// The tiles of one map the party can walk to: a flood over open tiles, one tile at a time (the
// hero walks a pixel at a time, so any two open neighbours join), never onto a tile where an NPC
// stands (NPCs of sprite row 3 are only in the opening scene and block nothing).
// Invariant: a reached tile is on the map, open (or opened by a script) and free of NPCs.
class MapReach {
public:
    // `opened` lists tiles a script opens (the ruins' gate): open whatever layer 0 says.
    MapReach(const MapFileData& m, const std::vector<std::pair<long long, long long>>& opened);
    // A way into the map: the hero's square at pixel (x, y); the open free tiles under it are reached.
    void Enter(long long x, long long y);
    // Walks from everything entered so far.
    void Spread();
    // Whether tile (c, r) was reached.
    bool Reached(long long c, long long r) const;
    // Whether tile (c, r) was reached or one of its four neighbours was (to face it from there).
    bool Beside(long long c, long long r) const;

private:
    bool Passable(long long c, long long r) const;
    const MapFileData& m_;
    std::vector<unsigned char> open_;     // per tile: walkable and free of NPCs
    std::vector<unsigned char> reached_;  // per tile
    std::vector<long long> todo_;         // tile indices to spread from
};
