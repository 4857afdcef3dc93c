// NPC and monster movement on the tile grid, the monster's choice of target and the monster statistics table.
#include "CNpc.h"


#include "CDisplay.h"
#include "CMap.h"
#include "Grid.h"
#include "GridStep.h"
#include "Quests.h"
#include "Rolls.h"

void CNpc::Move(CMap& m, int d) {
    if (moving || !is_direction(d)) return;
    // Walls, then a party member one pixel ahead, then another NPC a whole square ahead.
    const Offset o = dir_offset(d);
    if (m.WallAhead(x, y, d)) return;
    if (m.CheckPlayer((int)(x + o.dx), (int)(y + o.dy))) return;
    if (m.CheckNpcs((int)(x + o.dx * CELL), (int)(y + o.dy * CELL))) return;
    // The pixels left to walk count down towards the step's end: positive walks left or up.
    move_x = -o.dx * CELL;
    move_y = -o.dy * CELL;
    moving = true;
}

void CNpc::UpdateMovement() {
    if (advance_step(x, y, move_x, move_y)) moving = false;

    // Camera on the walker; the vertical limits sit one pixel higher than the horizontal ones,
    // as the scenes were laid out with them. A map no larger than the screen stays at 0 on that
    // axis rather than getting a view from before its start.
    map.scroll_y = view_follow(y, map.height * (unsigned int)map.tile_h, screen_h(), map.scroll_y, 1, 1, false);
    map.scroll_x = view_follow(x, map.width * (unsigned int)map.tile_w, screen_w(), map.scroll_x, 0, 0, false);
}

void CNpc::UpdateTargets() {
    if (companion_joined()) target = roll(2);
}

namespace {
struct MonsterRow {
    const char* name;
    int damage, hp, gold_reward, exp_reward, attack_range, mana, level;
};
// Fighting statistics by monster kind; row k - 1 is kind k.
const MonsterRow MONSTERS[] = {
    {"Tobin", 2, 25, 0, 10, 1, 0, 1},
    {"A goblin", 2, 2, 0, 2, 1, 0, 1},
    {"An ugly hybrid-goblin", 3, 8, 0, 3, 1, 0, 1},
    {"Goblin Warrior", 1, 5, 3, 1, 1, 0, 1},
    {"Goblin Shaman", 2, 4, 2, 2, 1, 0, 1},
    {"Flaming Morwen Soldi", 1, 10, 2, 3, 1, 0, 1},
    {"Flaming Morwen General", 3, 11, 5, 5, 1, 0, 2},
    {"Skeletal Warrior", 3, 8, 1, 6, 1, 0, 1},
    {"Skeletal Archer", 1, 3, 2, 1, 3, 0, 1},
    {"Blue Slime", 3, 4, 1, 2, 1, 0, 1},
    {"Vorrandite Footperson", 4, 5, 4, 10, 1, 0, 1},
    {"Vorrandite Guard", 4, 7, 7, 14, 1, 0, 1},
    {"Vorrandite Archer", 3, 8, 4, 12, 4, 0, 1},
    {"Thug", 7, 3, 3, 10, 1, 0, 1},
    {"Thug Mudslinger", 5, 10, 4, 20, 4, 0, 1},
    {"A dirty thief", 4, 12, 1, 13, 1, 0, 1},
    {"Flaming Morwen - NightMage", 5, 8, 8, 19, 2, 0, 1},
    {"Vorrandite Berserker", 6, 10, 8, 15, 1, 0, 1},
    {"Vorrandite Apprentice Mage", 4, 10, 9, 13, 2, 0, 1},
    {"A raging harpy", 1, 20, 0, 15, 1, 0, 1},
    {"A goblin snappa' cracka' ", 6, 3, 8, 20, 1, 3, 1},
    {"A Vorrandite Berserker", 6, 28, 8, 15, 1, 0, 1},
    {"A Vorrandite Soldier", 7, 12, 5, 15, 1, 0, 1},
    {"A Vorrandite Lancer", 10, 8, 10, 10, 1, 0, 1},
    {"A skilled archer", 5, 5, 5, 8, 3, 0, 1},
    {"Vorrand", 10, 35, 10, 45, 1, 0, 1},
    {"Commander Garrick", 10, 25, 20, 40, 1, 0, 1},
    {"Elite Vorrandite Archer", 8, 20, 10, 20, 3, 0, 1},
    {"Elite Vorrandite Berserker", 10, 22, 8, 15, 1, 0, 1},
    {"Vorrandite Fanatic Cleric", 10, 18, 10, 20, 1, 0, 1},
};
constexpr int NUM_MONSTERS = (int)(sizeof MONSTERS / sizeof MONSTERS[0]);
static_assert(NUM_MONSTERS == MONSTER_KINDS, "one table row per monster kind");
}  // namespace

void CNpc::LoadStats() {
    if (id < 1 || id > NUM_MONSTERS) return;  // unknown kinds keep what they hold
    const MonsterRow& r = MONSTERS[id - 1];
    name = r.name;
    damage = r.damage;
    hp = r.hp;
    mana = r.mana;
    gold_reward = r.gold_reward;
    level = r.level;
    exp_reward = r.exp_reward;
    attack_range = r.attack_range;
}
