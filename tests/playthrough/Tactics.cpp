// The automated player's battle turns: a potion when the blows to come could fell the member, else the weakest foe in reach.
#include "Tactics.h"

#include <algorithm>
#include <climits>
#include <deque>
#include <map>

bool Board::Taken(Tile t) const {
    if (ally_on_field && t == ally) return true;
    for (const Foe& f : foes)
        if (f.at == t) return true;
    return false;
}

int danger(const Board& b) {
    std::vector<int> blows;
    for (const Foe& f : b.foes)
        if (f.damage >= b.armour) blows.push_back(f.damage);
    std::sort(blows.rbegin(), blows.rend());
    int sum = 0;
    for (size_t i = 0; i < blows.size() && i < 2; ++i) sum += blows[i];
    return sum;
}

namespace {

// Steps from `from` over tiles that pass `open`, breadth first: each tile's distance and the
// tile it was reached from.
template <typename Open>
void spread(Tile from, const Open& open, std::map<Tile, int>& dist, std::map<Tile, Tile>& prev) {
    std::deque<Tile> todo{from};
    dist[from] = 0;
    while (!todo.empty()) {
        const Tile t = todo.front();
        todo.pop_front();
        for (const Tile n : neighbours(t)) {
            if (dist.count(n) || !open(n)) continue;
            dist[n] = dist[t] + 1;
            prev[n] = t;
            todo.push_back(n);
        }
    }
}

std::vector<Tile> walk_to(const std::map<Tile, Tile>& prev, Tile from, Tile to) {
    std::vector<Tile> path{to};
    while (path.back() != from) path.push_back(prev.at(path.back()));
    std::reverse(path.begin(), path.end());
    return path;
}

}  // namespace

TurnPlan plan_turn(const Board& b) {
    TurnPlan plan;
    if (b.potions > 0 && b.hp < b.max_hp && b.hp <= danger(b)) {
        plan.act = TURN_DRINK;
        plan.path = {b.me};
        return plan;
    }
    // Where the member can walk this turn: free tiles of its range.
    std::map<Tile, int> dist;
    std::map<Tile, Tile> prev;
    spread(b.me, [&](Tile t) { return b.InRange(t) && !b.Wall(t) && !b.Taken(t); }, dist, prev);

    // The weakest foe it can stand next to; the shorter walk between equals.
    int best_hp = INT_MAX, best_walk = INT_MAX;
    for (const Foe& f : b.foes)
        for (const Tile n : neighbours(f.at)) {
            auto it = dist.find(n);
            if (it == dist.end()) continue;
            if (f.hp < best_hp || (f.hp == best_hp && it->second < best_walk)) {
                best_hp = f.hp;
                best_walk = it->second;
                plan.act = TURN_ATTACK;
                plan.target = f.at;
                plan.path = walk_to(prev, b.me, n);
            }
        }
    if (plan.act == TURN_ATTACK) return plan;

    // Out of reach: the tile of the range nearest (in steps round walls and bodies) to a foe.
    std::map<Tile, int> to_foe;
    std::deque<Tile> todo;
    for (const Foe& f : b.foes)
        for (const Tile n : neighbours(f.at))
            if (!b.Wall(n) && !b.Taken(n) && !to_foe.count(n)) {
                to_foe[n] = 0;
                todo.push_back(n);
            }
    while (!todo.empty()) {
        const Tile t = todo.front();
        todo.pop_front();
        for (const Tile n : neighbours(t)) {
            if (to_foe.count(n) || b.Wall(n) || (b.Taken(n) && n != b.me)) continue;
            to_foe[n] = to_foe[t] + 1;
            todo.push_back(n);
        }
    }
    plan.act = TURN_ADVANCE;
    plan.path = {b.me};
    int best = to_foe.count(b.me) ? to_foe[b.me] : INT_MAX, walk = 0;
    for (const auto& [t, d] : dist) {
        auto it = to_foe.find(t);
        if (it == to_foe.end()) continue;
        if (it->second < best || (it->second == best && d < walk)) {
            best = it->second;
            walk = d;
            plan.path = walk_to(prev, b.me, t);
        }
    }
    return plan;
}
