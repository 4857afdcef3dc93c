// Whole battles on scripted keys: moving, attacking, potions, the monsters' turns and paths, victory, defeat and the close button.
#include <functional>
#include <string>
#include <utility>

#include "BattleRig.h"
#include "CBattleLoop.h"
#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "DataFiles.h"
#include "MapBuild.h"
#include "Quests.h"
#include "Rolls.h"
#include "StoryFacts.h"
#include "TempDir.h"
#include "Timing.h"

TEST_F(BattleRig, WholeBattleThroughTheKeys) {
    // The hero walks up to a Goblin Shaman (4 hit points, 2 gold, 2 exp), strikes, takes a blow,
    // drinks the companion's potion, ends a turn, and strikes again. The companion has not joined:
    // she has no turn, and her fall would not count.
    Monster(6, 5, 5);
    player[0].hp = 6;
    player[0].damage = 3;
    player[1].hp = 0;
    player[1].exp = INT_MAX - 1;  // a saved game's count near the top
    player[1].inv[3].id = HEALING_POTION;
    script_rolls({5, 2,   // the hero hits for 2 % 4
                  5, 2,   // the shaman hits for 2 % 3
                  0,      // the shaman misses
                  5, 3}); // the hero hits for 3: the shaman is down
    script.Hold(GK_RIGHT, 60);             // three cells: the shaman's cell is out of the range and taken
    AttackWith({GK_RIGHT});
    CloseBoxWithin(2);                     // the blow
    CloseBoxWithin(30);                    // the shaman's answer
    Choose(2);                             // "Use Item"
    CloseBoxWithin(2);
    for (int k : {GK_DOWN, GK_DOWN, GK_DOWN, GK_DOWN, GK_SPACE}) script.Tap(k);  // "End Turn" from the top
    CloseBoxWithin(30);                    // the miss
    AttackWith({GK_RIGHT});
    CloseBoxWithin(2);
    CloseBoxWithin(10);                    // victory

    EXPECT_EQ(Fight(), RunEnd::RETURNED);
    EXPECT_EQ(Said(), "Attacking: Goblin Shaman|Your attack does 2 damage! Leaving your enemy with 2 HP left.\n"
                      "Goblin Shaman|Attacks Arven and does 2 damage!!! HP is now 4(10)\n"
                      "|You have used a potion, your wounds magically heal!\n"
                      "Goblin Shaman:|Attacks Arven and misses!\n"
                      "Attacking: Goblin Shaman|Your attack does 3 damage! Leaving your enemy with -1 HP left.\n"
                      "|You WON! You accumulated 2 gold! You accumulated 2 exp!\n");
    EXPECT_EQ(player[0].x, 5u * 16u);
    EXPECT_EQ(battle.origin_x, 5 * 16);  // each new turn's range round the hero where he ended the last
    EXPECT_EQ(player[0].hp, 10);
    EXPECT_EQ(player[1].inv[3].id, 0);
    EXPECT_EQ(player[0].gold, 12);
    EXPECT_EQ(player[0].exp, 2);
    EXPECT_EQ(player[1].exp, INT_MAX);  // rewarded whether or not she has joined, and never wrapped
    EXPECT_EQ(map.num_npcs, 0u);
    EXPECT_EQ(script.timer_rates.front(), 60);
}

TEST_F(BattleRig, DeadMonsterTakesItsPathAlongAndAMonsterWithNoPathWaits) {
    // A walled-in goblin finds no path: it waits out its turn. The goblin next to the hero dies;
    // the warrior and the slime behind it move up a slot and must walk their own ways to the
    // hero, not the dead goblin's.
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
    EXPECT_EQ(Said(), "Attacking: A goblin|Your attack does 5 damage! Leaving your enemy with -3 HP left.\n"
                      "Goblin Warrior:|Attacks Arven and misses!\n"
                      "Blue Slime:|Attacks Arven and misses!\n");
    ASSERT_EQ(map.num_npcs, 3u);
    EXPECT_EQ(map.npcs[0].x, 12u * 16u);  // walled in
    EXPECT_EQ(map.npcs[1].x, 3u * 16u);   // seven cells left, next to the hero
    EXPECT_EQ(map.npcs[2].y, 6u * 16u);   // four cells up
    EXPECT_EQ(battle.turn, TURN_HERO);
}

