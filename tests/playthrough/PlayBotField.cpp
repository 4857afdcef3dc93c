// The automated player in the field: walking over and between maps, using what stands ahead, talking, picking up, the field's goals.
#include "PlayBot.h"

#include <cstdio>

#include "CCine.h"
#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "DataFiles.h"
#include "Grid.h"
#include "PlaySight.h"

namespace {

// Ticks an arrow may be held without walking a pixel before the walk is planned again, and
// before the player gives up on it.
constexpr int REPLAN_STALLS = 3;
constexpr int GIVE_UP_STALLS = 1200;
// Ticks stalled before the hero steps aside for someone in his way, and the ticks he then waits.
constexpr int STEP_ASIDE_STALLS = 24;
constexpr int STEP_ASIDE_WAIT = 90;
// Use-key presses at a goal's target that bring nothing before the player gives up.
constexpr int GIVE_UP_PRESSES = 8;

}  // namespace

Tile walk_tile() {
    const CellSpan s = cells_under(player[0].x, player[0].y);
    Tile best = hero_tile();
    long long best_score = -1;
    for (long long r = s.r0; r <= s.r1; ++r)
        for (long long c = s.c0; c <= s.c1; ++c) {
            const Tile t{(int)c, (int)r};
            if (live_wall(t)) continue;
            bool person = false;
            for (size_t i = 0; i < map.npcs.size() && i < map.num_npcs; ++i)
                person = person || squares_overlap(map.npcs[i].x, map.npcs[i].y, c * CELL, r * CELL);
            const long long off = std::llabs((long long)player[0].x - c * CELL) + std::llabs((long long)player[0].y - r * CELL);
            const long long score = (person ? 1000 : 0) + off;
            if (best_score < 0 || score < best_score) {
                best_score = score;
                best = t;
            }
        }
    return best;
}

const PlanMap* CPlayBot::PlanFor(const std::string& map_name) {
    if (map_key(map_name) == map_key(map.name)) {
        live_ = plan_of_current_map();
        return &live_;
    }
    return atlas_.File(map_name);
}

void CPlayBot::Replan(const std::string& goal_map, const std::set<Tile>& tiles) {
    Leg leg;
    const PlanMap here = plan_of_current_map();
    // What the player remembers: the scenes it has watched and the battles it has won.
    JourneyRules rules;
    rules.shut = pilot_.shut;
    for (size_t n = 0; n < cine.played.size(); ++n)
        if (cine.played[n]) rules.scenes_seen.insert((int)n);
    for (const std::string& w : player[0].won_battles)
        if (w != "empty") rules.battles_won.insert(map_key(w));
    bool found = plan_journey(atlas_, here, walk_tile(), goal_map, tiles, rules, leg);
    if (!found) {
        // Someone stands in the only way: walk up to them, they will stroll aside.
        rules.people = false;
        found = plan_journey(atlas_, here, walk_tile(), goal_map, tiles, rules, leg);
    }
    if (!found) {
        std::string list;
        for (const Tile& t : tiles) list += (list.empty() ? "" : " ") + std::string("(") + std::to_string(t.c) + "," + std::to_string(t.r) + ")";
        Stop("no way from " + map.name + " to " + goal_map + " " + list);
    }
    if (options_.verbose && (pilot_.map != map.name || pilot_.goals != tiles))
        printf("   walk: %s (%zu steps on %s)\n", leg.via.c_str(), leg.path.size() - 1, map.name.c_str());
    pilot_.map = map.name;
    pilot_.goal_map = goal_map;
    pilot_.goals = tiles;
    pilot_.path = leg.path;
    pilot_.portal = leg.portal;
    pilot_.stalls = 0;
}

