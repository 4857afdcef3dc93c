// The automated player's maps: plans of the current map and of the map files, walks over a map and journeys between maps.
#include "Atlas.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <queue>

#include "DataFiles.h"
#include "Grid.h"
#include "MapFile.h"

int PlanMap::PortalAt(Tile t) const {
    for (size_t i = 0; i < portals.size(); ++i)
        if (cell_of(portals[i].x) == t.c && cell_of(portals[i].y) == t.r) return (int)i;
    return -1;
}

int PlanMap::EventAt(Tile t, int type_bits) const {
    for (size_t i = 0; i < events.size(); ++i)
        if (events[i].x == t.c && events[i].y == t.r && (events[i].type & type_bits)) return (int)i;
    return -1;
}

namespace {

void fill_walls(PlanMap& p, const std::vector<std::vector<std::vector<CTile>>>& tiles) {
    p.blocked.assign((size_t)p.width * (size_t)p.height, 1);
    if (tiles.empty()) return;
    const auto& ground = tiles[0];
    for (int r = 0; r < p.height && r < (int)ground.size(); ++r)
        for (int c = 0; c < p.width && c < (int)ground[(size_t)r].size(); ++c)
            p.blocked[(size_t)r * (size_t)p.width + (size_t)c] = (ground[(size_t)r][(size_t)c].flags & TF_BLOCKED) ? 1 : 0;
}

}  // namespace

PlanMap plan_of_current_map() {
    PlanMap p;
    p.name = map.name;
    p.width = (int)map.width;
    p.height = (int)map.height;
    p.battle = map.battle;
    p.cine = map.cine;
    fill_walls(p, map.tiles);
    p.portals.assign(map.portals.begin(), map.portals.begin() + std::min<size_t>(map.num_portals, map.portals.size()));
    p.events.assign(map.events.begin(), map.events.begin() + std::min<size_t>(map.num_events, map.events.size()));
    p.npcs.assign(map.npcs.begin(), map.npcs.begin() + std::min<size_t>(map.num_npcs, map.npcs.size()));
    return p;
}

PlanMap plan_of_file(const std::string& name, const MapFileData& d) {
    PlanMap p;
    p.name = name;
    p.width = (int)d.width;
    p.height = (int)d.height;
    p.battle = d.battle;
    p.cine = d.cine;
    fill_walls(p, d.tiles);
    p.portals = d.portals;
    p.events = d.events;
    // The opening's figure (sprite row 3) is dropped by every ordinary load.
    for (const CNpc& n : d.npcs)
        if (n.sprite != 3) p.npcs.push_back(n);
    return p;
}

std::string map_key(const std::string& path) {
    std::string s = file_name_part(path);
    for (char& ch : s) ch = (char)std::tolower((unsigned char)ch);
    return s;
}

const PlanMap* CAtlas::File(const std::string& name) {
    const std::string key = map_key(name);
    auto found = maps_.find(key);
    if (found == maps_.end()) {
        PlanMap plan;  // stays nameless when the file cannot be read
        std::string bytes, error;
        MapFileData d;
        const std::string path = resolve_data_path(dir_ + file_name_part(name));
        if (read_whole_file(path, MAP_MAX_FILE_BYTES, bytes, error) == FileRead::OK &&
            decode_map_file((const unsigned char*)bytes.data(), bytes.size(), d, error))
            plan = plan_of_file(file_name_part(path), d);
        found = maps_.emplace(key, std::move(plan)).first;
    }
    return found->second.name.empty() ? nullptr : &found->second;
}

std::vector<Tile> neighbours(Tile t) { return {{t.c, t.r - 1}, {t.c, t.r + 1}, {t.c + 1, t.r}, {t.c - 1, t.r}}; }

WalkRules walk_rules(const PlanMap& m, bool people, const std::set<std::string>& won) {
    WalkRules rules;
    for (const CPortal& p : m.portals)
        if (!won.count(map_key(p.dest_map))) rules.closed.insert({(int)cell_of(p.x), (int)cell_of(p.y)});
    for (const CEvent& e : m.events)
        if (e.type & EV_STEP_MESSAGE) rules.costly.insert({e.x, e.y});
    if (people)
        for (const CNpc& n : m.npcs) {
            const CellSpan s = cells_under(n.x, n.y);
            for (long long r = s.r0; r <= s.r1; ++r)
                for (long long c = s.c0; c <= s.c1; ++c) rules.closed.insert({(int)c, (int)r});
        }
    return rules;
}

