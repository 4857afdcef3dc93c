// The current map: tile layers, portals, events, NPCs, its file format, drawing and the rules of movement on it.
#pragma once

#include <allegro.h>
#include <cstddef>
#include <string>
#include <vector>

#include "CNpc.h"
#include "GameState.h"

class CPlayer;
struct MapFileData;

// Tile flag bits.
enum TileFlag {
    TF_BLOCKED = 0x1,   // layer 0: nobody may enter
    TF_MARK = 0x2,      // shown as a bar in the editor view only
    TF_WALKWAY = 0x4,   // layer 0: wandering NPCs step only onto these
    TF_EVENT = 0x8,     // layer 1: an event or object lies on this cell
};

// Event type bits.
enum EventType {
    EV_TALK = 0x001,
    EV_STEP_MESSAGE = 0x004,
    EV_OBJECT = 0x008,
    EV_SHOP = 0x010,
    EV_INN = 0x020,
    EV_SAVE = 0x040,
    EV_CHEST = 0x080,
    EV_SWITCH = 0x100,
    EV_TRAINER = 0x200,
};

// Map file layout: record sizes and the limits a file is checked against before it is loaded.
constexpr size_t MAP_BLOCK_A_SIZE = 43;     // sizes, tile size, flags and start tiles, ending in a line feed
constexpr size_t MAP_PORTAL_SIZE = 279;
constexpr size_t MAP_EVENT_SIZE = 2319;
constexpr size_t MAP_NPC_SIZE = 17;
constexpr size_t MAP_TILE_SIZE = 9;
constexpr size_t MAP_SHORT_FIELD = 255;     // speaker, portal destination: 254 characters and a NUL
constexpr size_t MAP_LONG_FIELD = 1024;     // event texts: 1023 characters and a NUL
constexpr size_t MAP_LINE_MAX = 254;        // longest value of a text line
constexpr unsigned int MAP_MAX_SIDE = 4096;           // widest and tallest map, in tiles
constexpr unsigned int MAP_MIN_LAYERS = 2;            // play draws layer 1 over layer 0
constexpr unsigned int MAP_MAX_LAYERS = 16;
constexpr int MAP_MIN_TILE = 4;                        // keeps the view size within its byte
constexpr int MAP_MAX_TILE = 256;
constexpr unsigned long long MAP_MAX_CELLS = 1u << 22;  // cells of all layers together
constexpr unsigned int MAP_MAX_RECORDS = 65536;         // portals, events or NPCs
constexpr unsigned long long MAP_MAX_FILE_BYTES = 256ull << 20;

// Tile number of the "object on the ground" picture in every tileset.
constexpr int OBJECT_TILE = 95;

// Cells of cell_w x cell_h pixels a picture of pic_w x pic_h pixels holds, across and down (0
// for a degenerate size). Tile n (1-based, row by row) of a tileset is drawn when n <= across *
// down; an NPC's sprite row r when r < down. Used by the drawing and the content check.
struct SheetCells {
    unsigned int across, down;
};
SheetCells sheet_cells(int pic_w, int pic_h, int cell_w, int cell_h);

// One cell of one layer.
class CTile {
public:
    int tile = 0;             // 1-based tileset index; 0 draws nothing on masked layers
    int flags = 0;            // TileFlag bits
    unsigned char extra = 0;  // stored in the file; not used in play
};

// An exit to another map. Positions in pixels.
class CPortal {
public:
    int x = 0, y = 0;             // the portal square on this map
    int dest_x = 0, dest_y = 0;   // hero position on arrival
    int cine = 0;                 // cinematic read by index from the destination map's list
    int quest_flag = 0;           // quest bits of which one must be set; 0 = always open
    std::string dest_map = "Null";  // path of the destination map
};

// A map event on a tile.
class CEvent {
public:
    int x = 0, y = 0;       // tile column and row
    int type = 0;           // EventType bits
    std::string speaker;    // name shown with the message
    std::string text;       // the message
    std::string text2;      // a second text kept in the file; never shown
    bool done = false;      // fired (step-on messages) or switched (switches); not stored in the file
    int quest = 0;          // quest, shop or item number by kind
};

