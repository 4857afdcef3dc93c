// The map file format on its own: the one check of what a map may hold, the pure decoder and the encoder.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "CMap.h"

// What a map file holds, decoded and checked (or about to be encoded): the members of CMap
// that the file carries, under the same names. Names are as the file stores them. The lists
// are exactly the file's records (only the members the file carries are meaningful) and
// tiles is shaped layers x height x width.
struct MapFileData {
    std::string name, tileset_name, spriteset_name, bdestmap;
    unsigned int width = 0, height = 0;
    unsigned char layers = 0;
    int tile_w = 16, tile_h = 16;
    int spare = 2;
    bool battle = false;
    int cine = 0;
    int p0_x = 0, p0_y = 0, p1_x = 0, p1_y = 0;
    int bdest_x = 0, bdest_y = 0;
    std::vector<CPortal> portals;
    std::vector<CEvent> events;
    std::vector<CNpc> npcs;
    std::vector<std::vector<std::vector<CTile>>> tiles;  // [layer][row][column]
};

// The members a map file carries that CMap and MapFileData hold alike under the same names (the
// sizes, the flags, the start tiles and the battle's way back), handed to `pair` as (the map's,
// the file data's): the one list CMap walks both to take a file's data and to give its own.
// Names, lists and tiles are handed over by CMap itself.
template <class Map, class Data, class Pair>
void map_file_numbers(Map& m, Data& d, Pair pair) {
    pair(m.width, d.width);
    pair(m.height, d.height);
    pair(m.layers, d.layers);
    pair(m.tile_w, d.tile_w);
    pair(m.tile_h, d.tile_h);
    pair(m.spare, d.spare);
    pair(m.battle, d.battle);
    pair(m.cine, d.cine);
    pair(m.p0_x, d.p0_x);
    pair(m.p0_y, d.p0_y);
    pair(m.p1_x, d.p1_x);
    pair(m.p1_y, d.p1_y);
    pair(m.bdest_x, d.bdest_x);
    pair(m.bdest_y, d.bdest_y);
}

// The one check of a map's limits, shared by the decoder, the encoder and the map tool so
// that nothing is written that the game would refuse to read. Each returns "" when the
// values are fine, else the problem in words, without the file's name.
// Size in tiles (1 to MAP_MAX_SIDE) and tile size (MAP_MIN_TILE to MAP_MAX_TILE).
std::string map_size_problem(long long width, long long height, long long tile_w, long long tile_h);
// Layer count (MAP_MIN_LAYERS to MAP_MAX_LAYERS) and the cells of all layers together.
std::string map_layers_problem(long long width, long long height, long long layers);
// A start tile (who: "hero" or "companion") must be a cell of the map.
std::string map_start_problem(const char* who, long long width, long long height, long long col, long long row);
// Records of one kind (what: "portal", "event", "NPC"): at most MAP_MAX_RECORDS.
std::string map_count_problem(const char* what, unsigned long long count);
// All of the above for d, with its list sizes as the counts.
std::string map_file_problem(const MapFileData& d);

// Decodes the bytes of a map file into out. False, with error saying what is wrong, when
// the bytes are not a map the game can hold: a text line missing or malformed, a limit
// broken, a count larger than the bytes left, a record or tile cut short, or bytes after the
// last tile. Pure: no pictures, timers or messages. Called by CMap::LoadMap and the fuzz target.
bool decode_map_file(const unsigned char* data, size_t size, MapFileData& out, std::string& error);

// A text line value as the file stores it: cut at a line feed or NUL and to MAP_LINE_MAX
// characters. Used by the encoder and by SaveMap for the names it keeps.
std::string map_line_value(const std::string& s);

// Encodes d as a map file. False, with error, when map_file_problem(d) finds a problem.
// Text longer than its field is cut to it; a line value is cut at a line feed or NUL and to
// MAP_LINE_MAX characters; cells missing from tiles are written empty. Called by
// CMap::SaveMap and the fuzz target.
bool encode_map_file(const MapFileData& d, std::string& out, std::string& error);
