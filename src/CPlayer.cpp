// Party members: their record, statistics, level table and walking.
#include "CPlayer.h"


#include "CDisplay.h"
#include "CMap.h"
#include "Grid.h"
#include "GridStep.h"
#include "Rolls.h"

CPlayer player[2];
int level_table[MAX_LEVEL + 1];

CPlayer::CPlayer() : won_battles(WON_BATTLE_SLOTS, "empty"), event_checks(1) {
    const int table[MAX_LEVEL + 1] = {0, 0, 6, 25, 100, 300, 500, 800, 1000, 3000, 6000, 0};
    for (int i = 0; i <= MAX_LEVEL; ++i) level_table[i] = table[i];
}

void CPlayer::InitStats() {
    int* attributes[5] = {&str, &wis, &intel, &con, &cha};
    for (int* a : attributes) *a = roll(9) + 10;
    hp = max_hp = roll(3) + 8;
    mana = max_mana = 0;
    exp = 0;
    ac = 0;
}

void CPlayer::UpdateStats() {
    int dmg = 0, armour = 0;
    for (const CInv& slot : inv)
        if (slot.equipped) {
            dmg += slot.damage;
            armour += slot.armour;
        }
    damage = base_damage + dmg;
    ac = base_ac + armour;
}

// Whether an NPC (tile-sized box) stands one pixel ahead of the square at (x, y).
static bool npc_ahead(const CMap& m, unsigned int x, unsigned int y, int dir) {
    const Offset o = dir_offset(dir);
    return m.CheckNpcs((int)(x + o.dx), (int)(y + o.dy));
}

// Whether the other party member stands one whole square ahead.
static bool party_ahead(const CMap& m, unsigned int x, unsigned int y, int dir) {
    const Offset o = dir_offset(dir);
    return m.CheckPlayer((int)(x + o.dx * CELL), (int)(y + o.dy * CELL));
}

void CPlayer::Move(const CMap& map, int dir) {
    if (!is_direction(dir)) return;
    facing = dir;
    if (!map.WallAhead(x, y, dir) && !npc_ahead(map, x, y, dir)) {
        const Offset o = dir_offset(dir);
        x += o.dx;
        y += o.dy;
    }
    if (dir == DIR_RIGHT || dir == DIR_LEFT)
        scroll_x = view_follow(x, map.GetWidth() * (unsigned int)map.tile_w, screen_w(), scroll_x, 0, 0, false);
    else
        scroll_y = view_follow(y, map.GetHeight() * (unsigned int)map.tile_h, screen_h(), scroll_y, 1, 0, false);
}

// Starts a grid step of one square towards dir.
static void start_step(CPlayer& p, int dir) {
    // The pixels left to walk count down towards the step's end: positive walks left or up.
    const Offset o = dir_offset(dir);
    p.move_x = -o.dx * CELL;
    p.move_y = -o.dy * CELL;
    p.moving = 1;
}

void CPlayer::MoveBlock(const CMap& map, int dir) {
    if (!is_direction(dir) || moving) return;
    facing = dir;
    if (map.WallAhead(x, y, dir) || npc_ahead(map, x, y, dir) || party_ahead(map, x, y, dir)) return;
    start_step(*this, dir);
}

void CPlayer::ViewBlock(const CMap& map, int dir) {
    if (!is_direction(dir) || moving) return;
    facing = dir;
    if (map.WallAhead(x, y, dir)) return;
    start_step(*this, dir);
}

void CPlayer::UpdateMovement() {
    if (moving == 1 && advance_step(x, y, move_x, move_y)) moving = 0;
    scroll_y = view_follow(y, ::map.GetHeight() * (unsigned int)::map.tile_h, screen_h(), scroll_y, 1, 1, false);
    scroll_x = view_follow(x, ::map.GetWidth() * (unsigned int)::map.tile_w, screen_w(), scroll_x, 0, 0, true);
}
