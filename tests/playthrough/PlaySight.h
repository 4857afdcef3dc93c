// What the automated player reads off the game between its screens: the hero's tile, the packs, the goals on the menu.
#pragma once

#include <cstdlib>
#include <string>

#include "Atlas.h"
#include "CMap.h"
#include "CPlayer.h"
#include "Grid.h"
#include "Route.h"
#include "Timing.h"

// The arrow key of each direction code.
constexpr int ARROW_OF_DIR[5] = {0, GK_UP, GK_DOWN, GK_RIGHT, GK_LEFT};

// The direction of one step from a to the neighbouring tile b.
inline int dir_between(Tile a, Tile b) {
    if (b.c > a.c) return DIR_RIGHT;
    if (b.c < a.c) return DIR_LEFT;
    if (b.r < a.r) return DIR_UP;
    if (b.r > a.r) return DIR_DOWN;
    return DIR_NONE;
}

// The hero's nearest tile.
inline Tile hero_tile() { return {(int)((player[0].x + CELL / 2) / CELL), (int)((player[0].y + CELL / 2) / CELL)}; }

// Whether the hero stands exactly on tile t.
inline bool aligned_on(Tile t) { return player[0].x == (unsigned int)(t.c * CELL) && player[0].y == (unsigned int)(t.r * CELL); }

// Whether the hero's square overlaps tile t.
inline bool hero_touches(Tile t) { return squares_overlap(player[0].x, player[0].y, (long long)t.c * CELL, (long long)t.r * CELL); }

// Whether tile t of the current map is a wall or off it.
inline bool live_wall(Tile t) {
    if (t.c < 0 || t.r < 0 || t.c >= (int)map.width || t.r >= (int)map.height) return true;
    const CTile* cell = map.Cell(0, t.c, t.r);
    return !cell || (cell->flags & TF_BLOCKED);
}

// Whether a goal is done in the status menu: wearing, giving, dropping.
inline bool is_menu_goal(const Goal* g) { return g && (g->kind == GOAL_WEAR || g->kind == GOAL_GIVE || g->kind == GOAL_DROP); }

// The member whose pack a menu goal works on: giving is always the hero's.
inline int menu_member(const Goal& g) { return g.kind == GOAL_GIVE ? 0 : g.member; }

// Items of this id in a pack.
inline int count_in_pack(const CPlayer& p, int id) {
    int n = 0;
    for (const CInv& s : p.inv) n += s.id == id;
    return n;
}

// Healing potions in both packs (the battle's "Use Item" takes from either).
inline int potions_carried() { return count_in_pack(player[0], HEALING_POTION) + count_in_pack(player[1], HEALING_POTION); }

// The tile the hero walks from: of the tiles his square covers, the nearest that is no wall and
// has nobody on it, else the nearest that is no wall (a battle sends him back onto its portal's
// square, which may be a camp fire; a person may stand half on his tile).
Tile walk_tile();
