// Map event actions and the use key: inn, switches, trainers, the cells the use key looks at, piles and chests.
#include <tuple>
#include <vector>

#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "Grid.h"
#include "Interaction.h"
#include "PeopleRig.h"
#include "Quests.h"
#include "SaveFile.h"
#include "TempDir.h"
#include "Timing.h"

namespace {

class Events : public PeopleRig {
protected:
    TempDir dir{TempDir::AS_GAME_FOLDER};  // opening a chest saves the game here

    void SetUp() override {
        PeopleRig::SetUp();
        MakeMap(10, 10);
        player[0].x = player[0].y = 32, player[0].facing = DIR_RIGHT;  // the tile ahead is (3, 2)
        Item(4, "Potion", IT_USABLE, 0, 0);
    }
    int Event(int c, int r, int type, int q = 0, const char* text = "text") {
        const int i = AddEvent(c, r, type, q);
        map.events[i].speaker = "Clerk", map.events[i].text = text;
        return i;
    }
    CScriptHost& Script(int spaces = 0) { script.said.clear(); return script.Clear().Space(spaces); }  // afresh
};

TEST_F(Events, InnHealsForFiveGoldAndRefusesFour) {
    const int i = Event(3, 2, EV_INN);
    player[0].max_hp = 20;
    const struct { int gold; bool yes; int gold_after, hp_after; } cases[] = {
        {5, true, 0, 20}, {4, true, 4, 3}, {5, false, 5, 3}};
    for (const auto& c : cases) {
        player[0].gold = c.gold, player[0].hp = 3;
        Script().Answer(c.yes).Space();
        HandleEvents(i);
        EXPECT_EQ(std::make_pair(player[0].gold, player[0].hp), std::make_pair(c.gold_after, c.hp_after)) << c.gold << c.yes;
    }
    EXPECT_EQ(script.said.back().second, "Piss off then!");
}

TEST_F(Events, SwitchUsedTwiceReturnsItsTileAndRunsItsQuestTwice) {
    const int i = Event(3, 2, EV_SWITCH, 0x200000);
    map.tiles[0][2][3].tile = 40;
    for (int tile : {41, 40}) {
        quest.flags = 0;
        Script(1);
        HandleEvents(i);
        EXPECT_EQ(std::make_pair(map.tiles[0][2][3].tile, quest.flags), std::make_pair(tile, (uint64_t)0x200000));
    }
}

// The trainer levels the member chosen (LEFT/RIGHT once per press, once she has joined) when earned, at once.
TEST_F(Events, TrainerLevelsTheChosenMemberWhenEarnedAndStrengthensAtOnce) {
    Item(3, "Sword", IT_WEAPON, 3, 0);
    player[0].inv[0].id = 3;
    player[0].WearObject(3, 0);
    const struct { uint64_t flags; int level, exp; std::vector<std::pair<int, int>> presses; int trained; } cases[] = {
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
        quest.flags = c.flags;
        for (CPlayer& p : player) {
            p.level = c.level, p.exp = c.exp, p.max_hp = 10, p.hp = 2, p.base_damage = 1;
            p.UpdateStats();
        }
        Script(1);
        for (const auto& k : c.presses) script.Ticks(1).Hold(k.first, k.second).Ticks(1);
        script.Tap(GK_DOWN).Space(2);
        HandleEvents(Event(3, 2, EV_TRAINER));
        for (int k : {0, 1}) {
            const bool trained = k == c.trained;
            EXPECT_EQ(std::make_tuple(player[k].level, player[k].hp, player[k].damage),
                      std::make_tuple(c.level + trained, trained ? 14 : 2, 1 + trained + (k == 0 ? 3 : 0)))
                << "flags " << c.flags << ", exp " << c.exp << ", " << c.presses.size() << " presses, member " << k;
        }
    }
}

// The use key looks at both cells past the side faced, also off the grid: at (40, 40) he covers cells 2 and 3.
TEST_F(Events, UseKeyFindsTheSignAheadOffTheGrid) {
    const int cases[][3] = {{DIR_UP, 3, 1}, {DIR_DOWN, 2, 4}, {DIR_RIGHT, 4, 3}, {DIR_LEFT, 1, 2}};
    player[0].x = player[0].y = 40;
    for (const auto& c : cases) {
        MakeMap(10, 10);
        Event(c[1], c[2], EV_TALK, 0, "A sign.");
        player[0].facing = c[0];
        Script(1);
        FieldUseAction();
        EXPECT_EQ(script.said.size(), 1u) << c[0];
    }
}

// SPACE held in the field takes one object of a pile, not the whole pile.
TEST_F(Events, SpaceHeldInTheFieldPicksUpOneObjectOfAPile) {
    for (int k = 0; k < 3; ++k) Event(2, 2, EV_OBJECT, 4);
    script.Grace(0).Ticks(2).Hold(GK_SPACE, 20).Ticks(2);
    RunField();
    EXPECT_EQ(std::make_tuple(player[0].inv[0].id, player[0].inv[1].id, map.num_events), std::make_tuple(4, 0, 2u));
}

// The chest's own save holds its find in the pack, and a chest stays opened when its map is read again.
TEST_F(Events, ChestSavesItsFindAndStaysOpenedAfterTheMapIsReloaded) {
    player[0].x = 40;
    Event(3, 2, EV_TALK | EV_CHEST, 4, "A chest.");
    const CMap fresh = map;
    Script(2);
    FieldUseAction();
    EXPECT_EQ(player[0].inv[0].id, 4);
    SavedGame saved;
    std::string problem;
    ASSERT_TRUE(read_save_file("player.sav", saved, problem)) << problem;
    EXPECT_EQ(saved.member[0].inv[0].id, 4);
    EXPECT_TRUE(!saved.event_checks.empty() && saved.event_checks[0].x == 3);  // and the chest as opened
    map = fresh;
    Script(1);
    FieldUseAction();
    EXPECT_EQ(script.said.size(), 1u);  // only its text
    EXPECT_EQ(player[0].inv[1].id, 0);
}

}  // namespace
