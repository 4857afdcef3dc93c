// The automated player: the goal in hand, what each screen asks of it, walking, talking, shopping and fighting.
#include "PlayBot.h"

#include <cstdio>
#include <cstdlib>

#include "CBattle.h"
#include "CCine.h"
#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "DataFiles.h"
#include "Grid.h"
#include "Quests.h"
#include "Timing.h"

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
// Ticks a party member's step may be refused before its turn is ended where it stands.
constexpr int BATTLE_GIVE_UP_STALLS = 30;
// Deaths the run survives (each one loads the last save) before it gives up.
constexpr int MAX_DEATHS = 6;

const int ARROW_OF_DIR[5] = {0, GK_UP, GK_DOWN, GK_RIGHT, GK_LEFT};

bool starts_with(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// The direction of one step from a to the neighbouring tile b.
int dir_between(Tile a, Tile b) {
    if (b.c > a.c) return DIR_RIGHT;
    if (b.c < a.c) return DIR_LEFT;
    if (b.r < a.r) return DIR_UP;
    if (b.r > a.r) return DIR_DOWN;
    return DIR_NONE;
}

// The hero's nearest tile and whether he stands exactly on it.
Tile hero_tile() { return {(int)((player[0].x + CELL / 2) / CELL), (int)((player[0].y + CELL / 2) / CELL)}; }
// The tile the hero walks from: the nearest his square covers that is no wall (a battle sends
// him back onto its portal's square, which may be a camp fire).
bool live_wall(Tile t) {
    if (t.c < 0 || t.r < 0 || t.c >= (int)map.width || t.r >= (int)map.height) return true;
    const CTile* cell = map.Cell(0, t.c, t.r);
    return !cell || (cell->flags & TF_BLOCKED);
}
Tile walk_tile() {
    // Of the tiles his square covers: the nearest that is no wall and has nobody on it, else the
    // nearest that is no wall.
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
bool aligned_on(Tile t) { return player[0].x == (unsigned int)(t.c * CELL) && player[0].y == (unsigned int)(t.r * CELL); }

// Whether the hero's square overlaps tile t.
bool hero_touches(Tile t) { return squares_overlap(player[0].x, player[0].y, (long long)t.c * CELL, (long long)t.r * CELL); }

bool is_menu_goal(const Goal* g) { return g && (g->kind == GOAL_WEAR || g->kind == GOAL_GIVE || g->kind == GOAL_DROP); }
// The member whose pack a menu goal works on: giving is always the hero's.
int menu_member(const Goal& g) { return g.kind == GOAL_GIVE ? 0 : g.member; }
int count_in_pack(const CPlayer& p, int id) {
    int n = 0;
    for (const CInv& s : p.inv) n += s.id == id;
    return n;
}

int potions_carried() {
    int n = 0;
    for (const CPlayer& p : player)
        for (const CInv& s : p.inv) n += s.id == HEALING_POTION;
    return n;
}

}  // namespace

CPlayBot::CPlayBot(const Route& route, CBotHost& host, CAtlas& atlas, PlayOptions options)
    : route_(route), host_(host), atlas_(atlas), options_(options) {
    while (act_ < route_.acts.size() && route_.acts[act_].goals.empty()) ++act_;
}

// ---- The route --------------------------------------------------------------------------------

const Goal* CPlayBot::Current() const {
    if (!aside_.empty()) return &aside_.front();
    if (act_ >= route_.acts.size()) return nullptr;
    return &route_.acts[act_].goals[goal_];
}

bool CPlayBot::AtEnd() const {
    const Goal* g = Current();
    return aside_.empty() && g && g->kind == GOAL_END;
}

bool CPlayBot::TakeRestart() {
    const bool r = restart_;
    restart_ = false;
    return r;
}

std::string CPlayBot::Where() const {
    char buf[512];
    const Goal* g = Current();
    const Tile h = hero_tile();
    if (!g) {
        snprintf(buf, sizeof buf, "after the last goal, on %s at tile (%d, %d)", map.name.c_str(), h.c, h.r);
        return buf;
    }
    const Goal& r = route_.acts[act_].goals[goal_];
    snprintf(buf, sizeof buf, "act %zu \"%s\", goal \"%s\" (route line %d)%s%s, on %s at tile (%d, %d) (pixel %u, %u)",
             act_ + 1, route_.acts[act_].title.c_str(), r.text.c_str(), r.line, aside_.empty() ? "" : " on the way to ",
             aside_.empty() ? "" : g->text.c_str(), map.name.c_str(), h.c, h.r, player[0].x, player[0].y);
    return buf;
}

void CPlayBot::Stop(const std::string& why) const { throw PlayStop{why}; }

void CPlayBot::ReportAct(size_t act) const {
    printf("act %zu %-44s Arven level %d, hp %d/%d", act + 1, ("\"" + route_.acts[act].title + "\"").c_str(),
           player[0].level, player[0].hp, player[0].max_hp);
    if (quest.flags & QF_COMPANION)
        printf("; Miresa level %d, hp %d/%d", player[1].level, player[1].hp, player[1].max_hp);
    printf("; gold %d; %lld ticks\n", player[0].gold, host_.Ticks());
    if (options_.verbose)
        for (int m = 0; m < 2; ++m) {
            printf("   %s carries:", player[m].name.c_str());
            for (const CInv& slot : player[m].inv)
                if (slot.id) printf(" %s%s", player[0].items[slot.id - 1].name.c_str(), slot.equipped ? "*" : "");
            printf("\n");
        }
    fflush(stdout);
}

void CPlayBot::Done() {
    const Goal* g = Current();
    if (!g) return;
    if (options_.verbose) printf("   done: %s\n", g->text.c_str());
    if (!aside_.empty()) {
        aside_.pop_front();
        if (!aside_.empty()) {
            BeginGoal();
            return;
        }
        // Back to the route's goal where it was left, to be taken up afresh at its place.
        gs_ = held_;
        gs_.acted = gs_.spoke = gs_.shopped = false;
        gs_.presses = 0;
        pilot_ = Pilot();
        if (options_.verbose) printf("goal (again): %s\n", Current()->text.c_str());
        return;
    }
    Advance(true);
}

void CPlayBot::MakeRoom(const std::string& find, bool pick_up) {
    // Outside a battle a potion cannot be drunk: one goes, and the find comes into the pack.
    if (count_in_pack(player[0], HEALING_POTION) == 0) Stop("the pack is full: no room for " + find);
    if (options_.verbose) printf("   (the pack is full: a potion makes room for %s)\n", find.c_str());
    Goal drop;
    drop.kind = GOAL_DROP;
    drop.name = player[0].items[HEALING_POTION - 1].name;
    drop.text = "drop " + drop.name + " (to make room for " + find + ")";
    std::deque<Goal> goals{drop};
    if (!pick_up) {
        // Not where the use key will be pressed next: it would pick the potion up again.
        const PlanMap here = plan_of_current_map();
        const WalkRules rules = walk_rules(here, true);
        const Tile h = walk_tile();
        for (const Tile n : neighbours(h)) {
            if (here.Wall(n) || rules.closed.count(n) || here.EventAt(n, ~0) >= 0) continue;
            Goal aside;
            aside.kind = GOAL_GO;
            aside.map = map.name;
            aside.col = n.c;
            aside.row = n.r;
            aside.text = "go a step aside";
            goals.push_front(aside);
            break;
        }
    } else {
        Goal pick;
        pick.kind = GOAL_PICKUP;
        pick.map = map.name;
        pick.col = (int)(player[0].x / CELL);
        pick.row = (int)(player[0].y / CELL);
        for (size_t i = 0; i < map.events.size() && i < map.num_events; ++i)
            if ((map.events[i].type & EV_OBJECT) && player[0].items[HEALING_POTION - 1].name != find &&
                map.events[i].quest > 0 && map.events[i].quest <= MAX_ITEMS && player[0].items[map.events[i].quest - 1].name == find) {
                pick.col = map.events[i].x;
                pick.row = map.events[i].y;
            }
        pick.text = "pickup " + find;
        goals.push_back(pick);
    }
    if (aside_.empty()) held_ = gs_;
    aside_ = goals;
    BeginGoal();
}

void CPlayBot::Advance(bool report) {
    ++goal_;
    if (goal_ >= route_.acts[act_].goals.size()) {
        if (report) ReportAct(act_);
        ++act_;
        goal_ = 0;
        while (act_ < route_.acts.size() && route_.acts[act_].goals.empty()) ++act_;
    }
    BeginGoal();
}

void CPlayBot::BeginGoal() {
    gs_ = GoalState();
    gs_.start_tick = host_.Ticks();
    pilot_ = Pilot();
    const Goal* g = Current();
    if (!g) return;
    if (options_.verbose) printf("goal: %s (line %d)\n", g->text.c_str(), g->line);
    // What the pack held as the goal began: buying, giving and dropping count from it.
    const CPlayer& p = player[g->kind == GOAL_BUY ? (App.selected_pc == 1 ? 1 : 0) : is_menu_goal(g) ? menu_member(*g) : 0];
    for (const CInv& s : p.inv)
        if (s.id > 0 && s.id < 64) ++gs_.counts[s.id];
}

void CPlayBot::Resume(bool loaded) {
    // A loaded game stands where the last save was made: the goals after it are played again.
    act_ = loaded ? save_act_ : 0;
    goal_ = loaded ? save_goal_ : 0;
    aside_.clear();
    while (act_ < route_.acts.size() && route_.acts[act_].goals.empty()) ++act_;
    if (loaded) {
        // The goal of the save is done (its act reported already, if it ended one): on to the next.
        Advance(false);
        // The restart that followed the save has been made.
        if (const Goal* g = Current(); g && g->kind == GOAL_RESTART) Done();
    } else {
        BeginGoal();
    }
}

// ---- Keys -------------------------------------------------------------------------------------

bool CPlayBot::Tap(int key) {
    // Every key comes up between two presses, so a fresh-press counter sees each one.
    if (host_.AnyDown()) {
        Release();
        return false;
    }
    host_.Hold({key});
    return true;
}

void CPlayBot::HoldOnly(int key) { host_.Hold({key}); }

void CPlayBot::Release() { host_.Hold({}); }

// ---- Screens ----------------------------------------------------------------------------------

void CPlayBot::Decide() {
    const CScreen* s = resting_screen();
    if (host_.ReadingKey() || !s) {
        Tap(GK_SPACE);  // a picture waiting for any key
        return;
    }
    const ScreenView v = s->View();
    Observe(v);
    switch (v.kind) {
    case SK_FIELD: Field(); break;
    case SK_WAIT_KEY: WaitKey(v); break;
    case SK_WAIT_ANY_KEY: Tap(GK_SPACE); break;
    case SK_YES_NO: {
        const Goal* g = Current();
        ::Answer want = ANSWER_NO;  // a question the route did not bring up is declined
        if (g && gs_.acted) want = g->kind == GOAL_REST ? ANSWER_YES : g->answer == ANSWER_NONE ? ANSWER_NO : g->answer;
        TwoEntries(v, want == ANSWER_YES ? 0 : 1);
        break;
    }
    case SK_CLERIC: {
        const Goal* g = Current();
        TwoEntries(v, g && g->kind == GOAL_SAVE && gs_.acted ? 1 : 0);
        break;
    }
    case SK_TRAINER: Trainer(v); break;
    case SK_STATUS_MENU: StatusMenu(v); break;
    case SK_SHOP: Shop(v); break;
    case SK_PURCHASE: Purchase(v); break;
    case SK_BATTLE: BattleTurn(); break;
    case SK_BATTLE_MENU: BattleMenu(v); break;
    case SK_ATTACK_CURSOR: AttackCursor(v); break;
    case SK_BATTLE_VIEW: Tap(GK_ALT); break;
    case SK_START_MENU: StartMenu(v); break;
    case SK_SCENE:
    case SK_OTHER: Release(); break;
    }
}

void CPlayBot::Observe(const ScreenView& v) {
    if (games_begun != games_seen_) {
        const bool first = games_seen_ == 0 && !began_;
        games_seen_ = games_begun;
        began_ = true;
        if (!first) {
            const bool loaded = chose_load_;
            chose_load_ = false;
            if (!restart_ && !gs_.restarting && ++deaths_ > MAX_DEATHS)
                Stop("the party fell " + std::to_string(deaths_) + " times");
            if (!loaded && has_save_) Stop("a new game began instead of loading the last save");
            printf("   %s; going on from the goal after the last save\n",
                   gs_.restarting ? "the saved game was loaded again" : "the party fell and the last save was loaded");
            Resume(loaded);
        }
    }
    const Goal* g = Current();
    if (!g) return;
    if (options_.goal_ticks > 0 && host_.Ticks() - gs_.start_tick > options_.goal_ticks)
        Stop("the goal took more than " + std::to_string(options_.goal_ticks) + " ticks");
    // A step goal is over once its tile has set something off: a box, a scene, a battle, another map.
    if (g->kind == GOAL_STEP) {
        const bool on_map = map_key(map.name) == map_key(g->map);
        if (on_map && hero_touches({g->col, g->row})) gs_.touched = true;
        if (gs_.touched && (v.kind != SK_FIELD || !on_map)) Done();
    }
}

void CPlayBot::WaitKey(const ScreenView& v) { Tap(v.key >= 0 ? v.key : GK_SPACE); }

void CPlayBot::TwoEntries(const ScreenView& v, int want) {
    if (v.cursor < want)
        Tap(GK_DOWN);
    else if (v.cursor > want)
        Tap(GK_UP);
    else
        Tap(GK_SPACE);
}

int CPlayBot::Answer(const std::string& line1) {
    if (line1 == "Are you sure you want to quit?") {
        quit_asked_ = true;
        if (gs_.restarting) {
            restart_ = true;
            return 2;
        }
        return 1;
    }
    return 1;
}

void CPlayBot::Heard(const std::string& from, const std::string& msg) {
    if (options_.verbose) printf("   [%s] %s\n", from.c_str(), msg.c_str());
    if (gs_.acted) gs_.spoke = true;
    if (starts_with(msg, "You WON!")) gs_.won = true;
    if (msg == "You successfully saved!") {
        gs_.saved = true;
        has_save_ = true;
        save_act_ = act_;
        save_goal_ = goal_;
    }
    if (starts_with(msg, "You find ")) {
        // The chest's find is picked up and then the game is saved.
        gs_.found = true;
        has_save_ = true;
        save_act_ = act_;
        save_goal_ = goal_;
    }
    if (starts_with(msg, "You gained a level!")) {
        // Train again, until the trainer refuses.
        gs_.acted = gs_.spoke = false;
        gs_.presses = 0;
    }
    if (msg == "You don't have enough experience to level yet!") gs_.refused = true;
    if (msg == "You don't have any room in your inventory!" && gs_.asking != HEALING_POTION && gs_.asking > 0) {
        // A piece of gear is worth more than a potion: make room and come back to the shop.
        MakeRoom(player[0].items[gs_.asking - 1].name, false);
    } else if (msg == "Hey, you can't afford that!" || msg == "You don't have any room in your inventory!") {
        if (options_.verbose) printf("   (gave up buying item %d)\n", gs_.asking);
        gs_.given_up.insert(gs_.asking);
    }
    if (msg == "Not enough room!") {
        // A potion too many is left where it lies, as a player with a full pack would; anything
        // else the route should have made room for.
        int lying = 0;
        const Goal* g = Current();
        const CellSpan s = cells_under(player[0].x, player[0].y);
        for (size_t i = 0; i < map.events.size() && i < map.num_events; ++i) {
            const CEvent& e = map.events[i];
            if ((e.type & EV_OBJECT) && e.x >= s.c0 && e.x <= s.c1 && e.y >= s.r0 && e.y <= s.r1) lying = e.quest;
        }
        const std::string found = lying > 0 && lying <= MAX_ITEMS ? player[0].items[lying - 1].name : "a find";
        if (!g || (g->kind != GOAL_CHEST && g->kind != GOAL_PICKUP)) Stop("the pack is full: " + found + " stays on the ground");
        if (lying == HEALING_POTION) {
            if (options_.verbose) printf("   (the pack is full: a potion stays on the ground)\n");
            gs_.left_behind = true;
        } else {
            MakeRoom(found, true);
        }
    }
    if (starts_with(msg, "After a good nights sleep") || msg == "You don't have enough money to stay here!")
        gs_.rested = true;
}

void CPlayBot::StartMenu(const ScreenView& v) {
    // A run begins a new game; later (after a fall or a restart) the saved game is loaded.
    const int want = began_ && has_save_ ? 1 : 0;
    if (v.cursor != want) {
        TwoEntries(v, want);
        return;
    }
    if (Tap(GK_SPACE) && want == 1) chose_load_ = true;
}

void CPlayBot::Trainer(const ScreenView& v) {
    const Goal* g = Current();
    if (!g || g->kind != GOAL_TRAIN || !gs_.acted) {
        TwoEntries(v, 0);
        return;
    }
    if (v.page != g->member) {
        if (!(quest.flags & QF_COMPANION)) Stop("the companion is not with the party to train");
        Tap(GK_RIGHT);
        return;
    }
    TwoEntries(v, 1);
}

void CPlayBot::Shop(const ScreenView& v) {
    const Goal* g = Current();
    int want = 5;  // "Exit"
    if (g && g->kind == GOAL_BUY && gs_.acted) {
        gs_.shopped = true;
        if (const int id = WantedItem()) {
            const CPlayer& shopper = player[App.selected_pc == 1 ? 1 : 0];
            want = -1;
            for (int k = 0; k < SHOP_ITEMS; ++k)
                if (shopper.shop.stock[g->shop][k] == id) want = k;
            if (want < 0) Stop("shop " + std::to_string(g->shop) + " does not sell item " + std::to_string(id));
            gs_.asking = id;
        }
    }
    TwoEntries(v, want);
}

void CPlayBot::Purchase(const ScreenView& v) {
    const Goal* g = Current();
    TwoEntries(v, g && g->kind == GOAL_BUY && WantedItem() == gs_.asking ? 0 : 1);
}

int CPlayBot::ItemId(const std::string& name) const {
    for (const CInv& it : player[0].items)
        if (it.id > 0 && it.name == name) return it.id;
    Stop("no item is called " + name);
}

int CPlayBot::WantedItem() const {
    const Goal* g = Current();
    if (!g || g->kind != GOAL_BUY) return 0;
    const CPlayer& shopper = player[App.selected_pc == 1 ? 1 : 0];
    int now[64] = {}, wanted[64] = {};
    for (const CInv& s : shopper.inv)
        if (s.id > 0 && s.id < 64) ++now[s.id];
    for (const std::string& name : g->items) {
        const int id = ItemId(name);
        if (id >= 64) continue;
        ++wanted[id];
        if (!gs_.given_up.count(id) && now[id] - gs_.counts[id] < wanted[id]) return id;
    }
    return 0;
}

// ---- The status menu: wearing and giving ------------------------------------------------------

bool CPlayBot::MenuGoalDone(const Goal& g) const {
    const int id = ItemId(g.name);
    const CPlayer& p = player[menu_member(g)];
    if (g.kind == GOAL_WEAR) {
        for (const CInv& s : p.inv)
            if (s.id == id && s.equipped) return true;
        return false;
    }
    // Given or dropped: one fewer than the goal began with.
    return count_in_pack(p, id) < gs_.counts[id];
}

void CPlayBot::MenuGoal(const Goal& g) {
    if (MenuGoalDone(g) && App.selected_pc == 0) {
        Done();
        Release();
        return;
    }
    if (!MenuGoalDone(g)) {
        const int who = menu_member(g);
        if (count_in_pack(player[who], ItemId(g.name)) == 0) Stop(player[who].name + " does not carry " + g.name);
        if ((who == 1 || g.kind == GOAL_GIVE) && !(quest.flags & QF_COMPANION)) Stop("the companion is not with the party");
    }
    Tap(GK_LCONTROL);
}

void CPlayBot::StatusMenu(const ScreenView& v) {
    const Goal* g = Current();
    const bool need = is_menu_goal(g) && !MenuGoalDone(*g);
    const int who = need ? menu_member(*g) : 0;
    auto choose = [&](int entry) {
        if (v.cursor < entry)
            Tap(GK_DOWN);
        else if (v.cursor > entry)
            Tap(GK_UP);
        else
            Tap(GK_LCONTROL);
    };
    switch (v.page) {
    case 0:
        if (App.selected_pc != who)
            choose(1);  // the other member
        else if (need)
            choose(0);  // the inventory
        else
            Tap(GK_ALT);
        return;
    case 1: {
        if (!need) {
            Tap(GK_ALT);
            return;
        }
        const int id = ItemId(g->name);
        int slot = -1;
        // A piece not worn first: the one worn stays on.
        for (int i = 0; i < INV_SLOTS && slot < 0; ++i)
            if (player[who].inv[i].id == id && !player[who].inv[i].equipped) slot = i;
        for (int i = 0; i < INV_SLOTS && slot < 0 && g->kind != GOAL_WEAR; ++i)
            if (player[who].inv[i].id == id) slot = i;
        if (slot < 0) Stop(player[who].name + " does not carry " + g->name);
        choose(slot);
        return;
    }
    default:
        if (!need)
            Tap(GK_ALT);  // back to the list
        else
            choose(g->kind == GOAL_WEAR ? 0 : g->kind == GOAL_GIVE ? 1 : 2);  // "Wear", "Give to Other PC", "Drop"
        return;
    }
}

// ---- Battles ----------------------------------------------------------------------------------

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

// ---- The field --------------------------------------------------------------------------------

const PlanMap* CPlayBot::PlanFor(const std::string& map_name) {
    static PlanMap live;
    if (map_key(map_name) == map_key(map.name)) {
        live = plan_of_current_map();
        return &live;
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
