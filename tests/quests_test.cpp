// Quest scripts: their conditions, run twice where "once" matters, with their map changes.
#include <gtest/gtest.h>

#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "PeopleRig.h"
#include "Quests.h"

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

TEST_F(Quests, ErrandItemIsLaidOnceAndSkippedOnASmallMap) {
    MakeMap(10, 10);
    Run(0x8);
    EXPECT_EQ(map.num_events, 0u);
    EXPECT_EQ(quest.flags, 0x30u);
    quest.flags = 0;
    MakeMap(84, 66);
    Run(0x8);
    Run(0x8);
    ASSERT_EQ(map.num_events, 1u);
    EXPECT_EQ(map.events[0].x, 83);
    EXPECT_EQ(map.events[0].quest, 2);
}

TEST_F(Quests, CaveRewardNeedsBothBattlesAndPaysOnce) {
    Won("cave_battle.map");
    Run(0x40);
    EXPECT_EQ(player[0].gold, 10);
    Won("cave_battle2.map");
    quest.flags = QF_COMPANION;
    Run(0x40, 1);
    EXPECT_EQ(player[0].gold, 12);
    Run(0x40);
    EXPECT_EQ(player[0].gold, 12);
}

TEST_F(Quests, HerbErrandRemindsThenPlantingPaysOnce) {
    Run(0x100);  // planting without the errand
    EXPECT_EQ(quest.flags, 0u);
    Run(0x800, 1);
    const std::string intro = script.said[0].second;
    Run(0x800, 1);
    const std::string reminder = script.said[0].second;
    EXPECT_NE(reminder, intro);
    Run(0x100, 2);
    EXPECT_EQ(player[0].exp, 8);
    Run(0x100);
    EXPECT_EQ(player[0].exp, 8);
    Run(0x800, 1);
    EXPECT_NE(script.said[0].second, reminder);
}

TEST_F(Quests, RuinsLockOpensOnlyForOnOffOn) {
    MakeMap(10, 10);
    Run(0x400);  // no switches, no wall: skipped safely
    MakeMap(26, 74);
    map.events.resize(3);
    map.num_events = 3;
    map.tiles[0][72][24].tile = 7;
    map.tiles[0][73][24] = {50, TF_BLOCKED, 0};
    for (CEvent& e : map.events) e.done = true;
    Run(0x400);
    EXPECT_EQ(map.tiles[0][73][24].tile, 50);
    map.events[1].done = false;
    Run(0x400, 1);
    EXPECT_EQ(map.tiles[0][73][24].tile, 7);
    EXPECT_EQ(map.tiles[0][73][24].flags, 0);
    EXPECT_EQ(quest.flags, 0x400u);
}

}  // namespace
