// The automated player's parts: the route file and the shipped route against the built maps, walks
// and journeys, battle turns, its host's keys and clock, and the player on a small field.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Atlas.h"
#include "BattleRig.h"
#include "BotHost.h"
#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "DataFiles.h"
#include "Grid.h"
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

// ---- The route file ---------------------------------------------------------------------------

Goal only_goal(const std::string& line) {
    Route r;
    std::string error;
    EXPECT_TRUE(parse_route("act A\n" + line + "\n", r, error)) << line << ": " << error;
    if (r.acts.size() != 1 || r.acts[0].goals.size() != 1) return Goal();
    return r.acts[0].goals[0];
}

TEST(PlayRoute, ReadsEachKindOfGoal) {
    Goal g = only_goal("talk duskwing.map \"Wise old man\" yes nopotions  # the spar");
    EXPECT_EQ(g.kind, GOAL_TALK);
    EXPECT_EQ(g.map, "duskwing.map");
    EXPECT_EQ(g.name, "Wise old man");
    EXPECT_EQ(g.answer, ANSWER_YES);
    EXPECT_TRUE(g.no_potions);
    EXPECT_EQ(g.line, 2);

    g = only_goal("use ruins.map 16 42 no");
    EXPECT_EQ(g.kind, GOAL_USE);
    EXPECT_EQ(g.col, 16);
    EXPECT_EQ(g.row, 42);
    EXPECT_EQ(g.answer, ANSWER_NO);

    g = only_goal("buy duskwing.map 0 Leather-Cap Potion Potion");
    EXPECT_EQ(g.shop, 0);
    EXPECT_EQ(g.items, (std::vector<std::string>{"Leather-Cap", "Potion", "Potion"}));

    EXPECT_EQ(only_goal("train orcvillage.MAP companion").member, 1);
    EXPECT_EQ(only_goal("train orcvillage.MAP").member, 0);
    EXPECT_EQ(only_goal("wear Oak-Staff companion").member, 1);
    EXPECT_EQ(only_goal("pickup brightmere_cave.map").col, -1);
    EXPECT_EQ(only_goal("pickup brightmere.map 83 65").row, 65);
    EXPECT_EQ(only_goal("battle worldmap.map 34 36").kind, GOAL_BATTLE);
    EXPECT_EQ(only_goal("end").kind, GOAL_END);
}

