// Whole battles on scripted keys: moving, attacking, potions, the monsters' turns and paths, victory, defeat and the close button.
#include <climits>
#include <tuple>

#include "BattleRig.h"
#include "CMap.h"
#include "CPlayer.h"
#include "CBattleLoop.h"
#include "CMain.h"
#include "DataFiles.h"
#include "MapBuild.h"
#include "Quests.h"
#include "Rolls.h"
#include "StoryFacts.h"
#include "TempDir.h"
#include "Timing.h"

// Walk, strike, a miss back, strike: the fallen companion who has not joined has no turn, yet her reward does not wrap.
TEST_F(BattleRig, WholeBattleThroughTheKeys) {
    // Move, strike, take a blow, drink the potion from the companion's pack (she has not joined),
    // end the turn, strike again and win.
    Monster(6, 5, 5);
    player[0].hp = 6, player[0].damage = 3;
    player[1].hp = 0, player[1].exp = INT_MAX - 1;
    player[1].inv[3].id = HEALING_POTION;
    script_rolls({5, 2, 5, 2, 0, 5, 3});  // hero 2, shaman 2, shaman misses, hero 3
    script.Hold(GK_RIGHT, 60);
    AttackWith({GK_RIGHT});
    CloseBoxWithin(2);
    CloseBoxWithin(30);  // the shaman's blow
    Choose(2);           // "Use Item"
    CloseBoxWithin(2);
    for (int k : {GK_DOWN, GK_DOWN, GK_DOWN, GK_DOWN, GK_SPACE}) script.Tap(k);  // "End Turn"
    CloseBoxWithin(30);  // the shaman's miss
    AttackWith({GK_RIGHT});
    CloseBoxWithin(2);
    CloseBoxWithin(10);  // victory
    EXPECT_EQ(Fight(), RunEnd::RETURNED);
    EXPECT_EQ(Said(), "Attacking: Goblin Shaman|Your attack does 2 damage! Leaving your enemy with 2 HP left.\n"
                      "Goblin Shaman|Attacks Arven and does 2 damage!!! HP is now 4(10)\n"
                      "|You have used a potion, your wounds magically heal!\n"
                      "Goblin Shaman:|Attacks Arven and misses!\n"
                      "Attacking: Goblin Shaman|Your attack does 3 damage! Leaving your enemy with -1 HP left.\n"
                      "|You WON! You accumulated 2 gold! You accumulated 2 exp!\n");
    EXPECT_EQ(battle.origin_x, 5 * 16);  // each new turn's range round the hero where he ended the last
    EXPECT_EQ(std::make_tuple(player[0].hp, player[1].inv[3].id), std::make_tuple(10, 0));
    EXPECT_EQ(std::make_tuple(player[0].gold, player[0].exp, player[1].exp), std::make_tuple(12, 2, INT_MAX));
    EXPECT_EQ(map.num_npcs, 0u);
    EXPECT_EQ(script.timer_rates.front(), 60);
}

// A monster with no path waits; those behind a dead one move up a slot and walk their own paths, not its.
TEST_F(BattleRig, DeadMonsterTakesItsPathAlongAndAMonsterWithNoPathWaits) {
    WalledIn(Monster(12, 2, 2));
    Monster(3, 5, 2);
    Monster(10, 5, 4);   // "Goblin Warrior"
    Monster(2, 10, 10);  // "Blue Slime"
    player[0].damage = 5;
    script_rolls({5, 5, 0, 0});  // the goblin takes 5; both others miss
    AttackWith({GK_RIGHT});
    CloseBoxWithin(2);
    CloseBoxWithin(150);
    CloseBoxWithin(150);
    script.Ticks(5).Grace(0);
    EXPECT_EQ(Fight(), RunEnd::SCRIPT_END);
    EXPECT_EQ(script.said.size(), 3u);  // the goblin's fall, the warrior's and the slime's misses
    ASSERT_EQ(map.num_npcs, 3u);
    EXPECT_EQ(std::make_tuple(map.npcs[0].x, map.npcs[1].x, map.npcs[2].y, battle.turn),
              std::make_tuple(192u, 48u, 96u, TURN_HERO));  // walled in; seven cells left; four up
}

// Replanning keeps each search to its path's cells, a failed one to none; only the first 25 monsters fight.
TEST_F(BattleRig, PathsNeverDrainTheirPoolsAndOnly25MonstersFight) {
    Monster(12, 9, 2);
    Monster(14, 2, 2);
    WalledIn(Monster(7, 2, 2));
    {
        CBattleLoop loop(battle);
        loop.SetUp();
        for (int i = 0; i < 1500; ++i) loop.Replan();
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_LE(loop.paths[i].Search().NodesInUse(), i < 2 ? 30u : 0u) << i;
            EXPECT_EQ(loop.paths[i].Next() != nullptr, i < 2) << i;
        }
    }
    for (int i = 3; i < 27; ++i) Monster(4 + i % 10, 4 + i / 10, 2);
    CBattleLoop crowded(battle);
    crowded.SetUp();
    EXPECT_EQ(std::make_tuple(map.num_npcs, map.npcs.size(), crowded.paths.size()), std::make_tuple(25u, 25ul, 25ul));
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_NE(script.messages[0].find("arena.map places 27 monsters; only the first 25 fight"), std::string::npos);
}

