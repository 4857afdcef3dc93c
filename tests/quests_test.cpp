// Quest scripts: each script's conditions, run twice where "once" matters, with its notices and map changes.
#include <gtest/gtest.h>

#include "CDisplay.h"
#include "CMain.h"
#include "CMap.h"
#include "CMenu.h"
#include "CPlayer.h"
#include "Interaction.h"
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

TEST_F(Quests, ErrandItemIsLaidOnce) {
    MakeMap(84, 66);
    Run(0x8);
    Run(0x8);
    ASSERT_EQ(map.num_events, 1u);
    EXPECT_EQ(map.events[0].x, 83);
    EXPECT_EQ(map.events[0].y, 65);
    EXPECT_EQ(map.events[0].type, EV_OBJECT);
    EXPECT_EQ(map.events[0].quest, 2);
    EXPECT_EQ(map.tiles[1][65][83].tile, OBJECT_TILE);
    EXPECT_EQ(quest.flags, 0x30u);
}

TEST_F(Quests, ErrandItemOnAMapTooSmallIsSkipped) {
    MakeMap(10, 10);
    Run(0x8);
    EXPECT_EQ(map.num_events, 0u);
    EXPECT_EQ(quest.flags, 0x30u);
}

TEST_F(Quests, CaveRewardNeedsBothBattlesAndPaysOnce) {
    Won("cave_battle.map");
    Run(0x40);
    EXPECT_EQ(player[0].gold, 10);
    EXPECT_EQ(quest.flags, 0u);
    Won("cave_battle2.map");
    quest.flags = QF_COMPANION;
    Run(0x40, 1);
    EXPECT_EQ(script.said.size(), 1u);
    EXPECT_EQ(player[0].gold, 12);
    EXPECT_EQ(player[0].exp, 15);
    EXPECT_EQ(player[1].exp, 15);
    Run(0x40);
    EXPECT_EQ(player[0].gold, 12);
    EXPECT_TRUE(script.said.empty());
}

TEST_F(Quests, HerbErrandIntroductionRemindersPlantingAndThanks) {
    Run(0x800, 1);
    ASSERT_EQ(script.said.size(), 1u);
    const std::string intro = script.said[0].second;
    EXPECT_EQ(quest.flags, 0x800u | 0x80 | 0x1000);
    Run(0x800, 1);
    const std::string reminder = script.said[0].second;
    EXPECT_NE(reminder, intro);
    Run(0x800, 1);
    EXPECT_EQ(script.said[0].second, reminder);

    Run(0x100, 2);
    ASSERT_EQ(script.said.size(), 2u);
    EXPECT_EQ(script.said[1], std::make_pair(std::string(), std::string("You gained 8 experience points!")));
    EXPECT_EQ(player[0].exp, 8);
    EXPECT_EQ(quest.flags & 0x80, 0u);
    EXPECT_EQ(quest.flags & 0x100, 0x100u);
    Run(0x100);
    EXPECT_EQ(player[0].exp, 8);

    Run(0x800, 1);
    EXPECT_NE(script.said[0].second, reminder);
    EXPECT_NE(script.said[0].second, intro);
}

TEST_F(Quests, PlantingWithoutTheErrandDoesNothing) {
    Run(0x100);
    EXPECT_EQ(quest.flags, 0u);
    EXPECT_EQ(player[0].exp, 0);
}

TEST_F(Quests, HerbIsGivenUnderTheHeroOnce) {
    MakeMap(10, 10);
    player[0].x = 40;
    player[0].y = 20;
    Run(0x200, 1);
    EXPECT_EQ(script.said[0].second, "You received an item!");
    ASSERT_EQ(map.num_events, 1u);
    EXPECT_EQ(map.events[0].x, 2);
    EXPECT_EQ(map.events[0].y, 1);
    EXPECT_EQ(map.events[0].quest, 3);
    Run(0x200);
    EXPECT_EQ(map.num_events, 1u);
}

TEST_F(Quests, RuinsLockOpensOnlyForOnOffOn) {
    MakeMap(26, 74);
    for (int i = 0; i < 3; ++i) {
        map.events.push_back(CEvent());
        map.num_events++;
    }
    map.tiles[0][72][24].tile = 7;
    map.tiles[0][72][25].tile = 8;
    map.tiles[0][73][24] = {50, TF_BLOCKED, 0};
    map.tiles[0][73][25] = {51, TF_BLOCKED, 0};
    map.events[0].done = true;
    map.events[1].done = true;
    map.events[2].done = true;
    Run(0x400);
    EXPECT_EQ(map.tiles[0][73][24].tile, 50);
    EXPECT_EQ(quest.flags, 0u);
    map.events[1].done = false;
    Run(0x400, 1);
    EXPECT_EQ(script.said[0].second, "Towards the south you hear a loud grinding noise.");
    EXPECT_EQ(map.tiles[0][73][24].tile, 7);
    EXPECT_EQ(map.tiles[0][73][25].tile, 8);
    EXPECT_EQ(map.tiles[0][73][25].flags, 0);
    EXPECT_EQ(quest.flags, 0x400u);
}

TEST_F(Quests, RuinsLockOnAMapWithoutThreeSwitchesOrTheWallIsSkipped) {
    MakeMap(10, 10);
    Run(0x400);
    for (int i = 0; i < 3; ++i) {
        map.events.push_back(CEvent());
        map.num_events++;
    }
    map.events[0].done = map.events[2].done = true;
    Run(0x400);
    EXPECT_EQ(quest.flags, 0u);
}

TEST_F(Quests, SelkaAmbushIsFoughtOnceAndRecorded) {
    Won("cave_battle.map");
    Run(0x4000);
    EXPECT_EQ(player[0].won_battles[0], "cave_battle.map");
    EXPECT_EQ(player[0].won_battles[1], "selka_battle.map");
    EXPECT_EQ(player[0].won_battles[2], "empty");
    EXPECT_EQ(quest.flags, 0x80000u);
    Run(0x4000);
    EXPECT_EQ(player[0].won_battles[2], "empty");
}

TEST_F(Quests, CompanionJoinsAndStaysJoined) {
    Run(0x8000);
    EXPECT_EQ(quest.flags, 0x8001u);
    quest.flags = 0x8000;  // left by a later scene
    Run(0x8000);
    EXPECT_EQ(quest.flags, 0x8001u);
}

TEST_F(Quests, SmallScripts) {
    player[0].max_hp = 9;
    player[1].max_hp = 7;
    Run(0x100000);
    EXPECT_EQ(player[0].hp, 9);
    EXPECT_EQ(player[1].hp, 7);
    Run(0x200000);
    EXPECT_EQ(quest.flags, 0x200000u);
    Run(0x4, 1);
    EXPECT_EQ(script.said[0].first, "Wise old man");
    EXPECT_EQ(quest.flags, 0x200004u);
    Run(0x2);
    EXPECT_EQ(quest.flags, 0x200006u);
    Run(0x10000);
    EXPECT_EQ(player[0].x, 1152u);
    EXPECT_EQ(player[0].y, 112u);
}

TEST_F(Quests, NumbersWithoutAScriptDoNothing) {
    MakeMap(10, 10);
    for (int n : {0, 1, 3, 0x10, 0x20, 0x80, 0x1000, 0x2000, 0x80000, 0x800000, -1, 0x7fffffff}) Run(n);
    EXPECT_EQ(quest.flags, 0u);
    EXPECT_EQ(map.num_events, 0u);
    EXPECT_TRUE(script.said.empty());
}

}  // namespace