TEST(PlayRoute, NamesTheLineAndTheProblem) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
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
    std::string text;
    std::vector<CNpcInfo> people;
    ASSERT_TRUE(read_text_file(data + "npcs.txt", text));
    ASSERT_TRUE(parse_npc_list(text, people).ok());
    CInv items[MAX_ITEMS];
    int item_count = 0;
    ASSERT_TRUE(read_text_file(data + "equip.txt", text));
    ASSERT_TRUE(parse_equip_list(text, items, item_count).ok());
    int stock[MAX_SHOPS][SHOP_ITEMS] = {};
    int read = 0;
    ASSERT_TRUE(read_text_file(data + "shops.txt", text));
    ASSERT_TRUE(parse_shop_list(text, stock, read).ok());
    auto item_id = [&](const std::string& name) {
        for (int i = 0; i < item_count; ++i)
            if (items[i].name == name) return items[i].id;
        return 0;
    };

    CAtlas atlas(data);
    ASSERT_FALSE(route.acts.empty());
    EXPECT_EQ(route.acts.back().goals.back().kind, GOAL_END);
    for (const Act& act : route.acts)
        for (const Goal& g : act.goals) {
            SCOPED_TRACE("route line " + std::to_string(g.line) + ": " + g.text);
            for (const std::string& name : g.items) {
                EXPECT_NE(item_id(name), 0) << name;
            }
            if (g.kind == GOAL_WEAR || g.kind == GOAL_GIVE || g.kind == GOAL_DROP) {
                EXPECT_NE(item_id(g.name), 0);
            }
            if (g.map.empty()) continue;
            const PlanMap* m = atlas.File(g.map);
            ASSERT_NE(m, nullptr) << "no map " << g.map;
            const Tile t{g.col, g.row};
            if (g.col >= 0) {
                EXPECT_TRUE(m->OnMap(t)) << "the tile lies off the map";
            }
            auto has_event = [&](int bits, int quest) {
                for (const CEvent& e : m->events)
                    if ((e.type & bits) && (quest < 0 || e.quest == quest)) return true;
                return false;
            };
            switch (g.kind) {
            case GOAL_CHEST: EXPECT_GE(m->EventAt(t, EV_CHEST), 0) << "no chest there"; break;
            case GOAL_USE: EXPECT_GE(m->EventAt(t, ~EV_STEP_MESSAGE), 0) << "nothing there to use"; break;
            case GOAL_BATTLE: {
                const int p = m->PortalAt(t);
                ASSERT_GE(p, 0) << "no portal there";
                const PlanMap* b = atlas.File(m->portals[(size_t)p].dest_map);
                ASSERT_NE(b, nullptr);
                EXPECT_TRUE(b->battle) << "the portal leads to no battle";
                break;
            }
            case GOAL_STEP: EXPECT_TRUE(m->PortalAt(t) >= 0 || m->EventAt(t, EV_STEP_MESSAGE) >= 0) << "nothing to step on"; break;
            case GOAL_GO: EXPECT_FALSE(m->Wall(t)); break;
            case GOAL_REST: EXPECT_TRUE(has_event(EV_INN, -1)) << "no inn"; break;
            case GOAL_SAVE: EXPECT_TRUE(has_event(EV_SAVE, -1)) << "no cleric"; break;
            case GOAL_TRAIN: EXPECT_TRUE(has_event(EV_TRAINER, -1)) << "no trainer"; break;
            case GOAL_BUY:
                EXPECT_TRUE(has_event(EV_SHOP, g.shop)) << "no shop " << g.shop;
                for (const std::string& name : g.items) {
                    bool sold = false;
                    for (int k = 0; k < SHOP_ITEMS && g.shop < MAX_SHOPS; ++k) sold = sold || stock[g.shop][k] == item_id(name);
                    EXPECT_TRUE(sold) << name << " is not sold there";
                }
                break;
            case GOAL_TALK: {
                bool there = false;
                for (const CNpc& n : m->npcs)
                    there = there || (n.id >= 1 && (size_t)n.id <= people.size() && people[(size_t)n.id - 1].name == g.name);
                EXPECT_TRUE(there) << g.name << " is not on " << g.map;
                break;
            }
            default: break;
            }
        }
}

// ---- Walks and journeys -------------------------------------------------------------------------

// A plan map of w x h open tiles; '#' in `walls` rows marks walls.
PlanMap open_plan(const std::string& name, const std::vector<std::string>& rows) {
    PlanMap m;
    m.name = name;
    m.height = (int)rows.size();
    m.width = (int)rows[0].size();
    for (const std::string& row : rows)
        for (char ch : row) m.blocked.push_back(ch == '#');
    return m;
}

TEST(PlayWalk, GoesRoundWallsAndPeopleAndAvoidsCostlyTiles) {
    const PlanMap m = open_plan("m.map", {"......",
                                          ".####.",
                                          "......"});
    const struct {
        const char* what;
        std::set<Tile> closed, costly;
        size_t steps;  // tiles walked, 0 for no way
    } cases[] = {
        {"round the wall", {}, {}, 4},
        {"the short way shut: the long way", {{0, 1}}, {}, 10},
        {"both ways shut", {{0, 1}, {5, 1}}, {}, 0},
        {"a step-on tile is dearer than six more steps", {}, {{0, 1}}, 10},
        {"but taken when it is the only way", {{5, 1}}, {{0, 1}}, 4},
    };
    for (const auto& c : cases) {
        WalkRules rules;
        rules.closed = c.closed;
        rules.costly = c.costly;
        const std::vector<Tile> path = find_path(m, {1, 0}, {{1, 2}}, rules);
        EXPECT_EQ(path.empty() ? 0 : path.size() - 1, c.steps) << c.what;
        if (!path.empty()) {
            EXPECT_EQ(path.front(), (Tile{1, 0})) << c.what;
            EXPECT_EQ(path.back(), (Tile{1, 2})) << c.what;
        }
    }
}

// Three maps in files: home (the hero's), town (the goal) and a battle map between them.
class PlayJourney : public ::testing::Test {
protected:
    TempDir dir;
    CAtlas atlas{dir.path("") + "/"};
    PlanMap home = open_plan("home.map", {".....", ".....", "....."});

