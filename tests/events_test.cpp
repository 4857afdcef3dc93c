// Map event actions and the use key: inn, switches, trainers, the cells the use key looks at, piles, chests, talking.
#include <gtest/gtest.h>

#include <vector>

#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "Grid.h"
#include "Interaction.h"
#include "PeopleRig.h"
#include "TempDir.h"
#include "Quests.h"
#include "SaveFile.h"
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

// The trainer levels the member chosen (LEFT or RIGHT switches once per press however long it is
// held, and only once the companion has joined) when the experience allows: 4 more hit points,
// healed, and the damage point counts at once, the hero's sword still worn.
TEST_F(Events, TrainerLevelsTheChosenMemberWhenEarnedAndStrengthensAtOnce) {
    Item(3, "Sword", IT_WEAPON, 3, 0);
    player[0].inv[0].id = 3;
    player[0].WearObject(3, 0);
    struct Press {
        int key, ticks;
    };
    const struct {
        uint64_t flags;
        int level, exp;
        std::vector<Press> presses;
        int trained;  // -1: nobody
    } cases[] = {
        {0, 1, 5, {}, -1},
        {0, MAX_LEVEL, 1000000, {}, -1},  // a level past the table (a damaged save) trains no further
        {0, 1, 6, {{GK_RIGHT, 2}}, 0},
        {0, 1, 6, {{GK_LEFT, 2}}, 0},
        {QF_COMPANION, 1, 6, {}, 0},
        {QF_COMPANION, 1, 6, {{GK_RIGHT, 2}}, 1},
        {QF_COMPANION, 1, 6, {{GK_LEFT, 30}}, 1},
        {QF_COMPANION, 1, 6, {{GK_RIGHT, 2}, {GK_LEFT, 2}}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "flags " << c.flags << ", level " << c.level << ", exp " << c.exp << ", "
                                          << c.presses.size() << " presses");
        quest.flags = c.flags;
        for (CPlayer& p : player) {
            p.level = c.level, p.exp = c.exp, p.max_hp = 10, p.hp = 2, p.base_damage = 1;
            p.UpdateStats();
        }
        Script();
        script.Space();
        for (const Press& k : c.presses) script.Ticks(1).Hold(k.key, k.ticks).Ticks(1);
        script.Tap(GK_DOWN).Space().Space();
        HandleEvents(Event(3, 2, EV_TRAINER));
        for (int k : {0, 1}) {
            const bool trained = k == c.trained;
            EXPECT_EQ(player[k].level, c.level + trained) << "member " << k;
            EXPECT_EQ(player[k].hp, trained ? 14 : 2) << "member " << k;
            EXPECT_EQ(player[k].damage, 1 + trained + (k == 0 ? 3 : 0)) << "member " << k;
        }
    }
}

// The use key looks at the two cells just past the side the hero faces, also when free walking
// left him off the 16-pixel grid: at (40, 40) he covers cells 2 and 3 both ways.
TEST_F(Events, UseKeyFindsTheSignAheadOffTheGrid) {
    struct Case {
        int facing, c, r;
    } cases[] = {{DIR_UP, 3, 1}, {DIR_DOWN, 2, 4}, {DIR_RIGHT, 4, 3}, {DIR_LEFT, 1, 2}};
    player[0].x = player[0].y = 40;
    for (const Case& c : cases) {
        MakeMap(10, 10);
        Event(c.c, c.r, EV_TALK, 0, "A sign.");
        player[0].facing = c.facing;
        Script();
        script.Space();
        FieldUseAction();
        EXPECT_EQ(script.said.size(), 1u) << c.facing;
    }
}

// SPACE held in the field takes one object of a pile, not the whole pile.
TEST_F(Events, SpaceHeldInTheFieldPicksUpOneObjectOfAPile) {
    for (int k = 0; k < 3; ++k) Event(2, 2, EV_OBJECT, 4);
    script.Grace(0).Ticks(2).Hold(GK_SPACE, 20).Ticks(2);
    RunField();
    EXPECT_EQ(player[0].inv[0].id, 4);
    EXPECT_EQ(player[0].inv[1].id, 0);
    EXPECT_EQ(map.num_events, 2u);
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

// The chest's automatic save holds its find in the pack: a load must not find the chest opened
// and the find gone.
TEST_F(Events, TheChestsSaveHoldsTheFindInThePack) {
    player[0].x = 40;
    Event(3, 2, EV_CHEST, 4);
    script.Space();
    FieldUseAction();
    ASSERT_EQ(player[0].inv[0].id, 4);
    SavedGame saved;
    std::string problem;
    ASSERT_TRUE(read_save_file("player.sav", saved, problem)) << problem;
    EXPECT_EQ(saved.member[0].inv[0].id, 4);
    ASSERT_GE(saved.event_checks.size(), 1u);
    EXPECT_EQ(saved.event_checks[0].x, 3);
}

// SPACE in the real field loop opens the box of the NPC ahead over the field; only a fresh SPACE
// closes it, and the field is drawn again.
TEST_F(Events, SpaceInTheFieldTalksToTheNpcAheadUntilAFreshSpace) {
    PlaceNpc(48, 32).dir = 7;  // stands still, right of the hero
    Talker(1, "Bob", "Nice day.");
    player[1].x = player[1].y = 32;
    const int box_grey = makecol16(192, 192, 192);
    script.Grace(0).Ticks(2).Press(GK_SPACE).Ticks(5);
    EXPECT_EQ(RunField(), RunEnd::SCRIPT_END);
    ASSERT_EQ(script.said.size(), 1u);
    EXPECT_EQ(ScreenPixel(5, 475), box_grey);  // the box still waits
    Script();
    script.Grace(0).Ticks(2).Press(GK_SPACE).Ticks(3).Press(GK_SPACE).Ticks(3);
    EXPECT_EQ(RunField(), RunEnd::SCRIPT_END);
    EXPECT_EQ(script.said.size(), 1u);
    EXPECT_NE(ScreenPixel(5, 475), box_grey);
}

}  // namespace