bool CPlayBot::Arrive(const std::string& goal_map, const std::set<Tile>& tiles) {
    const Tile h = walk_tile();
    if (map_key(map.name) == map_key(goal_map) && tiles.count(h) && aligned_on(h)) {
        // Arrived: the walking stops; a key the caller is pressing stays as it is.
        if (pilot_.pushing) Release();
        pilot_.pushing = false;
        return true;
    }
    // Walking stalled (a person in the way, a corner): plan again from where the hero stands.
    if (pilot_.pushing && host_.LastTickRan()) {
        if (player[0].x == pilot_.last_x && player[0].y == pilot_.last_y)
            ++pilot_.stalls;
        else
            pilot_.stalls = 0;
    }
    pilot_.last_x = player[0].x;
    pilot_.last_y = player[0].y;
    if (pilot_.stalls > GIVE_UP_STALLS) Stop("cannot get past: the hero has not moved for a long while");
    if (pilot_.wait > 0) {
        // Stepped aside: let whoever stood in the way stroll on.
        if (host_.LastTickRan()) --pilot_.wait;
        Release();
        pilot_.pushing = false;
        return false;
    }
    if (pilot_.detour && aligned_on(h)) {
        pilot_.detour = false;
        pilot_.wait = STEP_ASIDE_WAIT;
        pilot_.path.clear();
        Release();
        pilot_.pushing = false;
        return false;
    }
    if (!pilot_.detour && pilot_.stalls >= STEP_ASIDE_STALLS && pilot_.path.size() > 1) {
        // Someone walking into the hero waits for him as he waits for them: step aside.
        const PlanMap here = plan_of_current_map();
        const WalkRules people = walk_rules(here, true);
        for (const Tile n : neighbours(h))
            if (n != pilot_.path[1] && !here.Wall(n) && !people.closed.count(n)) {
                pilot_.path = {h, n};
                pilot_.detour = true;
                pilot_.stalls = 0;
                break;
            }
    }
    if (pilot_.map != map.name || pilot_.goal_map != goal_map || pilot_.goals != tiles) pilot_.path.clear();
    while (pilot_.path.size() > 1 && pilot_.path[1] == h) pilot_.path.erase(pilot_.path.begin());
    if (!pilot_.detour && (pilot_.path.empty() || pilot_.path[0] != h || (pilot_.stalls > 0 && pilot_.stalls % REPLAN_STALLS == 0))) {
        const int stalls = pilot_.stalls;
        Replan(goal_map, tiles);
        pilot_.stalls = stalls;
    }

    int dir = DIR_NONE;
    if (pilot_.path.size() > 1) {
        const Tile next = pilot_.path[1];
        const bool across = next.c != h.c;
        // Square on the row (or column) first, then along it.
        if (across && player[0].y != (unsigned int)(h.r * CELL))
            dir = player[0].y < (unsigned int)(h.r * CELL) ? DIR_DOWN : DIR_UP;
        else if (!across && player[0].x != (unsigned int)(h.c * CELL))
            dir = player[0].x < (unsigned int)(h.c * CELL) ? DIR_RIGHT : DIR_LEFT;
        else
            dir = dir_between(h, next);
        pilot_.last_dir = dir_between(h, next);
    } else if (pilot_.portal >= 0 && aligned_on(h)) {
        // On the portal's square: one more arrow lets it carry the party; a shut one does not.
        if (host_.LastTickRan() && ++pilot_.portal_waits > 3) {
            pilot_.shut.insert(portal_key(map.name, h));
            if (options_.verbose) printf("   the portal at (%d, %d) on %s is shut\n", h.c, h.r, map.name.c_str());
            pilot_.portal_waits = 0;
            Replan(goal_map, tiles);
            Release();
            pilot_.pushing = false;
            return false;
        }
        dir = pilot_.last_dir ? pilot_.last_dir : DIR_DOWN;
    } else {
        // The last tile: square on it.
        if (player[0].x != (unsigned int)(h.c * CELL))
            dir = player[0].x < (unsigned int)(h.c * CELL) ? DIR_RIGHT : DIR_LEFT;
        else
            dir = player[0].y < (unsigned int)(h.r * CELL) ? DIR_DOWN : DIR_UP;
    }
    HoldOnly(ARROW_OF_DIR[dir]);
    pilot_.pushing = true;
    return false;
}