    void SetUp() override {
        // town.map: a goal at (3, 1); battle.map a battle; scene.map plays scene 4 on entry.
        Write("town.map", false, 0);
        Write("battle.map", true, 0);
        Write("scene.map", false, 4);
    }
    void Write(const char* name, bool battle, int cine) {
        CMap m;
        make_map(m, 5, 3, false);
        m.battle = battle;
        m.cine = cine;
        m.name = name;
        ASSERT_EQ(m.SaveMap(dir.path(name)), 0);
    }
    void Portal(int c, int r, const char* dest) {
        CPortal p;
        p.x = c * CELL;
        p.y = r * CELL;
        p.dest_map = std::string("./data/") + dest;
        p.dest_x = CELL;
        p.dest_y = CELL;
        home.portals.push_back(p);
    }
    bool Plan(const JourneyRules& rules, Leg& leg) { return plan_journey(atlas, home, {0, 1}, "town.map", {{3, 1}}, rules, leg); }
};

TEST_F(PlayJourney, TakesThePortalToTheGoalsMapAndNoBattleOrUnseenScene) {
    Portal(1, 0, "battle.map");
    Portal(1, 2, "scene.map");
    Portal(4, 1, "town.map");
    Leg leg;
    ASSERT_TRUE(Plan({}, leg));
    EXPECT_EQ(leg.portal, 2);
    EXPECT_EQ(leg.path.back(), (Tile{4, 1}));
    EXPECT_EQ(leg.via, "home.map -> town.map");
}

TEST_F(PlayJourney, AShutPortalIsLeftForAnotherWayOrNone) {
    Portal(4, 1, "town.map");
    JourneyRules rules;
    rules.shut.insert(portal_key("home.map", {4, 1}));
    Leg leg;
    EXPECT_FALSE(Plan(rules, leg));
    Portal(4, 0, "town.map");
    ASSERT_TRUE(Plan(rules, leg));
    EXPECT_EQ(leg.portal, 1);
}

TEST_F(PlayJourney, ASceneSeenAndABattleWonAreNoLongerInTheWay) {
    // The only way to town passes a scene map; the portal to it stands where a won battle's does.
    home = open_plan("home.map", {".#...", ".....", ".#..."});
    Portal(1, 1, "battle.map");
    Portal(0, 2, "scene.map");
    Leg leg;
    EXPECT_FALSE(Plan({}, leg));
    JourneyRules rules;
    rules.scenes_seen.insert(4);
    // scene.map has no portal on: town stays out of reach, but the scene map is entered now.
    EXPECT_FALSE(Plan(rules, leg));
    home.portals.pop_back();
    Portal(3, 1, "town.map");
    rules.battles_won.insert("battle.map");
    ASSERT_TRUE(Plan(rules, leg));
    EXPECT_EQ(leg.path[1], (Tile{1, 1}));  // over the won battle's portal square
}

// ---- Battle turns -------------------------------------------------------------------------------

// A 9 x 5 field with walls round it, the member at (1, 2), its range every inner tile within three.
Board field() {
    Board b;
    b.width = 9;
    b.height = 5;
    b.walls.assign(45, 0);
    b.range.assign(45, 0);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 9; ++c) {
            b.walls[(size_t)(r * 9 + c)] = r == 0 || c == 0 || r == 4 || c == 8;
            b.range[(size_t)(r * 9 + c)] = std::abs(c - 1) <= 3 && std::abs(r - 2) <= 3;
        }
    b.me = {1, 2};
    b.hp = b.max_hp = 20;
    return b;
}

TEST(PlayTactics, DrinksWhenTheBlowsToComeCouldFellTheMember) {
    Board b = field();
    b.foes = {{{6, 2}, 5, 6, 1}, {{7, 1}, 5, 4, 1}, {{7, 3}, 5, 9, 2}};
    b.armour = 5;  // the 4 turns away: 9 + 6 count
    EXPECT_EQ(danger(b), 15);
    const struct {
        int hp, potions;
        TurnAct act;
    } cases[] = {{15, 1, TURN_DRINK}, {16, 1, TURN_ADVANCE}, {15, 0, TURN_ADVANCE}, {20, 3, TURN_ADVANCE}};
    for (const auto& c : cases) {
        b.hp = c.hp;
        b.potions = c.potions;
        EXPECT_EQ(plan_turn(b).act, c.act) << c.hp << " hp, " << c.potions << " potions";
    }
}

