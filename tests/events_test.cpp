// Map event actions and the use key: inn, switches, save points, trainers, chests, objects, and events and NPCs ahead.
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

class Events : public PeopleRig {
protected:
    void SetUp() override {
        PeopleRig::SetUp();
        MakeMap(10, 10);
        player[0].x = 32;
        player[0].y = 32;
        player[0].facing = 3;  // right: the tile ahead is (3, 2)
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
};

TEST_F(Events, InnHealsForFiveGoldAndRefusesFour) {
    int i = Event(3, 2, EV_INN);
    player[0].gold = 5;
    player[0].max_hp = 20;
    player[0].hp = 3;
    player[1].max_hp = 12;
    player[1].hp = 1;
    player[0].mana = 0;
    player[0].max_mana = 5;
    script.Answer(true).Space();
    HandleEvents(i);
    EXPECT_EQ(player[0].gold, 0);
    EXPECT_EQ(player[0].hp, 20);
    EXPECT_EQ(player[1].hp, 12);
    EXPECT_EQ(player[0].mana, 0);
    EXPECT_EQ(script.said.back().second, "After a good nights sleep, your wounds have been healed.");

    Script();
    player[0].gold = 4;
    player[0].hp = 3;
    script.Answer(true).Space();
    HandleEvents(i);
    EXPECT_EQ(player[0].gold, 4);
    EXPECT_EQ(player[0].hp, 3);
    EXPECT_EQ(script.said.back().second, "You don't have enough money to stay here!");

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
    EXPECT_TRUE(map.events[i].done);
    EXPECT_EQ(map.tiles[0][2][3].tile, 41);
    EXPECT_EQ(script.said.back().second, "You turn the switch off.");
    EXPECT_EQ(quest.flags, 0x200000u);
    quest.flags = 0;
    Script();
    script.Space();
    HandleEvents(i);
    EXPECT_FALSE(map.events[i].done);
    EXPECT_EQ(map.tiles[0][2][3].tile, 40);
    EXPECT_EQ(script.said.back().second, "You turn the switch on.");
    EXPECT_EQ(quest.flags, 0x200000u);
}

TEST_F(Events, SavePointLeaveSaysNothingSaveConfirms) {
    int i = Event(3, 2, EV_SAVE);
    script.Answer(true);
    HandleEvents(i);
    EXPECT_EQ(script.said.size(), 1u);
    Script();
    script.Answer(false).Space();
    HandleEvents(i);
    EXPECT_EQ(script.said.back().second, "You successfully saved!");
}

TEST_F(Events, SpeechAndShopBitsShowTheTextTwiceAndBadShopsAreReported) {
    int i = Event(3, 2, EV_TALK | EV_SHOP, 3);
    script.Space(2);
    HandleEvents(i);
    EXPECT_EQ(script.said.size(), 2u);
    EXPECT_TRUE(script.messages.empty());
    Script();
    map.events[i].quest = 12;
    script.Space(2);
    HandleEvents(i);
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_NE(script.messages[0].find("shop 12"), std::string::npos);
    HandleEvents(99);  // no such event: nothing
}

class Trainer : public Events {
protected:
    void Train(bool level_up, bool switch_member = false) {
        int i = Event(3, 2, EV_TRAINER);
        script.Space();
        if (switch_member) script.Tap(GK_RIGHT);
        if (level_up) script.Tap(GK_DOWN);
        script.Space().Space();
        HandleEvents(i);
    }
};

TEST_F(Trainer, LevelsWithEnoughExperienceAndHeals) {
    CPlayer& p = player[0];
    p.exp = 6;
    p.max_hp = 10;
    p.hp = 2;
    Train(true);
    EXPECT_EQ(p.level, 2);
    EXPECT_EQ(p.max_hp, 14);
    EXPECT_EQ(p.hp, 14);
    EXPECT_EQ(p.base_damage, 2);
    EXPECT_EQ(p.exp, 6);
    EXPECT_EQ(script.said.back().second, "You gained a level! Your HP has increased by 4, Your Damage has increased by 1!");
}

TEST_F(Trainer, RefusesWithTooLittleExperience) {
    player[0].exp = 5;
    Train(true);
    EXPECT_EQ(player[0].level, 1);
    EXPECT_EQ(script.said.back().second, "You don't have enough experience to level yet!");
}

TEST_F(Trainer, LeaveChangesNothing) {
    player[0].exp = 100;
    Train(false);
    EXPECT_EQ(player[0].level, 1);
    EXPECT_EQ(script.said.size(), 1u);
}

TEST_F(Trainer, TheTableEndsAtLevelEleven) {
    player[0].level = 10;
    player[0].exp = 0;  // the eleventh level needs nothing more
    Train(true);
    EXPECT_EQ(player[0].level, 11);
    Script();
    script.Space();
    script.Tap(GK_DOWN);
    script.Space();
    EXPECT_FALSE(menu.TrainerChoice(Talk("", "Again?", true)));
    EXPECT_EQ(player[0].level, 11);
    EXPECT_EQ(script.said.size(), 1u);  // no message at the top
    player[0].level = -4;          // from a damaged saved game
    Script();
    script.Space();
    script.Tap(GK_DOWN);
    script.Space();
    menu.TrainerChoice(Talk("", "Again?", true));
    EXPECT_EQ(player[0].level, -4);
}

TEST_F(Trainer, TheCompanionTrainsOnlyOnceSheHasJoined) {
    player[1].exp = 6;
    Train(true, true);
    EXPECT_EQ(player[1].level, 1);
    EXPECT_EQ(script.said.back().second, "You don't have enough experience to level yet!");
    Script();
    quest.flags = QF_COMPANION;
    Train(true, true);
    EXPECT_EQ(player[1].level, 2);
    EXPECT_EQ(player[0].level, 1);
}

TEST_F(Events, ChestStaysOpenedAfterTheMapIsReloaded) {
    // The chest is one tile right of the hero's top-left corner.
    player[0].x = 40;
    int i = Event(3, 2, EV_TALK | EV_CHEST, 4, "A chest.");
    const CMap fresh = map;
    script.Space(2);
    FieldUseAction();
    ASSERT_EQ(script.said.size(), 2u);
    EXPECT_EQ(script.said[1].second, "You find Potion!");
    EXPECT_EQ(player[0].inv[0].id, 4);  // the same press picks it up
    ASSERT_EQ(player[0].event_checks.size(), 2u);
    EXPECT_EQ(player[0].event_checks[0].map, "test.map");
    EXPECT_EQ(player[0].event_checks[0].x, 3);
    EXPECT_EQ(player[0].event_checks[0].y, 2);
    EXPECT_EQ(player[0].event_checks[1].x, 0);
    (void)i;

    map = fresh;  // reloaded from its file
    Script();
    script.Space();
    FieldUseAction();
    EXPECT_EQ(script.said.size(), 1u);  // only its text
    EXPECT_EQ(map.num_events, 1u);
    EXPECT_EQ(player[0].inv[1].id, 0);
}

TEST_F(Events, ChestWithAnUnknownItemStillOpensQuietly) {
    Event(2, 2, EV_CHEST, 0);
    script.Space();
    FieldUseAction();
    // No "You find"; the same press tries to pick up item 0, which is refused.
    ASSERT_EQ(script.said.size(), 1u);
    EXPECT_EQ(script.said[0].second, "Not enough room!");
    EXPECT_EQ(player[0].event_checks.size(), 2u);
    EXPECT_EQ(map.tiles[1][2][2].tile, OBJECT_TILE);
    EXPECT_EQ(map.num_events, 2u);
    EXPECT_EQ(player[0].inv[0].id, 0);
}

TEST_F(Events, AnObjectUnderTheHeroEndsTheScan) {
    Event(2, 2, EV_OBJECT, 4);
    Event(2, 2, EV_TALK);
    FieldUseAction();
    EXPECT_EQ(player[0].inv[0].id, 4);
    EXPECT_TRUE(script.said.empty());
}

TEST_F(Events, EventsAheadAllActAndNpcsAheadTalk) {
    Event(3, 2, EV_TALK, 0, "first");
    Event(3, 2, EV_TALK, 0, "second");
    Event(1, 2, EV_TALK, 0, "behind");
    PlaceNpc(48, 32);
    Talker(1, "Bob", "hey");
    script.Space(3);
    FieldUseAction();
    ASSERT_EQ(script.said.size(), 3u);
    EXPECT_EQ(script.said[0].second, "first");
    EXPECT_EQ(script.said[1].second, "second");
    EXPECT_EQ(script.said[2].second, "hey");
    Script();
    player[0].facing = 0;  // not facing anywhere yet
    FieldUseAction();
    EXPECT_TRUE(script.said.empty());
}

TEST_F(Events, TheHeroAtTheMapEdgeLooksOutsideSafely) {
    player[0].x = 0;
    player[0].y = 0;
    for (int f = 1; f <= 4; ++f) {
        player[0].facing = f;
        FieldUseAction();
    }
    player[0].x = 9 * 16;
    player[0].y = 9 * 16;
    for (int f = 1; f <= 4; ++f) {
        player[0].facing = f;
        FieldUseAction();
    }
    EXPECT_TRUE(script.said.empty());
}

}  // namespace