// The one current map. Invariants: num_events, num_portals and num_npcs equal the sizes of
// their lists; after InitMap every layer has height rows of width cells. The map never
// frees its tileset or spriteset; a copy shares them.
class CMap {
public:
    unsigned int width = 0;          // tiles across
    unsigned int height = 0;         // tiles down
    unsigned char layers = 0;        // tile layers
    unsigned char view_cols = 0;     // tiles drawn across the screen
    unsigned char view_rows = 0;     // tiles drawn down the screen
    std::string name = "NULL";            // file name part of the map file
    std::string tileset_name = "NULL";    // tileset image (file name part once loaded)
    std::string spriteset_name = "NULL";  // NPC sprite sheet (file name part once loaded)
    int p0_x = 0, p0_y = 0;          // hero start tile
    int p1_x = 0, p1_y = 0;          // companion start tile
    std::string bdestmap = "empty";  // map loaded when a battle here ends
    int bdest_x = 0, bdest_y = 0;    // hero pixel position on bdestmap
    std::vector<std::vector<std::vector<CTile>>> tiles;  // [layer][row][column]
    std::vector<CPortal> portals;
    std::vector<CEvent> events;
    std::vector<CNpc> npcs;
    unsigned int num_events = 0;
    unsigned int num_portals = 0;
    unsigned int num_npcs = 0;
    BITMAP* tileset = nullptr;       // not owned
    BITMAP* spriteset = nullptr;     // not owned
    int tile_w = 16;
    int tile_h = 16;
    int spare = 2;                   // kept in the file; nothing reads it
    int scroll_x = 0;                // camera left edge in pixels (battle, cinematics)
    int scroll_y = 0;                // camera top edge in pixels
    std::vector<CNpcInfo> npc_info;  // the NPC list file's records
    bool battle = false;             // a battle map
    int cine = 0;                    // cinematic started on entry; 0 = none

    unsigned int GetWidth() const { return width; }
    unsigned int GetHeight() const { return height; }
    unsigned char GetLayers() { return layers; }

    // Resets the per-map scalars before a load; lists, names, tile size and images stay.
    void ClearMap();
    // Stores the size, sets the view size from the screen and shapes all cells to zero.
    void InitMap(unsigned int width, unsigned int height, int tile_w, int tile_h, unsigned int layers);
    // Reshapes tiles to layers x height x width from the members, keeping existing cells.
    void ResizeMap();
    // The same from the arguments, leaving the members alone.
    void ResizeMap(int layers, int width, int height);
    // Sets view_cols and view_rows from the screen size and the tile size. Called by InitMap and ApplyFileData.
    void SetViewSize();

    // Map file. LoadMap reads a whole map file (found whatever its letter case) and keeps it
    // only when every byte checks out: it returns 0, or -1 after a message naming the file and
    // the problem, with this map left exactly as it was. NPCs of sprite row 3 are dropped
    // unless keep_row3_npcs (the opening scene and the map tools keep them). It leaves ticks
    // and keys alone: entering a map is the caller's business. Called by every map change.
    int LoadMap(std::string path);
    int LoadMap(std::string path, bool keep_row3_npcs);
    // Makes this map the decoded file d (its lists and tiles are taken): loads the tileset and
    // spriteset, reuses portals, events and NPCs by index (members the file does not carry
    // keep their values), drops row-3 NPCs unless keep_row3_npcs, takes the tiles and sets
    // the view size. Cannot fail. Called by LoadMap.
    void ApplyFileData(MapFileData& d, bool keep_row3_npcs);
    // Writes the map in the map file format (text longer than a field is cut to it) and
    // rewrites name, tileset_name, spriteset_name and bdestmap as stored; 0, or -1 after a
    // message. A map the loader would refuse (size, layers, tile size, start tiles, counts)
    // is not written. The old file is replaced only once the new one is complete. Called by the map tools.
    int SaveMap(std::string path);
    // What SaveMap stores for a file at path: names as stored, lists cut to their counts.
    // The map itself is unchanged. Called by SaveMap (which encodes it and keeps its names), the
    // map tool (which checks it) and the benchmarks.
    MapFileData FileData(const std::string& path) const;