TEST(PlayTactics, StrikesTheWeakestFoeInReachElseAdvancesTowardsTheNearest) {
    Board b = field();
    b.foes = {{{3, 2}, 9, 1, 1}, {{4, 1}, 2, 1, 1}};
    TurnPlan p = plan_turn(b);
    EXPECT_EQ(p.act, TURN_ATTACK);
    EXPECT_EQ(p.target, (Tile{4, 1}));
    EXPECT_EQ(p.path.back(), (Tile{3, 1}));  // the nearest tile beside it

    b.foes = {{{7, 2}, 2, 1, 1}};  // out of reach: as near as the range allows
    p = plan_turn(b);
    EXPECT_EQ(p.act, TURN_ADVANCE);
    EXPECT_EQ(p.path.back(), (Tile{4, 2}));

    b.foes = {{{3, 2}, 2, 1, 1}};  // the ally in the way: round it
    b.ally_on_field = true;
    b.ally = {2, 2};
    p = plan_turn(b);
    EXPECT_EQ(p.act, TURN_ATTACK);
    EXPECT_EQ(p.path.size(), 4u);  // round the ally, above or below
}

// ---- The host -----------------------------------------------------------------------------------

class Mind : public CPlayerMind {
public:
    CBotHost* host = nullptr;
    std::set<int> keys;
    void Decide() override { host->Hold(keys); }
    int Answer(const std::string&) override { return 2; }
};

