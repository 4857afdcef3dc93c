// Quest scripts: their conditions, run twice where "once" matters, with their map changes.
#include <gtest/gtest.h>

#include "CCine.h"
#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "MapBuild.h"
#include "PeopleRig.h"
#include "Quests.h"
#include "TempDir.h"
#include "Timing.h"

namespace {

class Quests : public PeopleRig {
protected:
    void Run(int number, int boxes = 0) {
        script.Clear();
        script.said.clear();
        script.Space(boxes);
        quest.ProcessQuest(number);
    }
    void Won(const char* m) {
        for (std::string& w : player[0].won_battles)
            if (w == "empty") {
                w = m;
                return;
            }
    }
};

// A gift the map has no cell for is not laid and not marked, so it can still be had on a map
// that holds it; there it is laid once.
TEST_F(Quests, GiftsAreLaidOnceAndOnlyMarkedWhenLaid) {
    struct Case {
        int number, boxes;
        uint64_t marks;
        unsigned int hero_x;  // the herb is laid under the hero
        int c, r, item;
    } cases[] = {
        {QF_ERRAND_GIFT, 0, QF_ERRAND_GIFT_LAID | QF_ERRAND_MARK, 0, 83, 65, 2},
        {QF_HERB_GIFT, 1, QF_HERB_GIFT, 40 * 16 + 5, 40, 0, 3},
    };
    for (const Case& c : cases) {
        quest.flags = 0;
        player[0].x = c.hero_x;
        player[0].y = 0;
        map = CMap();
        MakeMap(10, 10);
        Run(c.number, c.boxes);
        EXPECT_EQ(map.num_events, 0u) << c.number;
        EXPECT_EQ(quest.flags, 0u) << c.number;
        MakeMap(84, 66);
        Run(c.number, c.boxes);
        Run(c.number, c.boxes);
        ASSERT_EQ(map.num_events, 1u) << c.number;
        EXPECT_EQ(map.events[0].x, c.c) << c.number;
        EXPECT_EQ(map.events[0].y, c.r) << c.number;
        EXPECT_EQ(map.events[0].quest, c.item) << c.number;
        EXPECT_EQ(map.tiles[1][c.r][c.c].flags & TF_EVENT, TF_EVENT) << c.number;
        EXPECT_EQ(quest.flags, c.marks) << c.number;
    }
}

TEST_F(Quests, CaveRewardNeedsBothBattlesAndPaysOnce) {
    Won("cave_battle.map");
    Run(QF_CAVE_CLEARED);
    EXPECT_EQ(player[0].gold, 10);
    Won("cave_battle2.map");
    quest.flags = QF_COMPANION;
    Run(QF_CAVE_CLEARED, 1);
    EXPECT_EQ(player[0].gold, 12);
    Run(QF_CAVE_CLEARED);
    EXPECT_EQ(player[0].gold, 12);
}

TEST_F(Quests, HerbErrandRemindsThenPlantingPaysOnce) {
    Run(QF_HERB_PLANTED);  // planting without the errand
    EXPECT_EQ(quest.flags, 0u);
    Run(QF_MET_LEADER, 1);
    const std::string intro = script.said[0].second;
    Run(QF_MET_LEADER, 1);
    const std::string reminder = script.said[0].second;
    EXPECT_NE(reminder, intro);
    cine.played[SCENE_PLANT] = true;  // the scene itself plays in the scenes' tests
    Run(QF_HERB_PLANTED, 2);
    EXPECT_EQ(player[0].exp, 8);
    Run(QF_HERB_PLANTED);
    EXPECT_EQ(player[0].exp, 8);
    Run(QF_MET_LEADER, 1);
    EXPECT_NE(script.said[0].second, reminder);
}

TEST_F(Quests, RuinsLockOpensOnlyForOnOffOn) {
    MakeMap(10, 10);
    Run(QF_RUINS_OPEN);  // no switches, no wall: skipped safely
    MakeMap(26, 74);
    map.events.resize(3);
    map.num_events = 3;
    map.tiles[0][72][24].tile = 7;
    map.tiles[0][73][24] = {50, TF_BLOCKED, 0};
    for (CEvent& e : map.events) e.done = true;
    Run(QF_RUINS_OPEN);
    EXPECT_EQ(map.tiles[0][73][24].tile, 50);
    map.events[1].done = false;
    Run(QF_RUINS_OPEN, 1);
    EXPECT_EQ(map.tiles[0][73][24].tile, 7);
    EXPECT_EQ(map.tiles[0][73][24].flags, 0);
    EXPECT_EQ(quest.flags, (uint64_t)QF_RUINS_OPEN);
}

TEST_F(Quests, ScriptedJourneysEnterTheirMapsOnTheStartTilesOrTheLandingPlace) {
    TempDir dir(TempDir::AS_GAME_FOLDER);
    CMap m;
    make_map(m, 100, 60);
    m.p0_x = 2, m.p0_y = 3;
    for (const char* name : {"worldmap", "cloudcity", "orcvillage", "selka_battle", "selka"})
        ASSERT_EQ(m.SaveMap(std::string("./data/") + name + ".map"), 0);
    struct Case {
        int number, boxes;
        const char* map;
        unsigned int x, y;
    } cases[] = {
        {QF_CONSOLED, 1, "worldmap.map", 32, 48},
        {QF_CLOUD_CITY_DOWN, 0, "worldmap.map", CLOUD_CITY_LANDING.x, CLOUD_CITY_LANDING.y},
        {QF_TO_CLOUD_CITY, 0, "cloudcity.map", 32, 48},
        {QF_TO_ORC_VILLAGE, 0, "orcvillage.map", 32, 48},
        // The ambush's map holds no monster: its victory box opens on the battle's first tick, so
        // the first tap comes before it and the second closes it.
        {QF_SELKA_AMBUSH, 2, "selka.map", 32, 48},
    };
    player[0].hp = 10;  // on his feet, so that the ambush is won, not lost
    for (const Case& c : cases) {
        MakeMap(10, 10);
        script.forgets = 0;
        Run(c.number, c.boxes);
        EXPECT_EQ(map.name, c.map) << c.number;
        EXPECT_EQ(player[0].x, c.x) << c.number;
        EXPECT_EQ(player[0].y, c.y) << c.number;
        EXPECT_GE(script.forgets, 1) << c.number;
    }
    // The ambush's battle is recorded as won, and the road marked.
    EXPECT_EQ(player[0].won_battles[0], "selka_battle.map");
    EXPECT_TRUE(quest.flags & QF_SELKA_ROAD);
}

// A fight whose battle map cannot be read is not fought on the map the party stands on: the
// spar leaves the party at home, the ambush lets it on into Selka, and each names the file.
TEST_F(Quests, AFightWhoseMapCannotBeReadIsNotFoughtWhereThePartyStands) {
    TempDir dir(TempDir::AS_GAME_FOLDER);
    CMap m;
    make_map(m, 100, 60);
    ASSERT_EQ(m.SaveMap("./data/selka.map"), 0);
    MakeMap(10, 10);
    const std::string home = map.name;
    for (int number : {(int)QF_SPARRING, (int)QF_SELKA_AMBUSH}) {
        if (number == QF_SELKA_AMBUSH) {
            EXPECT_EQ(map.name, home);  // the spar left the party at home
        }
        script.messages.clear();
        Run(number);
        EXPECT_TRUE(script.said.empty()) << number;  // no battle, so no victory box
        ASSERT_FALSE(script.messages.empty()) << number;
        EXPECT_NE(script.messages[0].find("battle.map"), std::string::npos) << script.messages[0];
    }
    EXPECT_EQ(map.name, "selka.map");
    EXPECT_EQ(player[0].won_battles[0], "empty");
    EXPECT_TRUE(quest.flags & QF_SPARRING);
}

// The ambush lost: the start menu's new game begins at home, and the old game's script neither
// records the battle nor goes on into Selka.
TEST_F(Quests, ALostAmbushLeavesTheNewGameAlone) {
    TempDir dir(TempDir::AS_GAME_FOLDER);
    CMap m;
    make_map(m, 20, 15);
    ASSERT_EQ(m.SaveMap("./data/duskwing.map"), 0);
    ASSERT_EQ(m.SaveMap("./data/selka.map"), 0);
    m.battle = true;
    place_npc(m, 160, 160, 3);  // a thug
    ASSERT_EQ(m.SaveMap("./data/selka_battle.map"), 0);
    MakeMap(10, 10);
    player[0].hp = 0;  // he comes to the fight already fallen
    const unsigned int games = games_begun;
    script.Ticks(5).Tap(GK_ENTER).Ticks(5).Tap(GK_SPACE).Ticks(5);  // any key, then "new game"
    EXPECT_EQ(GameRig::Run([] { quest.ProcessQuest(QF_SELKA_AMBUSH); }), RunEnd::RETURNED);
    EXPECT_EQ(games_begun, games + 1);
    EXPECT_EQ(map.name, "duskwing.map");
    EXPECT_EQ(player[0].won_battles[0], "empty");
    EXPECT_EQ(quest.flags, 0u);
}

}  // namespace
