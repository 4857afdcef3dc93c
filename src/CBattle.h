// The tactical grid battle: set-up, the turn loop, the action menu, attacks, the status of the field and the end.
#pragma once

#include <allegro.h>
#include <vector>

#include "GameState.h"
#include "Quests.h"  // companion_joined: who has a turn, is drawn and can fall

// Monsters that fight in one battle; a battle map that places more fights the first ones.
constexpr int BATTLE_MAX_MONSTERS = 25;
// Turns of the battle's cycle.
enum BattleTurn { TURN_HERO = 0, TURN_COMPANION = 1, TURN_MONSTERS = 2 };
// Idle passes after which a monster's turn ends (it ends on the pass its count goes past this).
constexpr int MONSTER_TURN_PASSES = 14;

// A cell relative to a centre cell.
struct CellOffset {
    int dx, dy;
    bool operator==(const CellOffset& o) const { return dx == o.dx && dy == o.dy; }
};

// The cells the movement range of `range` reaches round its centre, each once, in the order the
// rays first reach them: rays at every whole degree from 1 to 359 (3.14 standing for pi, single
// precision), points at whole radii 0 to range - 1, each truncated toward zero. Range 5 gives the
// 7 x 7 block without its corners (45 cells), 6 gives 69. Called by DrawGrid (once per range) and the tests.
std::vector<CellOffset> movement_range_shape(int range);

// Whether (dx, dy) lies in the attack area of reach `reach` round its centre: for reach 1 the
// centre and its four neighbours, for more every cell with dx * dx + dy * dy < reach * reach;
// nothing for a reach below 1. Called by the attack areas of the party and the monsters.
bool in_attack_area(long long dx, long long dy, int reach);

// One cell of the battle grid: whether it is highlighted (movement range or an attack area).
class CCoord {
public:
    bool marked = false;
};

// The battle on the loaded battle map (the global battle). Invariant while a battle runs: grid has
// map height rows of map width cells, and turn is one of BattleTurn.
class CBattle {
public:
    int origin_x = 0, origin_y = 0;  // pixel centre of the movement range shown (the active member at its turn's start)
    int turn = TURN_HERO;            // whose turn it is
    int gold_won = 0, exp_won = 0;   // rewards of the monsters killed in this battle
    std::vector<std::vector<CCoord>> grid;  // [row][column], the marks of the highlighted area

    // Runs one whole battle on the loaded map until every monster or a party member has fallen.
    // With stay false the party then goes to the battle map's bdestmap at pixel (bdest_x,
    // bdest_y); with stay true it stays. When a defeat away from home has begun another game
    // (games_begun changed) it returns at once and leaves that game alone. Called by battle
    // portals, quest scripts and a scene.
    void Battle(bool stay);

    // One logic step of player[pc]'s free movement: each held arrow starts a grid step into its
    // neighbouring cell if that cell is marked, then the step under way advances. Called by the loop.
    void HandlePlayerMovement(int pc);
    // Highlights and marks the movement range of radius range round (origin_x, origin_y) with
    // player[pc]'s camera; column 0, row 0 and cells off the map are never part of it. Called by
    // the loop's frame on a party turn.
    void DrawGrid(int pc, int range);
    // Unmarks every cell. Called before each area is marked.
    void ClearGrid();
    // The action menu of player[pc]: "Move", "Attack", "Use Item", "View", "End Turn"; x and y are
    // not used. Returns when the menu closed (a move, an attack made, the turn ended). Called by the loop.
    void FinalizeBattle(int pc, int x, int y);

    // Attack cursor inside player[pc]'s attack area; true when a monster was attacked, false when
    // cancelled (Alt, Escape or either Control). Called by the action menu.
    bool AttackSelect(int pc);
    // player[pc] strikes map.npcs[monster]. Called by AttackSelect.
    void PlayerAttack(int pc, int monster);
    // Free-look cursor for inspecting monsters and the party; Enter shows a status panel, Alt
    // leaves with player[pc] back where it stood. Called by the action menu.
    void ViewBattlefield(int pc);
    // Monster `monster` standing at pixel (x, y) and hunting party member `target` strikes a party
    // member inside its reach; false (and no message) when nobody is there. Called by the loop.
    bool NpcAttack(int monster, int x, int y, int target);
    // A fallen party member: on the sparring ground the hero is healed; elsewhere the death
    // picture, then the start menu. Called by the loop's defeat checks.
    void DeathSequence();

    // Whether cell (c, r) is marked; cells off the grid are not. Called by the movement and the cursors.
    bool Marked(long long c, long long r) const;
    // Marks the attack area of `reach` round cell (cx, cy), skipping cells off the map, and with
    // fill also tints each cell red on the page at its place under the camera (cam_x, cam_y).
    // Called by the attack cursor, the menu's preview and the monsters' attacks.
    void MarkAttackArea(long long cx, long long cy, int reach, bool fill, int cam_x, int cam_y);
    // Draws the map (layer 0, layer 1 over it, the monsters) and the party (the companion once she
    // has joined) with the camera (cam_x, cam_y) on the page; party member `pinned` (0 or 1; -1
    // none) is drawn at pixel (pin_x, pin_y) instead of where it is (the free look keeps its
    // member drawn where it stood). Called by every battle screen.
    void DrawField(int cam_x, int cam_y, int pinned = -1, unsigned int pin_x = 0, unsigned int pin_y = 0);
    // Draws one frame of the turn loop on the page: the grid cleared, the field with the camera of
    // the side whose turn it is, and on a party turn its movement range. Called by the loop and the benchmarks.
    void DrawTurnFrame();
    // Resizes the grid to the map, every cell unmarked. Called at battle start.
    void ShapeGrid();

private:
    std::vector<CellOffset> range_cells_;  // movement_range_shape of range_of_, kept between frames
    int range_of_ = -1;
};
