// The automated player in battle: the field it sees, its members' turns, the action menu and the attack cursor.
#include "PlayBot.h"

#include "CBattle.h"
#include "CMap.h"
#include "CPlayer.h"
#include "Grid.h"
#include "PlaySight.h"

namespace {

// Ticks a party member's step may be refused before its turn is ended where it stands.
constexpr int BATTLE_GIVE_UP_STALLS = 30;

}  // namespace

Board CPlayBot::BoardFor(int pc) const {
    Board b;
    b.width = (int)map.width;
    b.height = (int)map.height;
    b.walls.assign((size_t)b.width * (size_t)b.height, 1);
    b.range.assign(b.walls.size(), 0);
    if (!map.tiles.empty())
        for (int r = 0; r < b.height && r < (int)map.tiles[0].size(); ++r)
            for (int c = 0; c < b.width && c < (int)map.tiles[0][(size_t)r].size(); ++c)
                b.walls[(size_t)r * (size_t)b.width + (size_t)c] = (map.tiles[0][(size_t)r][(size_t)c].flags & TF_BLOCKED) != 0;
    const CPlayer& p = player[pc];
    const int ox = battle.origin_x / CELL, oy = battle.origin_y / CELL;
    for (const CellOffset& o : movement_range_shape(p.move_range)) {
        const int c = ox + o.dx, r = oy + o.dy;
        // Column 0 and row 0 never take part.
        if (c > 0 && r > 0 && c < b.width && r < b.height) b.range[(size_t)r * (size_t)b.width + (size_t)c] = 1;
    }
    b.me = {(int)(p.x / CELL), (int)(p.y / CELL)};
    if (companion_joined()) {
        b.ally_on_field = true;
        b.ally = {(int)(player[1 - pc].x / CELL), (int)(player[1 - pc].y / CELL)};
    }
    for (size_t i = 0; i < map.npcs.size() && i < map.num_npcs; ++i) {
        const CNpc& m = map.npcs[i];
        if (m.hp < 1) continue;
        b.foes.push_back({{(int)(m.x / CELL), (int)(m.y / CELL)}, m.hp, m.damage, m.attack_range});
    }
    b.hp = p.hp;
    b.max_hp = p.max_hp;
    b.armour = p.ac;
    const Goal* g = Current();
    b.potions = g && g->no_potions ? 0 : potions_carried();
    return b;
}

void CPlayBot::BattleTurn() {
    const int pc = battle.turn;
    if (pc == TURN_MONSTERS || (pc == TURN_COMPANION && !companion_joined())) {
        Release();
        return;
    }
    const CPlayer& p = player[pc];
    if (p.moving) {
        battle_stalls_ = 0;
        Release();
        return;
    }
    if (host_.LastTickRan() && host_.AnyDown() && p.x == battle_x_ && p.y == battle_y_)
        ++battle_stalls_;
    battle_x_ = p.x;
    battle_y_ = p.y;
    const TurnPlan plan = plan_turn(BoardFor(pc));
    if (plan.path.size() > 1 && plan.act != TURN_DRINK && battle_stalls_ < BATTLE_GIVE_UP_STALLS) {
        HoldOnly(ARROW_OF_DIR[dir_between(plan.path[0], plan.path[1])]);
        return;
    }
    Tap(GK_SPACE);  // the action menu
}

void CPlayBot::BattleMenu(const ScreenView& v) {
    enum { MOVE = 0, ATTACK = 1, ITEM = 2, END_TURN = 4 };
    const TurnPlan plan = plan_turn(BoardFor(battle.turn == TURN_COMPANION ? 1 : 0));
    int want = END_TURN;
    if (plan.act == TURN_DRINK)
        want = ITEM;
    else if (battle_stalls_ >= BATTLE_GIVE_UP_STALLS)
        want = END_TURN;
    else if (plan.path.size() > 1)
        want = MOVE;
    else if (plan.act == TURN_ATTACK)
        want = ATTACK;
    if (want != MOVE) battle_stalls_ = 0;
    TwoEntries(v, want);
}

void CPlayBot::AttackCursor(const ScreenView& v) {
    const TurnPlan plan = plan_turn(BoardFor(battle.turn == TURN_COMPANION ? 1 : 0));
    if (plan.act != TURN_ATTACK || plan.path.size() != 1) {
        Tap(GK_ALT);  // nothing to strike from here after all
        return;
    }
    const Tile at{(int)v.col, (int)v.row}, t = plan.target;
    if (at == t)
        Tap(GK_SPACE);
    else if (t.c != at.c)
        Tap(t.c > at.c ? GK_RIGHT : GK_LEFT);
    else
        Tap(t.r > at.r ? GK_DOWN : GK_UP);
}