// The playlist rolls while nothing is heard (0: silence); Alt opens the hero's menu but not the companion's.
TEST_F(BattleRig, MusicFromThePlaylistAndAltOpensOnlyTheHerosMenu) {
    quest.flags |= QF_COMPANION;
    WalledIn(Monster(12, 10, 2));
    script.song_on = false;
    script_rolls({0, 12});
    script.Down(GK_ALT).Ticks(4).Up(GK_ALT);
    for (int k : {GK_DOWN, GK_DOWN, GK_DOWN, GK_DOWN, GK_SPACE}) script.Tap(k);  // "End Turn"
    script.Down(GK_ALT).Ticks(20).Up(GK_ALT).Ticks(4).Grace(0);
    EXPECT_EQ(Fight(), RunEnd::SCRIPT_END);
    EXPECT_EQ(script.songs, std::vector<std::string>{"play 3"});
    EXPECT_EQ(std::make_tuple(battle.turn, battle.origin_x, battle.origin_y), std::make_tuple(TURN_COMPANION, 32, 112));
}

TEST_F(BattleRig, CloseButtonAsksInEveryBattleScreen) {
    Monster(12, 10, 2);
    // From the field to itself, the action menu, the attack cursor, the free look, its status panel.
    const std::vector<int> ways[] = {{}, {GK_SPACE}, {GK_SPACE, GK_DOWN, GK_SPACE},
                                     {GK_SPACE, GK_DOWN, GK_DOWN, GK_DOWN, GK_SPACE},
                                     {GK_SPACE, GK_DOWN, GK_DOWN, GK_DOWN, GK_SPACE, GK_ENTER}};
    script.Grace(0);
    for (const auto& taps : ways) {
        map.npcs[0].x = 12 * 16;
        script.Clear().alerts.clear();
        for (int k : taps) script.Tap(k);
        script.Ticks(5).AnswerAlert(1).Close().Ticks(5);
        EXPECT_EQ(Fight(), RunEnd::SCRIPT_END) << taps.size();  // "NO": the screen goes on
        EXPECT_EQ(script.alerts.size(), 1u) << taps.size();
    }
    script.Clear().Tap(GK_SPACE).AnswerAlert(2).Close().Ticks(5);
    EXPECT_EQ(Fight(), RunEnd::EXITED);  // "YES" ends the game
    EXPECT_EQ(exit_status, 0);
}

// Defeats, with the maps they lead to written to a game folder.
class BattleDefeat : public BattleRig {
    TempDir dir{TempDir::AS_GAME_FOLDER};
};

TEST_F(BattleDefeat, OnTheSparringGroundTheHeroIsHealedAndSentHome) {
    CMap home;
    make_map(home, 30, 20);
    ASSERT_EQ(home.SaveMap("./data/home.map"), 0);
    map.name = file_name_part(story::SPARRING_MAP), map.bdestmap = "./data/home.map", map.bdest_x = 96, map.bdest_y = 112;
    Monster(3, 5, 1);  // Tobin
    player[0].hp = 2;
    script_rolls({5, 2});
    Choose(4);
    CloseBoxWithin(30);
    script.Ticks(5);
    EXPECT_EQ(Fight(false), RunEnd::RETURNED);
    EXPECT_EQ(Said(), "Tobin|Attacks Arven and does 2 damage!!! HP is now 0(10)\n");
    EXPECT_EQ(std::make_tuple(player[0].hp, player[0].exp, map.name, player[0].x, player[0].y),
              std::make_tuple(10, 0, std::string("home.map"), 96u, 112u));
}

// Killed in an arena entered from the field: the death picture, then a new game that nothing of the old one touches.
TEST_F(BattleDefeat, ElsewhereTheDeathPictureLeadsToANewGameThatIsLeftAlone) {
    CMap home, field;
    make_map(home, 20, 15);
    add_event(home, 0, 0, EV_STEP_MESSAGE).text = "Welcome home.";  // under the new game's hero
    ASSERT_EQ(home.SaveMap("./data/duskwing.map"), 0);
    make_map(field, 20, 15);
    add_portal(field, 64, 64, "./data/arena.map", 0, 0);
    ASSERT_EQ(field.SaveMap("./data/field.map"), 0);
    Monster(3, 5, 14);  // "Thug", damage 7
    ASSERT_EQ(map.SaveMap("./data/arena.map"), 0);
    const int red = makecol(90, 10, 10);
    BITMAP* death = create_bitmap(40, 30);
    clear_to_color(death, red);
    ASSERT_EQ(save_bitmap("./data/deathscene.tga", death, nullptr), 0);
    destroy_bitmap(death);
    ASSERT_EQ(map.LoadMap("./data/field.map"), 0);
    player[0].x = player[0].y = 64, player[0].hp = 3, player[0].won_battles[0] = "cave.map";
    const unsigned int games = games_begun;
    bool picture_shown = false;  // centred
    script.each_idle = [&] { picture_shown |= ScreenPixel(300, 225) == red && ScreenPixel(299, 224) == 0; };
    script_rolls({5, 7});
    Choose(4);
    CloseBoxWithin(30);
    script.Held(GK_RIGHT);  // walked into from the field with an arrow held
    script.Ticks(5).Tap(GK_ENTER).Ticks(5).Tap(GK_SPACE).Ticks(5);  // any key, then "new game"
    EXPECT_EQ(Run([] { FieldTick(); }), RunEnd::RETURNED);
    EXPECT_TRUE(picture_shown && games_begun == games + 1);
    EXPECT_EQ(std::make_tuple(map.name, player[0].won_battles[0], player[0].x),
              std::make_tuple("duskwing.map", "empty", 0u));  // no old record, not moved by the old game's arrow
    EXPECT_EQ(Said(), "Thug|Attacks Arven and does 7 damage!!! HP is now -4(10)\n");  // no welcome
}