void CPlayBot::UseFacing(const std::string& goal_map, Tile target, bool person) {
    const PlanMap* pm = PlanFor(goal_map);
    if (!pm) Stop("the map " + goal_map + " cannot be read");
    // Where to stand: next to it, on open ground nobody stands on (a shopkeeper stands behind
    // the counter, on the other side from the customer).
    const WalkRules people = walk_rules(*pm, true);
    std::set<Tile> spots;
    for (const Tile n : neighbours(target))
        if (!pm->Wall(n) && !people.closed.count(n)) spots.insert(n);
    if (spots.empty()) Stop("nowhere to stand next to (" + std::to_string(target.c) + ", " + std::to_string(target.r) + ")");
    if (!Arrive(goal_map, spots)) return;
    const Tile h = hero_tile();
    const int dir = dir_between(h, target);
    if (player[0].facing != dir) {
        HoldOnly(ARROW_OF_DIR[dir]);  // the thing ahead stops him: he only turns
        return;
    }
    if (person) {
        // The point the use key looks at must still be on the person.
        const Offset o = dir_offset(dir);
        if (!map.CheckNpcs((int)player[0].x + o.dx * CELL, (int)player[0].y + o.dy * CELL)) {
            Release();
            return;
        }
    }
    if (gs_.acted && !gs_.spoke && gs_.presses >= GIVE_UP_PRESSES) Stop("the use key brings nothing here");
    if (Tap(GK_SPACE)) {
        gs_.acted = true;
        ++gs_.presses;
    }
}

void CPlayBot::TalkTo(const Goal& g) {
    if (gs_.spoke) {
        Done();
        Release();
        return;
    }
    const PlanMap* pm = PlanFor(g.map);
    if (!pm) Stop("the map " + g.map + " cannot be read");
    const bool on_map = map_key(map.name) == map_key(g.map);
    for (size_t i = 0; i < pm->npcs.size(); ++i) {
        const CNpc& n = pm->npcs[i];
        // Every map reads the one NPC list: an id names the same person anywhere.
        if (n.id < 1 || (size_t)n.id > map.npc_info.size() || map.npc_info[(size_t)n.id - 1].name != g.name) continue;
        UseFacing(g.map, {(int)((n.x + CELL / 2) / CELL), (int)((n.y + CELL / 2) / CELL)}, on_map);
        return;
    }
    Stop("nobody called " + g.name + " is on " + g.map);
}

void CPlayBot::UseEvent(const Goal& g, int type_bits, int quest_no) {
    const PlanMap* pm = PlanFor(g.map);
    if (!pm) Stop("the map " + g.map + " cannot be read");
    for (const CEvent& e : pm->events)
        if ((e.type & type_bits) && (quest_no < 0 || e.quest == quest_no)) {
            UseFacing(g.map, {e.x, e.y}, false);
            return;
        }
    Stop("no such place on " + g.map);
}

void CPlayBot::Pickup(const Goal& g) {
    // The goal's tile, or the tiles under the hero as the goal began.
    if (gs_.spots.empty()) {
        if (g.col >= 0) {
            gs_.spots.insert({g.col, g.row});
        } else {
            const CellSpan s = cells_under(player[0].x, player[0].y);
            for (long long r = s.r0; r <= s.r1; ++r)
                for (long long c = s.c0; c <= s.c1; ++c) gs_.spots.insert({(int)c, (int)r});
        }
    }
    if (map_key(map.name) == map_key(g.map)) {
        bool lying = false;
        for (size_t i = 0; i < map.events.size() && i < map.num_events; ++i)
            lying = lying || ((map.events[i].type & EV_OBJECT) && gs_.spots.count({map.events[i].x, map.events[i].y}));
        if (!lying || gs_.left_behind) {
            Done();
            Release();
            return;
        }
    }
    if (g.col < 0) {
        Tap(GK_SPACE);  // at his feet
    } else if (Arrive(g.map, gs_.spots)) {
        Tap(GK_SPACE);
    }
}

