// The rules by which the map reacts to characters: collision, step-on events, portals, and the map's music.
#include "CMap.h"

#include <algorithm>
#include <cstdio>

#include "CBattle.h"
#include "CCine.h"
#include "CPlayer.h"
#include "DataFiles.h"
#include "Grid.h"
#include "Host.h"
#include "Interaction.h"
#include "MapEntry.h"
#include "Music.h"
#include "Quests.h"
#include "Timing.h"

CTile* CMap::Cell(unsigned int layer, int c, int r) {
    if (layer >= tiles.size() || c < 0 || r < 0) return nullptr;
    auto& rows = tiles[layer];
    if ((size_t)r >= rows.size() || (size_t)c >= rows[r].size()) return nullptr;
    return &rows[r][c];
}

void CMap::PlaceObject(const CEvent& e) {
    if (CTile* t = Cell(1, e.x, e.y)) {
        t->tile = OBJECT_TILE;
        t->flags |= TF_EVENT;
    }
    events.push_back(e);
    num_events++;
}

bool CMap::Collision(unsigned int x, unsigned int y) const {
    // Everything off the map counts as wall, so nobody walks or searches past its edges.
    if (tile_w <= 0 || tile_h <= 0 || tiles.empty()) return true;
    unsigned int col = x / (unsigned int)tile_w;
    unsigned int row = y / (unsigned int)tile_h;
    if (col >= width || row >= height) return true;
    if (row >= tiles[0].size() || col >= tiles[0][row].size()) return true;
    return (tiles[0][row][col].flags & TF_BLOCKED) != 0;
}

bool CMap::WallAhead(unsigned int x, unsigned int y, int dir) const {
    // The two corner points just past the side of the square that faces dir; a point before
    // the map's top or left edge wraps to a huge unsigned value, which is off the map too.
    auto wall = [this](long long px, long long py) { return Collision((unsigned int)px, (unsigned int)py); };
    const long long X = x, Y = y, last = CELL - 1;
    switch (dir) {
    case DIR_UP: return wall(X, Y - 1) || wall(X + last, Y - 1);
    case DIR_DOWN: return wall(X, Y + CELL) || wall(X + last, Y + CELL);
    case DIR_RIGHT: return wall(X + CELL, Y) || wall(X + CELL, Y + last);
    case DIR_LEFT: return wall(X - 1, Y) || wall(X - 1, Y + last);
    default: return true;
    }
}

bool CMap::CheckPlayer(int x, int y) const { return WhichPlayer(x, y) != -1; }

int CMap::WhichPlayer(int x, int y) const {
    for (int i = 0; i < 2; ++i)
        if (squares_overlap((unsigned int)x, (unsigned int)y, player[i].x, player[i].y)) return i;  // unsigned, as positions are
    return -1;
}

// The pixel of start tile t on an axis of n tiles of `size` pixels. A start tile from a damaged
// file is kept on the map, and the product is taken wide: 0x01000000 tiles of 256 pixels would
// wrap round to 0 in 32 bits.
static unsigned int start_pixel(int t, unsigned int n, int size) {
    const long long last = n > 0 ? (long long)n - 1 : 0;
    return (unsigned int)(std::clamp<long long>(t, 0, last) * std::max(size, 0));
}

void CMap::SetPositions() {
    player[0].x = start_pixel(p0_x, width, tile_w);
    player[0].y = start_pixel(p0_y, height, tile_h);
    player[1].x = start_pixel(p1_x, width, tile_w);
    player[1].y = start_pixel(p1_y, height, tile_h);
}

void CMap::CheckCine() {
    // The member cine is this map's scene number; ::cine plays it.
    if (cine != 0) ::cine.BeginCine(cine);
}

bool CMap::CheckBattle() { return battle; }

void CMap::CheckEvents(CPlayer& p) {
    // The grid is the character's, whatever the map's tile size.
    const CellSpan under = cells_under(p.x, p.y);
    // The count is read again each time: a quest script may change the list.
    for (unsigned int i = 0; i < num_events && i < events.size(); ++i) {
        CEvent& e = events[i];
        bool on = (e.x == under.c0 || e.x == under.c1) && (e.y == under.r0 || e.y == under.r1);
        if (!on || !(e.type & EV_STEP_MESSAGE) || e.done) continue;
        e.done = true;
        // Copies: the dialogue and the quest script must not depend on the list staying put.
        std::string speaker = e.speaker, text = e.text;
        int q = e.quest;
        Talk(speaker, text);
        if (q != 0) quest.ProcessQuest(q);
    }
}

CPortalMemory broken_portal;

// Whether a portal square (one tile) overlaps the hero's square.
static bool portal_entered(const CMap& m, const CPortal& pt, const CPlayer& p) {
    return boxes_overlap((unsigned int)pt.x, (unsigned int)pt.y, p.x, p.y, m.tile_w, m.tile_h);
}

