// Quest scripts: their conditions, run twice where "once" matters, with their map changes.
#include <algorithm>
#include <tuple>

#include "CMap.h"
#include "CPlayer.h"
#include "CCine.h"
#include "CMain.h"
#include "MapBuild.h"
#include "PeopleRig.h"
#include "Quests.h"
#include "TempDir.h"
#include "Timing.h"

namespace {

class Quests : public PeopleRig {
protected:
    // Runs quest `number` with `boxes` taps of SPACE for its boxes.
    void Quest(int number, int boxes = 0) {
        script.Clear().Space(boxes).said.clear();
        quest.ProcessQuest(number);
    }
    void Won(const char* m) { *std::find(player[0].won_battles.begin(), player[0].won_battles.end(), "empty") = m; }
};

// A gift the map has no cell for is not laid nor marked, so a map that holds it can still have it, once.
TEST_F(Quests, GiftsAreLaidOnceAndOnlyMarkedWhenLaid) {
    // The herb is laid under the hero.
    const struct { int number, boxes; uint64_t marks; unsigned int hero_x; int c, r, item; } cases[] = {
        {QF_ERRAND_GIFT, 0, QF_ERRAND_GIFT_LAID | QF_ERRAND_MARK, 0, 83, 65, 2},
        {QF_HERB_GIFT, 1, QF_HERB_GIFT, 40 * 16 + 5, 40, 0, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        quest.flags = 0;
        player[0].x = c.hero_x, player[0].y = 0;
        map = CMap();
        MakeMap(10, 10);
        Quest(c.number, c.boxes);
        EXPECT_EQ(std::make_pair(map.num_events, quest.flags), std::make_pair(0u, (uint64_t)0));
        MakeMap(84, 66);
        Quest(c.number, c.boxes);
        Quest(c.number, c.boxes);
        ASSERT_EQ(map.num_events, 1u);
        EXPECT_EQ(std::make_tuple(map.events[0].x, map.events[0].y, map.events[0].quest), std::make_tuple(c.c, c.r, c.item));
        EXPECT_EQ(map.tiles[1][c.r][c.c].flags & TF_EVENT, TF_EVENT);
        EXPECT_EQ(quest.flags, c.marks);
    }
}

TEST_F(Quests, CaveRewardNeedsBothBattlesAndPaysOnce) {
    Won("cave_battle.map");
    Quest(QF_CAVE_CLEARED);
    EXPECT_EQ(player[0].gold, 10);
    Won("cave_battle2.map");
    quest.flags = QF_COMPANION;
    Quest(QF_CAVE_CLEARED, 1);
    Quest(QF_CAVE_CLEARED);
    EXPECT_EQ(player[0].gold, 12);
}

TEST_F(Quests, HerbErrandRemindsThenPlantingPaysOnce) {
    Quest(QF_HERB_PLANTED);  // planting without the errand
    EXPECT_EQ(quest.flags, 0u);
    Quest(QF_MET_LEADER, 1);
    const std::string intro = script.said[0].second;
    Quest(QF_MET_LEADER, 1);
    const std::string reminder = script.said[0].second;
    EXPECT_NE(reminder, intro);
    cine.played[SCENE_PLANT] = true;  // the scene itself plays in the scenes' tests
    Quest(QF_HERB_PLANTED, 2);
    Quest(QF_HERB_PLANTED);
    EXPECT_EQ(player[0].exp, 8);
    Quest(QF_MET_LEADER, 1);
    EXPECT_NE(script.said[0].second, reminder);
}

TEST_F(Quests, RuinsLockOpensOnlyForOnOffOn) {
    MakeMap(10, 10);
    Quest(QF_RUINS_OPEN);  // no switches, no wall: skipped safely
    MakeMap(26, 74);
    map.events.resize(map.num_events = 3);
    map.tiles[0][72][24].tile = 7;
    map.tiles[0][73][24] = {50, TF_BLOCKED, 0};
    for (CEvent& e : map.events) e.done = true;
    Quest(QF_RUINS_OPEN);  // on, on, on: shut
    EXPECT_EQ(map.tiles[0][73][24].tile, 50);
    map.events[1].done = false;
    Quest(QF_RUINS_OPEN, 1);
    EXPECT_EQ(std::make_tuple(map.tiles[0][73][24].tile, map.tiles[0][73][24].flags, quest.flags),
              std::make_tuple(7, 0, (uint64_t)QF_RUINS_OPEN));
}

// Fights on the way: a battle map that cannot be read is named and not fought where the party stands;
// the ambush won is recorded and goes on into Selka; lost, it leaves the start menu's new game alone.
TEST_F(Quests, FightsOnTheWayUnreadableWonOrLost) {
    TempDir dir(TempDir::AS_GAME_FOLDER);
    enum { MISSING, EMPTY, THUG };  // the battle map; against the thug the hero comes already fallen
    const struct { const char* what; int number, battle; const char* map; const char* won; uint64_t flags; } cases[] = {
        {"unreadable spar", QF_SPARRING, MISSING, "test.map", "empty", QF_SPARRING},
        {"unreadable ambush", QF_SELKA_AMBUSH, MISSING, "selka.map", "empty", QF_SELKA_ROAD},
        {"won ambush", QF_SELKA_AMBUSH, EMPTY, "selka.map", "selka_battle.map", QF_SELKA_ROAD},
        {"lost ambush", QF_SELKA_AMBUSH, THUG, "duskwing.map", "empty", 0},
    };
    CMap m;
    make_map(m, 20, 15);
    ASSERT_EQ(m.SaveMap("./data/duskwing.map"), 0);
    ASSERT_EQ(m.SaveMap("./data/selka.map"), 0);
    m.battle = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.battle == THUG) place_npc(m, 160, 160, 3);
        ASSERT_TRUE(c.battle == MISSING || m.SaveMap("./data/selka_battle.map") == 0);
        MakeMap(10, 10);
        player[0].won_battles[0] = "empty";
        quest.flags = 0, player[0].hp = c.battle == THUG ? 0 : 10;
        script.Clear().Ticks(5).Tap(GK_ENTER).Ticks(5).Tap(GK_SPACE).Ticks(5).said.clear();  // any key, "new game"
        script.messages.clear();
        const unsigned int games = games_begun;
        EXPECT_EQ(GameRig::Run([&] { quest.ProcessQuest(c.number); }), RunEnd::RETURNED);
        EXPECT_EQ(std::make_tuple(map.name, player[0].won_battles[0], quest.flags, games_begun),
                  std::make_tuple(std::string(c.map), std::string(c.won), c.flags, games + (c.battle == THUG)));
        if (c.battle == MISSING) {
            EXPECT_TRUE(script.said.empty());  // no battle, so no victory box
            ASSERT_FALSE(script.messages.empty());
            EXPECT_NE(script.messages[0].find("battle.map"), std::string::npos) << script.messages[0];
        }
    }
}

}  // namespace