TEST_F(BattleRig, PathsNeverDrainTheirPools) {
    Monster(12, 9, 2);
    Monster(14, 2, 2);
    WalledIn(Monster(7, 2, 2));  // its search fails
    CBattleLoop loop(battle);
    loop.SetUp();
    for (int i = 0; i < 1500; ++i) loop.Replan();  // a long battle's menus
    for (int i = 0; i < 2; ++i) {
        CMonsterPath& p = loop.paths[(size_t)i];
        EXPECT_EQ(p.Search().m_State, (unsigned)AStarSearch<MapSearchNode>::SEARCH_STATE_SUCCEEDED);
        EXPECT_LE(p.Search().NodesInUse(), 30u);  // just the path's cells
        EXPECT_NE(p.Next(), nullptr);
    }
    // A failed search holds nothing and gives no next cell.
    EXPECT_EQ(loop.paths[2].Search().NodesInUse(), 0u);
    EXPECT_EQ(loop.paths[2].Next(), nullptr);
}

TEST_F(BattleRig, MoreThan25MonstersFightTheFirst25) {
    for (int i = 0; i < 27; ++i) Monster(4 + i % 10, 1 + i / 10, 2);
    CBattleLoop loop(battle);
    loop.SetUp();
    EXPECT_EQ(map.num_npcs, 25u);
    EXPECT_EQ(map.npcs.size(), 25u);
    EXPECT_EQ(loop.paths.size(), 25u);
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_NE(script.messages[0].find("arena.map places 27 monsters; only the first 25 fight"), std::string::npos);
}

TEST_F(BattleRig, MusicComesFromThePlaylistAsOnTheField) {
    // With nothing heard each pass rolls: 0 stays silent for that pass, 12 % 9 plays song 3 once,
    // which is then heard and draws no more rolls.
    WalledIn(Monster(12, 10, 2));
    script.song_on = false;
    script_rolls({0, 12});
    script.Ticks(5).Grace(0);
    EXPECT_EQ(Fight(), RunEnd::SCRIPT_END);
    EXPECT_EQ(script.songs, std::vector<std::string>{"play 3"});
}

TEST_F(BattleRig, AltOpensOnlyTheHerosMenu) {
    quest.flags |= QF_COMPANION;
    WalledIn(Monster(12, 10, 2));
    script.Down(GK_ALT).Ticks(4).Up(GK_ALT);  // the hero's menu
    for (int k : {GK_DOWN, GK_DOWN, GK_DOWN, GK_DOWN, GK_SPACE}) script.Tap(k);
    script.Down(GK_ALT).Ticks(20).Up(GK_ALT).Ticks(4);  // not the companion's
    script.Grace(0);
    EXPECT_EQ(Fight(), RunEnd::SCRIPT_END);
    EXPECT_EQ(battle.turn, TURN_COMPANION);
    EXPECT_EQ(battle.origin_x, 2 * 16);  // her range is centred on her
    EXPECT_EQ(battle.origin_y, 7 * 16);
}

TEST_F(BattleRig, CloseButtonAsksInEveryBattleScreen) {
    Monster(12, 10, 2);
    struct Case {
        const char* screen;
        std::function<void()> reach;
    } cases[] = {
        {"field", [] {}},
        {"action menu", [this] { script.Tap(GK_SPACE); }},
        {"attack cursor", [this] { script.Tap(GK_SPACE).Tap(GK_DOWN).Tap(GK_SPACE); }},
        {"free look", [this] { script.Tap(GK_SPACE).Tap(GK_DOWN).Tap(GK_DOWN).Tap(GK_DOWN).Tap(GK_SPACE); }},
        {"status panel",
         [this] { script.Tap(GK_SPACE).Tap(GK_DOWN).Tap(GK_DOWN).Tap(GK_DOWN).Tap(GK_SPACE).Tap(GK_ENTER); }},
    };
    script.Grace(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.screen);
        map.npcs[0].x = 12 * 16;
        script.Clear();
        script.alerts.clear();
        c.reach();
        script.Ticks(5).AnswerAlert(1).Close().Ticks(5);
        EXPECT_EQ(Fight(), RunEnd::SCRIPT_END);  // "NO": the screen goes on
        ASSERT_EQ(script.alerts.size(), 1u);
        EXPECT_EQ(script.alerts[0].line1, "Are you sure you want to quit?");
    }
    script.Clear().Tap(GK_SPACE).AnswerAlert(2).Close().Ticks(5);
    EXPECT_EQ(Fight(), RunEnd::EXITED);  // "YES" ends the game
    EXPECT_EQ(exit_status, 0);
}