TEST(PlayHost, KeysClockAndTheEndOfTheGame) {
    CBotHost h(5);
    Mind mind;
    mind.host = &h;
    h.SetMind(&mind);
    speed_counter = 0;
    mind.keys = {GK_UP};
    h.Idle();
    EXPECT_TRUE(h.KeyDown(GK_UP));
    EXPECT_TRUE(h.LastTickRan());
    speed_counter = -3;  // a loop threw piled-up ticks away
    h.Idle();
    EXPECT_FALSE(h.LastTickRan());
    // A key held through a map change is forgotten: lifted for a tick, then down again.
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

// ---- The player on the real loops ----------------------------------------------------------------

// Runs the game's code `run` with the automated player on its own host, along the route `text`.
// True when the player came to its end goal in the field.
bool play(const std::string& text, const std::function<void()>& run, CHost& rig_host, std::string* said = nullptr) {
    Route route;
    std::string error;
    EXPECT_TRUE(parse_route(text, route, error)) << error;
    CBotHost bot_host(40000);
    CAtlas atlas("./data/");
    CPlayBot bot(route, bot_host, atlas, PlayOptions());
    bot_host.SetMind(&bot);
    host = &bot_host;
    static CPlayBot* listening;
    static std::string* words;
    listening = &bot;
    words = said;
    talk_watch = [](const std::string& f, const std::string& m) {
        listening->Heard(f, m);
        if (words) *words += f + "|" + m + "\n";
    };
    games_begun = 1;  // a game is under way
    std::string why;
    try {
        run();
    } catch (const PlayStop& s) {
        why = s.reason;
    }
    host = &rig_host;
    talk_watch = nullptr;
    return bot.AtEnd() && why == "the story should have ended by now";
}

// A 12 x 8 field with a wall between the hero and a chest, and a talker at the far end.
class PlayerOnField : public PeopleRig {
protected:
    TempDir dir{TempDir::AS_GAME_FOLDER};  // the chest saves here

    void SetUp() override {
        PeopleRig::SetUp();
        MakeMap(12, 8);
        for (int r = 0; r < 6; ++r) map.tiles[0][r][4].flags |= TF_BLOCKED;
        AddEvent(6, 1, EV_CHEST, 9);
        Item(4, "Potion", IT_USABLE, 0, 0);
        Item(9, "Sword", IT_WEAPON, 2, 0);
        PlaceNpc(10 * CELL, 6 * CELL, 1);
        Talker(1, "Bob", "Hello there.");
        player[0].x = player[0].y = CELL;
        player[0].facing = DIR_DOWN;
    }
};

TEST_F(PlayerOnField, WalksRoundTheWallOpensTheChestWearsItsFindAndTalks) {
    ASSERT_TRUE(play("act A\nchest test.map 6 1\nwear Sword\ntalk test.map Bob\nend\n", [] { FieldLoop(); }, script));
    EXPECT_EQ(player[0].inv[0].id, 9);
    EXPECT_TRUE(player[0].inv[0].equipped);
    EXPECT_EQ(App.selected_pc, 0);
    // The hero faces Bob from a tile beside him.
    EXPECT_TRUE(squares_overlap(player[0].x, player[0].y, 10 * CELL, 6 * CELL, 2 * CELL));
}

// With the pack full of potions, a find worth more than a potion makes one go: dropped beside the
// chest, never where the use key picks it up again.
TEST_F(PlayerOnField, AFullPackDropsAPotionForTheFind) {
    for (CInv& slot : player[0].inv) slot.id = HEALING_POTION;
    std::string said;
    ASSERT_TRUE(play("act A\nchest test.map 6 1\nend\n", [] { FieldLoop(); }, script, &said));
    EXPECT_EQ(count_in_pack(player[0], 9), 1);
    EXPECT_EQ(count_in_pack(player[0], HEALING_POTION), 9);
    EXPECT_NE(said.find("|Not enough room!"), std::string::npos);
}

// The same at a shop: the potion is dropped a step away from the counter, or the press that opens
// the shop again would pick it up again first.
TEST_F(PlayerOnField, AFullPackDropsAPotionAStepAwayFromTheShop) {
    for (CInv& slot : player[0].inv) slot.id = HEALING_POTION;
    write_file("data/shops.txt", "9 4 0 0 0\n");
    map.tiles[0][4][8].flags |= TF_BLOCKED;  // the counter
    AddEvent(8, 4, EV_SHOP, 0);
    ASSERT_TRUE(play("act A\nbuy test.map 0 Sword\nend\n", [] { FieldLoop(); }, script));
    EXPECT_EQ(count_in_pack(player[0], 9), 1);
    EXPECT_EQ(count_in_pack(player[0], HEALING_POTION), 9);
}

// A person pacing a walkway into the only way to the chest, and the hero walking into him: one
// waits for the other until the hero steps aside.
TEST_F(PlayerOnField, StepsAsideForSomeoneWalkingIntoHim) {
    for (int c = 0; c < 12; ++c)
        for (int r : {0, 2}) map.tiles[0][r][c].flags |= TF_BLOCKED;  // a corridor along row 1
    for (int r = 0; r < 6; ++r) map.tiles[0][r][4].flags &= ~TF_BLOCKED;
    for (int c = 2; c < 6; ++c) map.tiles[0][1][c].flags |= TF_WALKWAY;
    map.npcs.clear();
    map.num_npcs = 0;
    CNpc& pacer = PlaceNpc(3 * CELL, CELL, 1);
    pacer.dir = DIR_LEFT;  // towards the hero
    player[0].x = 0;
    ASSERT_TRUE(play("act A\nchest test.map 6 1\nend\n", [] { FieldLoop(); }, script));
    EXPECT_EQ(player[0].inv[0].id, 9);
}

// The player's side of a battle: a potion when low, then in reach and strike until it is won.
class PlayerInBattle : public BattleRig {};

TEST_F(PlayerInBattle, DrinksWhenLowClosesInAndStrikesUntilItWins) {
    Item(4, "Potion", IT_USABLE, 0, 0);
    Monster(9, 5, 8);  // a skeletal warrior: 8 hit points, blows up to 3
    player[0].hp = 2;
    player[0].damage = player[0].base_damage = 4;
    player[0].inv[3].id = HEALING_POTION;
    std::string said;
    play("act A\nend\n", [this] { battle.Battle(true); }, script, &said);
    EXPECT_NE(said.find("|You have used a potion"), std::string::npos) << said;
    EXPECT_NE(said.find("|You WON!"), std::string::npos) << said;
    EXPECT_EQ(said.find("|You have used a potion"), said.find("|"));  // before anything else
    EXPECT_EQ(player[0].inv[3].id, 0);
    EXPECT_GE(player[0].hp, 1);
}

}  // namespace
