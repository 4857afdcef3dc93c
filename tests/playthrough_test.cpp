// The automated player's parts the whole playthrough never tries: the route file, the shipped route
// against the built maps, walks and journeys, battle turns, its host, and a full pack on a small field.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Atlas.h"
#include "BotHost.h"
#include "CMain.h"
#include "CMap.h"
#include "DataFiles.h"
#include "MapBuild.h"
#include "PeopleRig.h"
#include "PlayBot.h"
#include "PlaySight.h"
#include "Route.h"
#include "Tactics.h"
#include "TempDir.h"
#include "TextLists.h"
#include "Timing.h"

#ifndef RPG_DATA_DIR
#define RPG_DATA_DIR "./data"
#endif
#ifndef RPG_ROUTE_FILE
#define RPG_ROUTE_FILE "content/route.txt"
#endif

namespace {

// Forms the shipped route never uses (the playthrough reads the rest): a "no", a trainee left out.
TEST(PlayRoute, ReadsANoAndTheHeroAsTheTraineeLeftOut) {
    Route r;
    std::string error;
    ASSERT_TRUE(parse_route("act A\nuse ruins.map 16 42 no\ntrain orcvillage.MAP\n", r, error)) << error;
    ASSERT_EQ(r.acts.at(0).goals.size(), 2u);
    const Goal& g = r.acts[0].goals[0];
    EXPECT_EQ(std::tie(g.kind, g.col, g.row, g.answer), std::make_tuple(GOAL_USE, 16, 42, ANSWER_NO));
    EXPECT_EQ(r.acts[0].goals[1].member, 0);
}

TEST(PlayRoute, NamesTheLineAndTheProblem) {
    const struct { const char* text; const char* error; } cases[] = {
        {"go a.map 1 1\n", "line 1: a goal before the first act"},
        {"act A\nfly a.map 1 1\n", "line 2: unknown goal 'fly'"},
        {"act A\ngo a.map 3\n", "line 2: 'go' needs a map, a column and a row"},
        {"act A\n\ngo a.map x 4\n", "line 3: 'x 4' is not a tile"},
        {"act A\ngo a.map 1 2 3\n", "line 2: unexpected '3'"},
        {"act A\ntalk a.map\n", "line 2: 'talk' needs a map and a person"},
        {"act A\ntalk a.map Bob maybe\n", "line 2: unexpected 'maybe'"},
        {"act A\nbuy a.map -1 Potion\n", "line 2: '-1' is not a shop number"},
        {"act A\ntrain a.map dog\n", "line 2: 'dog' is neither hero nor companion"},
        {"act A\nrestart now\n", "line 2: 'restart' takes nothing more"},
        {"act A\ntalk a.map \"Bob\n", "line 2: a quote is not closed"},
        {"act\n", "line 1: an act needs a title"},
    };
    for (const auto& c : cases) {
        Route r;
        std::string error;
        EXPECT_FALSE(parse_route(c.text, r, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

// The shipped route is in step with the built maps and lists: every place it names is there, so a
// map changed without its route fails here, long before the playthrough would get there.
TEST(ContentRoute, EveryPlaceTheRouteNamesIsThere) {
    const std::string data = std::string(RPG_DATA_DIR) + "/";
    Route route;
    std::string error;
    ASSERT_TRUE(read_route(RPG_ROUTE_FILE, route, error)) << error;
    std::string npcs, equip, shops;
    ASSERT_TRUE(read_text_file(data + "npcs.txt", npcs) && read_text_file(data + "equip.txt", equip) &&
                read_text_file(data + "shops.txt", shops));
    std::vector<CNpcInfo> people;
    CInv items[MAX_ITEMS];
    int item_count = 0, stock[MAX_SHOPS][SHOP_ITEMS] = {}, read = 0;
    ASSERT_TRUE(parse_npc_list(npcs, people).ok() && parse_equip_list(equip, items, item_count).ok() &&
                parse_shop_list(shops, stock, read).ok());
    auto item_id = [&](const std::string& name) {
        const CInv* it = std::find_if(items, items + item_count, [&](const CInv& i) { return i.name == name; });
        return it == items + item_count ? 0 : it->id;
    };

    CAtlas atlas(data);
    ASSERT_FALSE(route.acts.empty());
    EXPECT_EQ(route.acts.back().goals.back().kind, GOAL_END);
    for (const Act& act : route.acts)
        for (const Goal& g : act.goals) {
            SCOPED_TRACE("route line " + std::to_string(g.line) + ": " + g.text);
            for (const std::string& name : g.items) EXPECT_NE(item_id(name), 0) << name;
            EXPECT_TRUE(!is_menu_goal(&g) || item_id(g.name) != 0) << g.name;
            if (g.map.empty()) continue;
            const PlanMap* m = atlas.File(g.map);
            ASSERT_NE(m, nullptr) << "no map " << g.map;
            const Tile t{g.col, g.row};
            EXPECT_TRUE(g.col < 0 || m->OnMap(t)) << "the tile lies off the map";
            auto has_event = [&](int bits, int quest) {
                return std::any_of(m->events.begin(), m->events.end(),
                                   [&](const CEvent& e) { return (e.type & bits) && (quest < 0 || e.quest == quest); });
            };
            switch (g.kind) {
            case GOAL_CHEST: EXPECT_GE(m->EventAt(t, EV_CHEST), 0) << "no chest there"; break;
            case GOAL_USE: EXPECT_GE(m->EventAt(t, ~EV_STEP_MESSAGE), 0) << "nothing there to use"; break;
            case GOAL_BATTLE: {
                const int p = m->PortalAt(t);
                ASSERT_GE(p, 0) << "no portal there";
                const PlanMap* b = atlas.File(m->portals[(size_t)p].dest_map);
                EXPECT_TRUE(b && b->battle) << "the portal leads to no battle";
                break;
            }
            case GOAL_STEP: EXPECT_TRUE(m->PortalAt(t) >= 0 || m->EventAt(t, EV_STEP_MESSAGE) >= 0) << "nothing to step on"; break;
            case GOAL_GO: EXPECT_FALSE(m->Wall(t)); break;
            case GOAL_REST: EXPECT_TRUE(has_event(EV_INN, -1)) << "no inn"; break;
            case GOAL_SAVE: EXPECT_TRUE(has_event(EV_SAVE, -1)) << "no cleric"; break;
            case GOAL_TRAIN: EXPECT_TRUE(has_event(EV_TRAINER, -1)) << "no trainer"; break;
            case GOAL_BUY:
                EXPECT_TRUE(has_event(EV_SHOP, g.shop)) << "no shop " << g.shop;
                for (const std::string& name : g.items)
                    EXPECT_TRUE(g.shop < MAX_SHOPS && std::count(stock[g.shop], stock[g.shop] + SHOP_ITEMS, item_id(name)))
                        << name << " is not sold there";
                break;
            case GOAL_TALK:
                EXPECT_TRUE(std::any_of(m->npcs.begin(), m->npcs.end(), [&](const CNpc& n) {
                    return n.id >= 1 && (size_t)n.id <= people.size() && people[(size_t)n.id - 1].name == g.name;
                })) << g.name << " is not on " << g.map;
                break;
            default: break;
            }
        }
}


// A plan map "home.map" of rows of tiles, '#' a wall.
PlanMap plan(const std::vector<std::string>& rows) {
    PlanMap m;
    m.name = "home.map", m.height = (int)rows.size(), m.width = (int)rows[0].size();
    for (const std::string& row : rows)
        for (char ch : row) m.blocked.push_back(ch == '#');
    return m;
}

CPortal portal(Tile at, const std::string& dest) {
    CPortal p;
    p.x = at.c * CELL, p.y = at.r * CELL, p.dest_map = "./data/" + dest, p.dest_x = p.dest_y = CELL;
    return p;
}

TEST(PlayWalk, GoesRoundWallsAndPeopleAndAvoidsCostlyTiles) {
    const PlanMap m = plan({"......", ".####.", "......"});
    const struct { const char* what; std::set<Tile> closed, costly; size_t steps; } cases[] = {  // steps 0: no way
        {"round the wall", {}, {}, 4},
        {"the short way shut: the long way", {{0, 1}}, {}, 10},
        {"both ways shut", {{0, 1}, {5, 1}}, {}, 0},
        {"a step-on tile is dearer than six more steps", {}, {{0, 1}}, 10},
        {"but taken when it is the only way", {{5, 1}}, {{0, 1}}, 4},
    };
    for (const auto& c : cases) {
        const std::vector<Tile> path = find_path(m, {1, 0}, {{1, 2}}, WalkRules{c.closed, c.costly});
        EXPECT_EQ(path.empty() ? 0 : path.size() - 1, c.steps) << c.what;
        EXPECT_TRUE(path.empty() || (path.front() == Tile{1, 0} && path.back() == Tile{1, 2})) << c.what;
    }
}

// From (0, 1) of a 5 x 3 home map towards (3, 1) of town.map, by portals to town, battle.map (a
// battle) and scene.map (plays scene 4 on entry); a portal on each leads on to town.
TEST(PlayJourney, TakesTheWayPastShutPortalsBattlesAndUnseenScenes) {
    TempDir dir;
    for (const char* name : {"town.map", "battle.map", "scene.map"}) {
        CMap m;
        make_map(m, 5, 3, false);
        m.battle = name[0] == 'b';
        m.cine = name[0] == 's' ? 4 : 0;
        m.portals = {portal({2, 1}, "town.map")}, m.num_portals = 1;
        ASSERT_EQ(m.SaveMap(dir.path(name)), 0);
    }
    CAtlas atlas{dir.path("") + "/"};
    const std::vector<std::string> open = {".....", ".....", "....."}, walled = {".#...", ".....", ".#..."};
    const std::string shut = portal_key("home.map", {4, 1});
    const struct { const char* what; std::vector<std::string> rows; std::vector<std::pair<Tile, const char*>> portals;
                   JourneyRules rules; int portal; } cases[] = {  // the portal taken first, -1 for no way
        {"no battle, no unseen scene", open, {{{1, 0}, "battle"}, {{1, 2}, "scene"}, {{4, 1}, "town"}}, {}, 2},
        {"a shut portal", open, {{{4, 1}, "town"}}, {{shut}, {}, {}}, -1},
        {"another way round it", open, {{{4, 1}, "town"}, {{4, 0}, "town"}}, {{shut}, {}, {}}, 1},
        {"a battle in the only way", walled, {{{1, 1}, "battle"}, {{3, 1}, "town"}}, {}, -1},
        {"never through a battle", walled, {{{0, 2}, "battle"}}, {}, -1},
        {"over a won battle's portal", walled, {{{1, 1}, "battle"}, {{3, 1}, "town"}}, {{}, {}, {"battle.map"}}, 1},
        {"an unseen scene in the only way", walled, {{{0, 2}, "scene"}}, {}, -1},
        {"through a scene seen", walled, {{{0, 2}, "scene"}}, {{}, {4}, {}}, 0},
    };
    for (const auto& c : cases) {
        PlanMap home = plan(c.rows);
        for (const auto& [at, dest] : c.portals) home.portals.push_back(portal(at, std::string(dest) + ".map"));
        Leg leg;
        EXPECT_EQ(plan_journey(atlas, home, {0, 1}, "town.map", {{3, 1}}, c.rules, leg) ? leg.portal : -1, c.portal) << c.what;
        EXPECT_TRUE(c.portal < 0 || (!leg.path.empty() && leg.path.back() == c.portals[(size_t)c.portal].first)) << c.what;
    }
}


// A potion when the two hardest blows to come (those the armour does not turn away) could fell the
// member; else the weakest foe in reach (round the ally), else as near the nearest as the range allows.
TEST(PlayTactics, DrinksStrikesTheWeakestInReachOrAdvances) {
    const std::vector<Foe> three = {{{6, 2}, 5, 6, 1}, {{7, 1}, 5, 4, 1}, {{7, 3}, 5, 9, 2}};  // 15 to come
    // end: where the walk ends ({0, 0}: anywhere); target: the foe struck
    const struct { std::vector<Foe> foes; int hp, potions; bool ally; TurnAct act; Tile end, target; size_t walk; } cases[] = {
        {three, 15, 1, false, TURN_DRINK, {1, 2}, {}, 0},
        {three, 16, 1, false, TURN_ADVANCE, {4, 2}, {}, 3},
        {three, 15, 0, false, TURN_ADVANCE, {4, 2}, {}, 3},
        {three, 20, 3, false, TURN_ADVANCE, {4, 2}, {}, 3},
        {{{{3, 2}, 9, 1, 1}, {{4, 1}, 2, 1, 1}}, 20, 0, false, TURN_ATTACK, {3, 1}, {4, 1}, 3},
        {{{{7, 2}, 2, 1, 1}}, 20, 0, false, TURN_ADVANCE, {4, 2}, {}, 3},
        {{{{3, 2}, 2, 1, 1}}, 20, 0, true, TURN_ATTACK, {}, {3, 2}, 3},  // round the ally on (2, 2), above or below
    };
    for (const auto& c : cases) {
        Board b;  // 9 x 5, walls round it, the member on (1, 2) with every inner tile within three in range
        b.width = 9, b.height = 5, b.me = {1, 2}, b.max_hp = 20, b.armour = 5, b.ally = {2, 2};
        for (int i = 0; i < 45; ++i) {
            const int col = i % 9, row = i / 9;
            b.walls.push_back(row == 0 || col == 0 || row == 4 || col == 8);
            b.range.push_back(std::abs(col - 1) <= 3 && std::abs(row - 2) <= 3);
        }
        b.foes = c.foes, b.hp = c.hp, b.potions = c.potions, b.ally_on_field = c.ally;
        const TurnPlan p = plan_turn(b);
        ASSERT_FALSE(p.path.empty());
        EXPECT_EQ(p.act, c.act) << &c - cases;
        EXPECT_TRUE((c.end == Tile{} || p.path.back() == c.end) && (c.act != TURN_ATTACK || p.target == c.target)) << &c - cases;
        EXPECT_EQ(p.path.size() - 1, c.walk) << &c - cases;
    }
}

struct Mind : CPlayerMind {
    CBotHost* host;
    explicit Mind(CBotHost& h) : host(&h) { h.SetMind(this); }
    void Decide() override { host->Hold({GK_UP}); }
    int Answer(const std::string&) override { return 2; }
};

// Keys held through a map change are lifted for a tick; thrown-away ticks are seen; a message box
// or the game's exit stops the run, and so does the end of its ticks.
TEST(PlayHost, KeysClockAndTheEndOfTheGame) {
    CBotHost h(5);
    Mind mind(h);
    speed_counter = 0;
    h.Idle();
    EXPECT_TRUE(h.KeyDown(GK_UP) && h.LastTickRan());
    speed_counter = -3;  // a loop threw piled-up ticks away
    h.Idle();
    EXPECT_FALSE(h.LastTickRan());
    h.ForgetKeys();
    EXPECT_FALSE(h.KeyDown(GK_UP));
    h.Idle();
    EXPECT_FALSE(h.KeyDown(GK_UP));
    h.Idle();
    EXPECT_TRUE(h.KeyDown(GK_UP));
    EXPECT_EQ(h.Alert("Are you sure you want to quit?", "", "", "NO", "YES"), 2);
    EXPECT_THROW(h.Message("Error: ..."), PlayStop);
    EXPECT_THROW(h.Exit(0), GameExit);
    h.Idle();
    EXPECT_THROW(h.Idle(), PlayStop);  // the run's ticks are used up
    speed_counter = 0;
}


// A 12 x 8 field with a chest (a sword) at (6, 1), the hero at (1, 1) with a pack full of potions:
// the player runs the field loop along `route`; true when it came to its end goal.
class PlayerOnField : public PeopleRig {
protected:
    TempDir dir{TempDir::AS_GAME_FOLDER};  // the chest saves here

    void SetUp() override {
        PeopleRig::SetUp();
        MakeMap(12, 8);
        AddEvent(6, 1, EV_CHEST, 9);
        Item(4, "Potion", IT_USABLE, 0, 0);
        Item(9, "Sword", IT_WEAPON, 2, 0);
        player[0].x = player[0].y = CELL;
        for (CInv& slot : player[0].inv) slot.id = HEALING_POTION;
    }
    bool Play(const std::string& text) {
        Route route;
        std::string error;
        EXPECT_TRUE(parse_route(text, route, error)) << error;
        CBotHost bot_host(40000);
        CAtlas atlas("./data/");
        CPlayBot bot(route, bot_host, atlas, PlayOptions());
        bot_host.SetMind(&bot);
        host = &bot_host;
        static CPlayBot* listening;
        listening = &bot;
        talk_watch = [](const std::string& f, const std::string& m) { listening->Heard(f, m); };
        games_begun = 1;  // a game is under way
        std::string why;
        try {
            FieldLoop();
        } catch (const PlayStop& s) {
            why = s.reason;
        }
        host = &script;
        talk_watch = nullptr;
        return bot.AtEnd() && why == "the story should have ended by now";
    }
};

// A find worth more than a potion makes one go: dropped beside the chest, never where the use key
// picks it up again; at a shop, a step away from the counter, or the press that opens it would.
TEST_F(PlayerOnField, AFullPackDropsAPotionForTheFindOrThePurchase) {
    ASSERT_TRUE(Play("act A\nchest test.map 6 1\nend\n"));
    EXPECT_EQ(count_in_pack(player[0], 9), 1);
    EXPECT_EQ(count_in_pack(player[0], HEALING_POTION), 9);
    for (CInv& slot : player[0].inv) slot.id = HEALING_POTION;
    write_file("data/shops.txt", "9 4 0 0 0\n");
    map.tiles[0][4][8].flags |= TF_BLOCKED;  // the counter
    AddEvent(8, 4, EV_SHOP, 0);
    ASSERT_TRUE(Play("act A\nbuy test.map 0 Sword\nend\n"));
    EXPECT_EQ(count_in_pack(player[0], 9), 1);
    EXPECT_EQ(count_in_pack(player[0], HEALING_POTION), 9);
}

// A person pacing a walkway into the only way to the chest, and the hero walking into him: one
// waits for the other until the hero steps aside.
TEST_F(PlayerOnField, StepsAsideForSomeoneWalkingIntoHim) {
    for (int c = 0; c < 12; ++c)
        for (int r : {0, 2}) map.tiles[0][r][c].flags |= c == 4 ? 0 : TF_BLOCKED;  // a corridor along row 1, open at column 4
    for (int c = 2; c < 6; ++c) map.tiles[0][1][c].flags |= TF_WALKWAY;
    PlaceNpc(3 * CELL, CELL, 1).dir = DIR_LEFT;  // towards the hero
    Talker(1, "Bob", "Hello there.");
    player[0].x = 0;
    player[0].inv[0].id = 0;
    ASSERT_TRUE(Play("act A\nchest test.map 6 1\nend\n"));
    EXPECT_EQ(player[0].inv[0].id, 9);
}

}  // namespace
