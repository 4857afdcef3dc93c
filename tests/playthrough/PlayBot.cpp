// The automated player: the route's goal in hand, what each screen asks of it, what the boxes say.
#include "PlayBot.h"

#include <cstdio>

#include "CBattle.h"
#include "CCine.h"
#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "Grid.h"
#include "PlaySight.h"
#include "Timing.h"

namespace {

// Deaths the run survives (each one loads the last save) before it gives up.
constexpr int MAX_DEATHS = 6;

bool starts_with(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

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
    if (!g || act_ >= route_.acts.size()) {
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
    if (companion_joined())
        printf("; Miresa level %d, hp %d/%d", player[1].level, player[1].hp, player[1].max_hp);
    printf("; gold %d; %lld ticks\n", player[0].gold, host_.Ticks());
    if (options_.verbose)
        for (int m = 0; m < 2; ++m) {
            printf("   %s carries:", player[m].name.c_str());
            for (const CInv& slot : player[m].inv)
                if (slot.id > 0 && slot.id <= MAX_ITEMS)
                    printf(" %s%s", player[0].items[slot.id - 1].name.c_str(), slot.equipped ? "*" : "");
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
    if (!options_.pictures.empty()) Picture(v);
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

void CPlayBot::Picture(const ScreenView& v) {
    static const char* const KIND_NAMES[] = {"other",  "field",       "box",         "picture",     "yes-no",
                                             "cleric", "trainer",     "status",      "shop",        "purchase",
                                             "battle", "battle-menu", "attack",      "battle-view", "start-menu",
                                             "scene"};
    static_assert(sizeof KIND_NAMES / sizeof KIND_NAMES[0] == SK_SCENE + 1, "a name for every screen kind");
    if (!screen || !pictured_.insert({act_, (int)v.kind}).second) return;
    const std::string file = options_.pictures + "/act" + std::to_string(act_ + 1) + "-" + KIND_NAMES[v.kind] + ".bmp";
    if (save_bitmap(file.c_str(), screen, nullptr) != 0) fprintf(stderr, "playthrough: could not write %s\n", file.c_str());
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
    const bool no_room = msg == "You don't have any room in your inventory!";
    const bool no_gold = msg == "Hey, you can't afford that!";
    if (no_room && gs_.asking != HEALING_POTION && gs_.asking > 0) {
        // A piece of gear is worth more than a potion: make room and come back to the shop.
        MakeRoom(player[0].items[gs_.asking - 1].name, false);
    } else if (no_room || no_gold) {
        // Not fatal: an extra night at an inn costs gold, a potion left over takes the room. Gold
        // that falls short is told always, so a route that buys beyond the purse shows in the output.
        if (options_.verbose || no_gold) printf("   the shop refused item %d: %s\n", gs_.asking, msg.c_str());
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
        if (!companion_joined()) Stop("the companion is not with the party to train");
        Tap(GK_RIGHT);
        return;
    }
    TwoEntries(v, 1);
}

void CPlayBot::Shop(const ScreenView& v) {
    const Goal* g = Current();
    int want = 5;  // "Exit"
    if (g && g->kind == GOAL_BUY && gs_.acted) {
        if (g->shop >= MAX_SHOPS) Stop("there is no shop " + std::to_string(g->shop));
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
        if ((who == 1 || g.kind == GOAL_GIVE) && !companion_joined()) Stop("the companion is not with the party");
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

