// Map event actions and the use key: inn, switches, trainers, chests.
#include <gtest/gtest.h>

#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "Grid.h"
#include "Interaction.h"
#include "PeopleRig.h"
#include "TempDir.h"
#include "Quests.h"
#include "Timing.h"

namespace {

class Events : public PeopleRig {
protected:
    TempDir dir{TempDir::AS_GAME_FOLDER};  // opening a chest saves the game here

    void SetUp() override {
        PeopleRig::SetUp();
        MakeMap(10, 10);
        player[0].x = player[0].y = 32;
        player[0].facing = DIR_RIGHT;  // the tile ahead is (3, 2)
        Item(4, "Potion", IT_USABLE, 0, 0);
    }
    int Event(int c, int r, int type, int q = 0, const char* text = "text") {
        int i = AddEvent(c, r, type, q);
        map.events[i].speaker = "Clerk";
        map.events[i].text = text;
        return i;
    }
    void Script() {
        script.Clear();
        script.said.clear();
    }
    void Train() {
        Script();
        script.Space().Tap(GK_DOWN).Space().Space();
        HandleEvents(Event(3, 2, EV_TRAINER));
    }
};

TEST_F(Events, InnHealsForFiveGoldAndRefusesFour) {
    int i = Event(3, 2, EV_INN);
    player[0].gold = 5;
    player[0].max_hp = 20;
    player[0].hp = 3;
    script.Answer(true).Space();
    HandleEvents(i);
    EXPECT_EQ(player[0].gold, 0);
    EXPECT_EQ(player[0].hp, 20);

    Script();
    player[0].gold = 4;
    player[0].hp = 3;
    script.Answer(true).Space();
    HandleEvents(i);
    EXPECT_EQ(player[0].gold, 4);
    EXPECT_EQ(player[0].hp, 3);

    Script();
    script.Answer(false).Space();
    HandleEvents(i);
    EXPECT_EQ(script.said.back(), std::make_pair(std::string("Clerk"), std::string("Piss off then!")));
}

TEST_F(Events, SwitchUsedTwiceReturnsItsTileAndRunsItsQuestTwice) {
    int i = Event(3, 2, EV_SWITCH, 0x200000);
    map.tiles[0][2][3].tile = 40;
    script.Space();
    HandleEvents(i);
    EXPECT_EQ(map.tiles[0][2][3].tile, 41);
    EXPECT_EQ(quest.flags, 0x200000u);
    quest.flags = 0;
    Script();
    script.Space();
    HandleEvents(i);
    EXPECT_EQ(map.tiles[0][2][3].tile, 40);
    EXPECT_EQ(quest.flags, 0x200000u);
}

TEST_F(Events, TrainerRefusesThenLevelsAndHeals) {
    CPlayer& p = player[0];
    p.exp = 5;
    Train();
    EXPECT_EQ(p.level, 1);
    p.exp = 6;
    p.max_hp = 10;
    p.hp = 2;
    Train();
    EXPECT_EQ(p.level, 2);
    EXPECT_EQ(p.hp, 14);
    EXPECT_EQ(p.base_damage, 2);
}

TEST_F(Events, ChestStaysOpenedAfterTheMapIsReloaded) {
    player[0].x = 40;
    Event(3, 2, EV_TALK | EV_CHEST, 4, "A chest.");
    const CMap fresh = map;
    script.Space(2);
    FieldUseAction();
    EXPECT_EQ(player[0].inv[0].id, 4);
    map = fresh;  // reloaded from its file
    Script();
    script.Space();
    FieldUseAction();
    EXPECT_EQ(script.said.size(), 1u);  // only its text
    EXPECT_EQ(player[0].inv[1].id, 0);
}

}  // namespace