namespace {

constexpr int COSTLY = 40;

// Single-source walking costs over m from `from`. A closed tile may be entered only when it is
// in `enterable` (and is then an end: nothing is walked on from it). prev gives the way back.
struct Walks {
    std::map<Tile, int> cost;
    std::map<Tile, Tile> prev;
};

Walks walk_costs(const PlanMap& m, Tile from, const WalkRules& rules, const std::set<Tile>& enterable) {
    Walks w;
    using Item = std::pair<int, Tile>;
    std::priority_queue<Item, std::vector<Item>, std::greater<Item>> open;
    w.cost[from] = 0;
    open.push({0, from});
    while (!open.empty()) {
        const auto [c, t] = open.top();
        open.pop();
        if (c != w.cost[t]) continue;
        if (t != from && rules.closed.count(t)) continue;  // an entered portal or person ends the walk
        for (const Tile n : neighbours(t)) {
            if (m.Wall(n)) continue;
            if (rules.closed.count(n) && !enterable.count(n)) continue;
            const int nc = c + 1 + (rules.costly.count(n) && !enterable.count(n) ? COSTLY : 0);
            auto it = w.cost.find(n);
            if (it != w.cost.end() && it->second <= nc) continue;
            w.cost[n] = nc;
            w.prev[n] = t;
            open.push({nc, n});
        }
    }
    return w;
}

std::vector<Tile> way_back(const Walks& w, Tile from, Tile to) {
    std::vector<Tile> path{to};
    while (path.back() != from) path.push_back(w.prev.at(path.back()));
    std::reverse(path.begin(), path.end());
    return path;
}

// One place a journey has reached: a map and the tile where it arrived.
struct Stop {
    std::string map;  // map key
    Tile at;
    int cost = 0;
    int parent = -1;       // the stop it came from
    int first_portal = -1; // the portal of the current map the journey left by
};

}  // namespace

std::vector<Tile> find_path(const PlanMap& m, Tile from, const std::set<Tile>& goals, const WalkRules& rules) {
    const Walks w = walk_costs(m, from, rules, goals);
    const Tile* best = nullptr;
    int best_cost = INT_MAX;
    for (const Tile& g : goals) {
        auto it = w.cost.find(g);
        if (it != w.cost.end() && it->second < best_cost) {
            best_cost = it->second;
            best = &g;
        }
    }
    return best ? way_back(w, from, *best) : std::vector<Tile>{};
}

std::string portal_key(const std::string& map_name, Tile t) {
    return map_key(map_name) + ":" + std::to_string(t.c) + "," + std::to_string(t.r);
}

bool plan_journey(CAtlas& atlas, const PlanMap& here, Tile from, const std::string& goal_map,
                  const std::set<Tile>& goal_tiles, const JourneyRules& jr, Leg& out) {
    out = Leg();
    const std::string here_key = map_key(here.name), goal_key = map_key(goal_map);
    std::vector<Stop> stops{{here_key, from, 0, -1, -1}};
    std::set<std::pair<std::string, Tile>> seen;
    using Item = std::pair<int, int>;  // cost, stop
    std::priority_queue<Item, std::vector<Item>, std::greater<Item>> open;
    open.push({0, 0});
    int best_cost = INT_MAX, best_stop = -1;
    Tile best_tile;
    Walks start_walks;
    while (!open.empty()) {
        const auto [cost, si] = open.top();
        open.pop();
        if (cost >= best_cost) break;
        const Stop stop = stops[(size_t)si];
        if (!seen.insert({stop.map, stop.at}).second) continue;
        const bool on_here = stop.map == here_key;
        const PlanMap* pm = on_here ? &here : atlas.File(stop.map);
        if (!pm) continue;
        const WalkRules rules = walk_rules(*pm, on_here && jr.people, jr.battles_won);
        std::set<Tile> ends;
        if (stop.map == goal_key) ends = goal_tiles;
        for (const CPortal& p : pm->portals)
            if (!jr.battles_won.count(map_key(p.dest_map))) ends.insert({(int)cell_of(p.x), (int)cell_of(p.y)});
        const Walks w = walk_costs(*pm, stop.at, rules, ends);
        if (si == 0) start_walks = w;
        if (stop.map == goal_key)
            for (const Tile& g : goal_tiles) {
                auto it = w.cost.find(g);
                if (it != w.cost.end() && cost + it->second < best_cost) {
                    best_cost = cost + it->second;
                    best_stop = si;
                    best_tile = g;
                }
            }
        for (size_t i = 0; i < pm->portals.size(); ++i) {
            const CPortal& p = pm->portals[i];
            const Tile pt{(int)cell_of(p.x), (int)cell_of(p.y)};
            auto it = w.cost.find(pt);
            if (it == w.cost.end() || pt == stop.at || jr.shut.count(portal_key(pm->name, pt))) continue;
            const std::string dest = map_key(p.dest_map);
            const PlanMap* dm = atlas.File(dest);
            if (!dm || dm->battle || (dm->cine != 0 && !jr.scenes_seen.count(dm->cine) && dest != goal_key)) continue;
            Stop next{dest, {(int)cell_of(p.dest_x), (int)cell_of(p.dest_y)}, cost + it->second + 1, si,
                      si == 0 ? (int)i : stop.first_portal};
            stops.push_back(next);
            open.push({next.cost, (int)stops.size() - 1});
        }
    }
    if (best_stop < 0) return false;
    // The maps passed, for messages.
    std::vector<std::string> chain;
    for (int s = best_stop; s >= 0; s = stops[(size_t)s].parent) chain.push_back(stops[(size_t)s].map);
    std::reverse(chain.begin(), chain.end());
    for (size_t i = 0; i < chain.size(); ++i) out.via += (i ? " -> " : "") + chain[i];
    if (best_stop == 0) {
        out.path = way_back(start_walks, from, best_tile);
        return true;
    }
    out.portal = stops[(size_t)best_stop].first_portal;
    const CPortal& p = here.portals[(size_t)out.portal];
    out.path = way_back(start_walks, from, {(int)cell_of(p.x), (int)cell_of(p.y)});
    return true;
}
