// The one way into a map and the one way to put the party somewhere: every map change of play goes through here.
#pragma once

#include <string>

// Where the party stands once a map has been entered.
struct Arrival {
    enum Kind {
        START_TILES,  // the hero on the map's start tile p0, the companion on p1
        AT_PIXEL,     // the hero at pixel (x, y), the companion on him (as the field keeps her)
        STAY,         // nobody moves and the view is left alone: the caller places the party itself
    };
    Kind kind;
    unsigned int x, y;  // the hero's pixel, for AT_PIXEL only
};
inline Arrival at_start_tiles() { return {Arrival::START_TILES, 0, 0}; }
inline Arrival at_pixel(unsigned int x, unsigned int y) { return {Arrival::AT_PIXEL, x, y}; }
inline Arrival staying() { return {Arrival::STAY, 0, 0}; }

// Options of an entry, or-ed together.
enum EntryOption {
    ENTRY_PLAIN = 0,
    ENTRY_KEEP_ROW3_NPCS = 0x1,  // keep the NPCs of sprite row 3 (the opening scene's stage)
    ENTRY_KEEP_MUSIC = 0x2,      // leave the music alone (a battle map, a scene's stage)
    ENTRY_KEEP_KEYS = 0x4,       // leave held keys alone
    // A map only passed through on the way to another (the reads of a portal before its last):
    // the last entry of the change forgets the keys and settles the music, once.
    ENTRY_PASSING = ENTRY_KEEP_MUSIC | ENTRY_KEEP_KEYS,
};

// Enters the map file at `path`. In this order:
//  1. reads the map (CMap::LoadMap, which finds the file whatever its letter case). A missing or
//     damaged file is refused: the loader names it in a message, the current map and the party
//     stay exactly as they were, held keys and the ticks that piled up behind the message are
//     dropped (step 5), and -1 is returned. Nothing below happens then.
//  2. applies the NPC list (CMap::LoadNpcs) to the map just read;
//  3. places the party as `where` says (place_party_on_start_tiles, place_party, or nobody for
//     STAY);
//  4. with the party placed, the view is re-centred on the hero (part of step 3);
//  5. forgets the keys held now (host->ForgetKeys), unless ENTRY_KEEP_KEYS, and drops
//     piled-up ticks (ResetTimers);
//  6. settles the music for the map entered (CMap::HandleMusic), unless ENTRY_KEEP_MUSIC.
// Returns 0. It starts no scene and no battle: the caller does (CheckCine, CBattle::Battle).
// Called by new game, the portals (the destination, the way back from a battle), the quest
// scripts, and next by the battle's end (Battle(false): at_pixel(bdest_x, bdest_y) on bdestmap),
// the scenes (their stage, ENTRY_KEEP_ROW3_NPCS for the opening one) and load game (the saved
// map, at_pixel of the saved position, after reset_game_state).
int enter_map(const std::string& path, Arrival where, int options = ENTRY_PLAIN);

// Puts the hero at pixel (x, y) with the companion on him, ends any grid step either had under
// way and re-centres both views on the current map. Called by enter_map, quest scripts and scenes
// that move the party within the map they are on (teleports).
void place_party(unsigned int x, unsigned int y);

// Puts the hero and the companion on the current map's start tiles (CMap::SetPositions), ends
// their grid steps and re-centres both views. Called by enter_map and by new game after the
// home map's opening scene; the battle's set-up can use it in place of SetPositions.
void place_party_on_start_tiles();