// The path of a portal's destination for its second read: the data file of that name, or the
// full path it was stored under when it lies elsewhere (a subfolder), so such a portal still works.
static std::string portal_path(const std::string& name, const std::string& stored) {
    const std::string flat = "./data/" + name;
    if (stored == flat) return flat;
    if (FILE* f = open_data_file(flat, "rb")) {
        fclose(f);
        return flat;
    }
    return stored;
}

// The destination just entered is a battle map: fight it the first time, then send the party
// back onto the portal square; once fought, the portals on that square are taken away.
static void battle_portal(const CPortal& pt, const std::string& dest, const std::string& origin_path) {
    CPlayer& hero = player[0];
    bool fought = false;
    for (int k = 0; k < hero.num_won && k < (int)hero.won_battles.size(); ++k)
        if (hero.won_battles[k] == dest) fought = true;
    if (!fought) {
        // With every slot used the battle is fought unrecorded, and its way stays open.
        for (int k = 0; k < hero.num_won && k < (int)hero.won_battles.size(); ++k)
            if (hero.won_battles[k] == "empty") {
                hero.won_battles[k] = dest;
                break;
            }
        const unsigned int game = games_begun;
        ::battle.Battle(true);
        if (games_begun != game) return;  // lost away from home: a new game has begun, leave it be
    }
    enter_map(origin_path, at_pixel((unsigned int)pt.x, (unsigned int)pt.y));
    if (!fought) return;
    // The way to a won battle disappears until the map is read again.
    for (unsigned int k = 0; k < map.portals.size() && k < map.num_portals;) {
        if (map.portals[k].x == pt.x && map.portals[k].y == pt.y) {
            map.portals.erase(map.portals.begin() + k);
            --map.num_portals;
        } else {
            ++k;
        }
    }
}

void CMap::CheckPortals(CPlayer& p) {
    if (broken_portal.set) {
        bool still_on = false;
        for (unsigned int i = 0; i < num_portals && i < portals.size(); ++i)
            if (name == broken_portal.map && portals[i].x == broken_portal.x && portals[i].y == broken_portal.y &&
                portal_entered(*this, portals[i], p))
                still_on = true;
        if (!still_on) broken_portal.set = false;
    }

    for (unsigned int i = 0; i < num_portals && i < portals.size(); ++i) {
        if (!portal_entered(*this, portals[i], p)) continue;
        const CPortal pt = portals[i];  // a copy: entering a map replaces the list
        if (pt.quest_flag != 0 && !quest_bit_set(pt.quest_flag)) continue;  // shut
        if (broken_portal.set && broken_portal.map == name && broken_portal.x == pt.x && broken_portal.y == pt.y)
            continue;

        // Every entry below works on the current map, which this is.
        const std::string origin_path = "./data/" + file_name_part(name);
        const std::string dest = file_name_part(pt.dest_map);
        const Arrival arrive = at_pixel((unsigned int)pt.dest_x, (unsigned int)pt.dest_y);
        const unsigned int from_x = p.x, from_y = p.y;

        // A destination that cannot be read leaves the party where it stood; the loader has
        // said why and kept the map we are on.
        if (enter_map(pt.dest_map, arrive, ENTRY_PASSING) != 0) {
            broken_portal.set = true;
            broken_portal.map = name;
            broken_portal.x = pt.x;
            broken_portal.y = pt.y;
            return;
        }
        const bool battle_map = CheckBattle();
        // A scene's lost battle sends the player to the start menu: the game that took this
        // portal is then over, and the rest of the change must not touch the new one.
        const unsigned int game = games_begun;
        CheckCine();
        if (games_begun != game) return;

        // The scene is the one at the same index in the destination's own list; a
        // destination with fewer portals has none to play.
        int scene = i < num_portals && i < portals.size() ? portals[i].cine : 0;
        if (scene != 0) {
            ::cine.BeginCine(scene);
            if (games_begun != game) return;
            enter_map(origin_path, staying(), ENTRY_PASSING);
        }
        // The destination is read again (a scene may have changed it). The last entry of the
        // change forgets held keys and settles the music; a battle map's is the way back.
        if (enter_map(portal_path(dest, pt.dest_map), arrive, battle_map ? ENTRY_PASSING : ENTRY_PLAIN) != 0)
            enter_map(origin_path, at_pixel(from_x, from_y));  // the file vanished under us
        else if (battle_map)
            battle_portal(pt, dest, origin_path);
        // The list being scanned belonged to the map we left: its later indices mean nothing
        // on the map we are on now, so the check ends with the first portal taken.
        return;
    }
}

void CMap::HandleMusic() {
    // Read at start-up; the first map change reads it if nothing did before.
    load_field_songs();
    music_for_map(name);
}
