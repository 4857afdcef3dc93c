// Party members: their record, statistics, level table and walking.
#include "CPlayer.h"

#include <cstdlib>

#include "CDisplay.h"
#include "CMap.h"
#include "GridStep.h"

CPlayer player[2];
int level_table[MAX_LEVEL + 1];

// Direction codes shared with NPCs and the battle.
enum Direction { DIR_UP = 1, DIR_DOWN = 2, DIR_RIGHT = 3, DIR_LEFT = 4 };
// A character is a 16-pixel square and a grid step is one such square.
constexpr int STEP = 16;

CPlayer::CPlayer() : won_battles(25, "empty"), event_checks(1) {
    const int table[MAX_LEVEL + 1] = {0, 0, 6, 25, 100, 300, 500, 800, 1000, 3000, 6000, 0};
    for (int i = 0; i <= MAX_LEVEL; ++i) level_table[i] = table[i];
}

void CPlayer::InitStats() {
    int* attributes[5] = {&str, &wis, &intel, &con, &cha};
    for (int* a : attributes) *a = rand() % 9 + 10;
    hp = max_hp = rand() % 3 + 8;
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

static bool npc_at(const CMap& m, unsigned int x, unsigned int y) { return m.CheckNpcs((int)x, (int)y); }

// The wall test of a move one pixel (or one step) in dir from (x, y): the two corner
// points just past the side the character moves towards.
static bool wall_ahead(const CMap& m, unsigned int x, unsigned int y, int dir) {
    switch (dir) {
    case DIR_UP: return m.Collision(x, y - 1) || m.Collision(x + 15, y - 1);
    case DIR_DOWN: return m.Collision(x, y + 16) || m.Collision(x + 15, y + 16);
    case DIR_RIGHT: return m.Collision(x + 16, y) || m.Collision(x + 16, y + 15);
    case DIR_LEFT: return m.Collision(x - 1, y) || m.Collision(x - 1, y + 15);
    }
    return true;
}

static bool npc_ahead(const CMap& m, unsigned int x, unsigned int y, int dir) {
    switch (dir) {
    case DIR_UP: return npc_at(m, x, y - 1);
    case DIR_DOWN: return npc_at(m, x, y + 1);
    case DIR_RIGHT: return npc_at(m, x + 1, y);
    case DIR_LEFT: return npc_at(m, x - 1, y);
    }
    return true;
}

static bool party_ahead(const CMap& m, unsigned int x, unsigned int y, int dir) {
    switch (dir) {
    case DIR_UP: return m.CheckPlayer((int)x, (int)(y - STEP));
    case DIR_DOWN: return m.CheckPlayer((int)x, (int)(y + STEP));
    case DIR_RIGHT: return m.CheckPlayer((int)(x + STEP), (int)y);
    case DIR_LEFT: return m.CheckPlayer((int)(x - STEP), (int)y);
    }
    return true;
}

static bool valid_dir(int dir) { return dir >= DIR_UP && dir <= DIR_LEFT; }

void CPlayer::Move(const CMap& map, int dir) {
    if (!valid_dir(dir)) return;
    facing = dir;
    if (!wall_ahead(map, x, y, dir) && !npc_ahead(map, x, y, dir)) {
        switch (dir) {
        case DIR_UP: --y; break;
        case DIR_DOWN: ++y; break;
        case DIR_RIGHT: ++x; break;
        case DIR_LEFT: --x; break;
        }
    }
    if (dir == DIR_RIGHT || dir == DIR_LEFT)
        scroll_x = view_follow(x, map.GetWidth() * (unsigned int)map.tile_w, screen_w(), scroll_x, 0, 0, false);
    else
        scroll_y = view_follow(y, map.GetHeight() * (unsigned int)map.tile_h, screen_h(), scroll_y, 1, 0, false);
}

// Starts a grid step of one square towards dir.
static void start_step(CPlayer& p, int dir) {
    switch (dir) {
    case DIR_UP: p.move_y = STEP; break;
    case DIR_DOWN: p.move_y = -STEP; break;
    case DIR_LEFT: p.move_x = STEP; break;
    case DIR_RIGHT: p.move_x = -STEP; break;
    }
    p.moving = 1;
}

void CPlayer::MoveBlock(const CMap& map, int dir) {
    if (!valid_dir(dir) || moving) return;
    facing = dir;
    if (wall_ahead(map, x, y, dir) || npc_ahead(map, x, y, dir) || party_ahead(map, x, y, dir)) return;
    start_step(*this, dir);
}

void CPlayer::ViewBlock(const CMap& map, int dir) {
    if (!valid_dir(dir) || moving) return;
    facing = dir;
    if (wall_ahead(map, x, y, dir)) return;
    start_step(*this, dir);
}

void CPlayer::UpdateMovement() {
    if (moving == 1 && advance_step(x, y, move_x, move_y)) moving = 0;
    scroll_y = view_follow(y, ::map.GetHeight() * (unsigned int)::map.tile_h, screen_h(), scroll_y, 1, 1, false);
    scroll_x = view_follow(x, ::map.GetWidth() * (unsigned int)::map.tile_w, screen_w(), scroll_x, 0, 0, true);
}