bool CPlayBot::BattleWonBefore(const Goal& g) {
    const PlanMap* pm = atlas_.File(g.map);
    const int at = pm ? pm->PortalAt({g.col, g.row}) : -1;
    if (at < 0) Stop("no portal at (" + std::to_string(g.col) + ", " + std::to_string(g.row) + ") on " + g.map);
    const std::string dest = file_name_part(pm->portals[(size_t)at].dest_map);
    for (const std::string& w : player[0].won_battles)
        if (map_key(w) == map_key(dest)) return true;
    return false;
}

void CPlayBot::Field() {
    if (!began_) {
        Release();
        return;
    }
    if (!quit_asked_) {
        Tap(GK_ESC);  // once, the quit question, answered NO
        return;
    }
    if (host_.Down(GK_ESC)) {
        Release();  // the field asks again for as long as ESC is down
        return;
    }
    const Goal* g = Current();
    if (!g) Stop("the route is over but the game goes on");
    // The hero walks and shops; a menu goal may have left the companion shown.
    if (App.selected_pc != 0 && !is_menu_goal(g)) {
        Tap(GK_LCONTROL);
        return;
    }
    switch (g->kind) {
    case GOAL_GO:
        if (Arrive(g->map, {{g->col, g->row}})) Done();
        break;
    case GOAL_STEP:
        // On the tile and nothing yet: a step on it (a portal carries the party at the next
        // arrow, a step-on message fires at the first pixel walked).
        if (Arrive(g->map, {{g->col, g->row}})) {
            if (host_.LastTickRan() && ++gs_.presses > GIVE_UP_PRESSES * 4) Stop("nothing happens on the tile");
            Tile free = {g->col, g->row};
            for (const Tile n : neighbours(free))
                if (!live_wall(n)) {
                    free = n;
                    break;
                }
            HoldOnly(ARROW_OF_DIR[free == Tile{g->col, g->row} ? DIR_UP : dir_between({g->col, g->row}, free)]);
        }
        break;
    case GOAL_TALK: TalkTo(*g); break;
    case GOAL_USE:
        if (gs_.spoke) {
            Done();
            Release();
        } else {
            UseFacing(g->map, {g->col, g->row}, false);
        }
        break;
    case GOAL_CHEST: {
        bool opened = false;
        for (const CEventCheck& c : player[0].event_checks)
            opened = opened || (map_key(c.map) == map_key(g->map) && c.x == g->col && c.y == g->row && !c.map.empty());
        // Opened (now, or before a load): its find was picked up with the same press.
        if (opened) {
            Done();
            Release();
        } else if (Arrive(g->map, {{g->col, g->row}})) {
            Tap(GK_SPACE);
        }
        break;
    }
    case GOAL_BUY:
        if (gs_.shopped) {
            Done();
            Release();
        } else {
            UseEvent(*g, EV_SHOP, g->shop);
        }
        break;
    case GOAL_REST:
        if (gs_.rested) {
            Done();
            Release();
        } else {
            UseEvent(*g, EV_INN, -1);
        }
        break;
    case GOAL_SAVE:
        if (gs_.saved) {
            Done();
            Release();
        } else {
            UseEvent(*g, EV_SAVE, -1);
        }
        break;
    case GOAL_TRAIN:
        if (gs_.refused || player[g->member].level + 1 > MAX_LEVEL) {
            Done();
            Release();
        } else {
            UseEvent(*g, EV_TRAINER, -1);
        }
        break;
    case GOAL_BATTLE:
        if (gs_.won || BattleWonBefore(*g)) {
            Done();
            Release();
        } else {
            Arrive(g->map, {{g->col, g->row}});
        }
        break;
    case GOAL_WEAR:
    case GOAL_GIVE:
    case GOAL_DROP: MenuGoal(*g); break;
    case GOAL_PICKUP: Pickup(*g); break;
    case GOAL_RESTART:
        gs_.restarting = true;
        quit_asked_ = true;
        Tap(GK_ESC);
        break;
    case GOAL_END: Stop("the story should have ended by now");
    }
}
