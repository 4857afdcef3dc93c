// Blows in battle: a party member's strike on a monster and a monster's search for a victim and its strike.
#include "CBattle.h"

#include <algorithm>
#include <climits>

#include "CMap.h"
#include "CPlayer.h"
#include "Grid.h"
#include "Interaction.h"
#include "Rolls.h"

namespace {

// One blow in five misses: a roll of 1 or 2 out of 1..10.
bool blow_misses() { return roll(10) + 1 <= 2; }

// The points a blow does: 0 up to damage. A damage of INT_MAX (a doctored save) must not overflow
// the roll's range; below 0 it does nothing.
int blow_damage(int damage) { return roll(damage < INT_MAX ? damage + 1 : INT_MAX); }

// Hit points left after a blow of dmg points (never negative): hit points near the bottom of the
// range (a doctored save) stop at INT_MIN instead of overflowing.
int after_blow(int hp, int dmg) { return (int)std::max<long long>((long long)hp - dmg, INT_MIN); }

}  // namespace

void CBattle::PlayerAttack(int pc, int monster) {
    if (pc < 0 || pc > 1 || monster < 0 || (size_t)monster >= map.npcs.size()) return;
    if (blow_misses()) {
        Talk("", "Your attack missed!");
        return;
    }
    CNpc& m = map.npcs[monster];
    // Monsters wear no armour: every point rolled counts, and the remainder may go below zero.
    const int dmg = blow_damage(player[pc].damage);
    m.hp = after_blow(m.hp, dmg);
    Talkf("Attacking: " + m.name, "Your attack does %d damage! Leaving your enemy with %d HP left.", dmg, m.hp);
}

bool CBattle::NpcAttack(int monster, int x, int y, int target) {
    ClearGrid();
    if (monster < 0 || (size_t)monster >= map.npcs.size()) return false;
    const CNpc& m = map.npcs[monster];
    int victim = -1;
    if (m.attack_range == 1) {
        // One pixel to the right, the left, below, above: the first party member touching it.
        const int points[4][2] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
        for (const auto& p : points)
            if (map.CheckPlayer(p[0], p[1])) {
                victim = map.WhichPlayer(p[0], p[1]);
                break;
            }
    } else if (m.attack_range > 1) {
        // Its own target wins when it stands in the area; otherwise the last member found in
        // reading order, row by row from the top.
        // Only the area's own box can hold marks, so the scan keeps to it.
        const long long cx = (unsigned int)x / CELL, cy = (unsigned int)y / CELL, span = m.attack_range - 1;
        MarkAttackArea(cx, cy, m.attack_range, false, 0, 0);
        const long long rows = (long long)grid.size(), cols = rows > 0 ? (long long)grid[0].size() : 0;
        for (long long r = std::max(cy - span, 0LL); r <= std::min(cy + span, rows - 1) && victim != target; ++r)
            for (long long c = std::max(cx - span, 0LL); c <= std::min(cx + span, cols - 1) && victim != target; ++c) {
                if (!Marked(c, r)) continue;
                const int px = (int)(c * CELL), py = (int)(r * CELL);
                if (map.CheckPlayer(px, py)) victim = map.WhichPlayer(px, py);
            }
    }
    if (victim < 0) return false;

    CPlayer& v = player[victim];
    if (blow_misses()) {
        Talkf(m.name + ":", "Attacks %s and misses!", v.name.c_str());
        return true;
    }
    const int dmg = blow_damage(m.damage);
    if (dmg < v.ac) {
        Talkf("", "Your armour protects you from harm!");
        return true;
    }
    // Armour only turns a blow aside: one that gets through does all its damage.
    v.hp = after_blow(v.hp, dmg);
    Talkf(m.name, "Attacks %s and does %d damage!!! HP is now %d(%d)", v.name.c_str(), dmg, v.hp, v.max_hp);
    return true;
}