// Defeats, with the maps they lead to written to a game folder.
class BattleDefeat : public BattleRig {
protected:
    TempDir dir{TempDir::AS_GAME_FOLDER};
};

TEST_F(BattleDefeat, OnTheSparringGroundTheHeroIsHealed) {
    CMap home;
    make_map(home, 30, 20);
    ASSERT_EQ(home.SaveMap("./data/home.map"), 0);
    map.name = file_name_part(story::SPARRING_MAP);
    map.bdestmap = "./data/home.map";
    map.bdest_x = 96, map.bdest_y = 112;
    Monster(3, 5, 1);  // Tobin
    player[0].hp = 2;
    script_rolls({5, 2});
    Choose(4);
    CloseBoxWithin(30);
    script.Ticks(5);
    EXPECT_EQ(Fight(false), RunEnd::RETURNED);
    EXPECT_EQ(Said(), "Tobin|Attacks Arven and does 2 damage!!! HP is now 0(10)\n");
    EXPECT_EQ(player[0].hp, 10);
    EXPECT_EQ(player[0].exp, 0);
    EXPECT_EQ(map.name, "home.map");  // the way home after the sparring
    EXPECT_EQ(player[0].x, 96u);
    EXPECT_EQ(player[0].y, 112u);
}

TEST_F(BattleDefeat, ElsewhereTheDeathPictureLeadsToANewGameThatIsLeftAlone) {
    // A portal from the field into an arena where a thug finishes the hero; the start menu then
    // begins a new game on the home map, and neither the battle, the portal nor the rest of the
    // field's tick go back to the old game or act on the new one.
    CMap home, field;
    make_map(home, 20, 15);
    add_event(home, 0, 0, EV_STEP_MESSAGE).text = "Welcome home.";  // under the new game's hero
    ASSERT_EQ(home.SaveMap("./data/duskwing.map"), 0);
    make_map(field, 20, 15);
    add_portal(field, 64, 64, "./data/arena.map", 0, 0);
    ASSERT_EQ(field.SaveMap("./data/field.map"), 0);
    Monster(3, 5, 14);  // "Thug", damage 7
    ASSERT_EQ(map.SaveMap("./data/arena.map"), 0);
    BITMAP* death = create_bitmap(40, 30);
    clear_to_color(death, makecol(90, 10, 10));
    ASSERT_EQ(save_bitmap("./data/deathscene.tga", death, nullptr), 0);
    destroy_bitmap(death);

    ASSERT_EQ(map.LoadMap("./data/field.map"), 0);
    player[0].x = player[0].y = 64;
    player[0].hp = 3;
    player[0].won_battles[0] = "cave.map";
    const unsigned int games = games_begun;
    bool picture_shown = false;  // the 40 x 30 picture centred, while the game waits for a key
    script.each_idle = [&] {
        const int red = makecol(90, 10, 10);
        picture_shown |= ScreenPixel(300, 225) == red && ScreenPixel(339, 254) == red && ScreenPixel(299, 224) == 0 &&
                         ScreenPixel(340, 255) == 0;
    };
    script_rolls({5, 7});
    Choose(4);
    CloseBoxWithin(30);
    script.Held(GK_RIGHT);  // walked into from the field with an arrow held
    script.Ticks(5).Tap(GK_ENTER).Ticks(5).Tap(GK_SPACE).Ticks(5);  // any key, then "new game" in the start menu
    EXPECT_EQ(Run([] { FieldTick(); }), RunEnd::RETURNED);
    EXPECT_TRUE(picture_shown);
    EXPECT_EQ(games_begun, games + 1);
    EXPECT_EQ(map.name, "duskwing.map");
    EXPECT_EQ(player[0].won_battles[0], "empty");  // the old game's record went with it
    EXPECT_GE(player[0].hp, 8);                     // a fresh hero
    EXPECT_EQ(player[0].x, 0u);                     // not stepped on by the old game's arrow
    EXPECT_EQ(Said(), "Thug|Attacks Arven and does 7 damage!!! HP is now -4(10)\n");  // no welcome
}