    // Drawing onto Display.GetSurface().
    void DrawTile(unsigned int n, int x, int y);
    void DrawTileTrans(unsigned int n, int x, int y);
    void DrawMap(unsigned char layer, unsigned int sx, unsigned int sy);
    void DrawMapTrans(unsigned char layer, unsigned int sx, unsigned int sy);
    void DrawObjects(unsigned char layer, unsigned int sx, unsigned int sy);
    void RenderScene(int sx, int sy);
    void TransTileGfx(unsigned int on, int x, int y);
    void TransTile(int on, unsigned int sx, unsigned int sy);
    void LoadTileset(std::string path);
    void LoadSpriteset(std::string path);
    void DrawMapEditor(unsigned char layer, unsigned int sx, unsigned int sy);

    // Rules of movement and map change.
    // Cell (c, r) of a layer, or null when the map has no such cell (also for a short row of a
    // damaged map). Called by the event actions and the quest scripts.
    CTile* Cell(unsigned int layer, int c, int r);
    // Appends the object event e and shows the object picture with its mark on the layer-1 cell
    // at (e.x, e.y) where the map has that cell. Called by chests, dropped items and quest gifts.
    void PlaceObject(const CEvent& e);

    // Whether the pixel lies in a blocked cell of layer 0; every point off the map is blocked.
    // Called by all walking code and the battle's path search.
    bool Collision(unsigned int x, unsigned int y) const;
    // Whether a wall stands just past the side facing dir of the character square at (x, y): the
    // two corner points one pixel ahead; true for a code that is no direction. Called by the
    // party's and the NPCs' steps.
    bool WallAhead(unsigned int x, unsigned int y, int dir) const;
    // Whether the 16 x 16 square at (x, y) overlaps either party member. Called by walking code.
    bool CheckPlayer(int x, int y) const;
    // 0 when the square at (x, y) overlaps the hero, 1 the companion, -1 neither. Called by monster attacks.
    int WhichPlayer(int x, int y) const;
    // Shows the step-on messages of the tiles under p, once each. Called after every step of the hero.
    void CheckEvents(CPlayer& p);
    // Carries the party through an open portal under the hero p (scenes, one-time battles), each
    // map change through enter_map. Called on the current map before every step of the hero.
    void CheckPortals(CPlayer& p);
    // Puts both party members on the map's start tiles, kept on the map. Called by place_party_on_start_tiles
    // (new game, quests) and the battle; a scene may call it too.
    void SetPositions();
    // Starts the map's entry scene, if it has one. Called by portals.
    void CheckCine();
    // Whether this is a battle map. Called by portals.
    bool CheckBattle();

    // NPCs.
    // (Re)reads ./data/npcs.txt into npc_info; a missing or damaged file is reported once and the
    // records held stay. Called after every map load that play makes.
    void LoadNpcs();
    // Index of the first NPC standing exactly at pixel (x, y); 0 when none does. Called by the battle.
    int GetNpcid(int x, int y);
    // Whether any NPC's tile-sized square overlaps the one at pixel (x, y). Called by walking, NPC steps and the battle.
    bool CheckNpcs(int x, int y) const;
    // Every NPC whose square overlaps the one at pixel (x, y) holds its conversation, in list order.
    // Called by the use key with the point ahead of the hero.
    void InteractNpcs(int x, int y);

    // Settles the music for this map as it is entered: its own tune starts looped, leaving such a
    // map ends that tune, any other change lets the song heard go on (music_for_map, Music.h).
    // Called by enter_map and new game.
    void HandleMusic();
};
