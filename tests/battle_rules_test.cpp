// Battle rules: the movement range and attack areas cell by cell, the monsters' and the party's blows, the cursors and the status panel.
#include <climits>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "BattleRig.h"
#include "CBattleLoop.h"
#include "CDisplay.h"
#include "CMap.h"
#include "CMenu.h"
#include "MapBuild.h"
#include "CPlayer.h"
#include "Quests.h"
#include "Rolls.h"
#include "Timing.h"

namespace {

using Cells = std::set<std::pair<int, int>>;

// The cells of a picture drawn round its middle character: '#' is in, anything else out.
Cells picture(const std::vector<std::string>& rows) {
    Cells in;
    const int h = (int)rows.size(), w = (int)rows[0].size();
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
            if (rows[r][c] == '#') in.insert({c - w / 2, r - h / 2});
    return in;
}

Cells range_cells(int range) {
    Cells in;
    for (const CellOffset& o : movement_range_shape(range)) in.insert({o.dx, o.dy});
    return in;
}

Cells area_cells(int reach) {
    Cells in;
    for (int dy = -6; dy <= 6; ++dy)
        for (int dx = -6; dx <= 6; ++dx)
            if (in_attack_area(dx, dy, reach)) in.insert({dx, dy});
    return in;
}

// The marked cells of the battle grid.
Cells marked() {
    Cells in;
    for (size_t r = 0; r < battle.grid.size(); ++r)
        for (size_t c = 0; c < battle.grid[r].size(); ++c)
            if (battle.grid[r][c].marked) in.insert({(int)c, (int)r});
    return in;
}

}  // namespace

TEST(BattleShapes, MovementRangeByRays) {
    // No ray reaches a whole radius along an axis: range 1 and 2 keep only the centre.
    const int sizes[] = {0, 1, 1, 9, 25, 45, 69};
    for (int range = 0; range <= 6; ++range) EXPECT_EQ(range_cells(range).size(), (size_t)sizes[range]) << range;
    EXPECT_EQ(range_cells(-3).size(), 0u);
    EXPECT_EQ(range_cells(5), picture({".#####.",
                                       "#######",
                                       "#######",
                                       "#######",
                                       "#######",
                                       "#######",
                                       ".#####."}));
}

TEST(BattleShapes, AttackAreas) {
    EXPECT_EQ(area_cells(1), picture({".#.",
                                      "###",
                                      ".#."}));
    EXPECT_EQ(area_cells(2), picture({"###", "###", "###"}));  // two steps along an axis: 4 is not below 4
    EXPECT_EQ(area_cells(3).size(), 25u);
    EXPECT_EQ(area_cells(4), picture({".#####.",
                                      "#######",
                                      "#######",
                                      "#######",
                                      "#######",
                                      "#######",
                                      ".#####."}));
    EXPECT_TRUE(area_cells(0).empty());
    EXPECT_TRUE(area_cells(-4).empty());
    // A huge reach from a damaged save does not overflow into nothing.
    EXPECT_TRUE(in_attack_area(40000, 40000, 2147483647));
}

class BattleGrid : public BattleRig {
protected:
    void SetUp() override {
        BattleRig::SetUp();
        battle.ShapeGrid();
    }
};

TEST_F(BattleGrid, RangesAndAreasSkipColumnZeroRowZeroAndCellsOffTheMap) {
    battle.origin_x = 16, battle.origin_y = 16;  // cell (1, 1): rays reach column 0 and row 0
    battle.DrawGrid(0, 5);
    EXPECT_EQ(marked().size(), 4u * 4u - 1u);  // columns and rows 1..4 of the shape, less its corner (4, 4)
    EXPECT_FALSE(battle.Marked(4, 4));
    EXPECT_FALSE(battle.Marked(0, 1));
    battle.ClearGrid();
    battle.origin_x = 15 * 16, battle.origin_y = 11 * 16;  // the far corner
    battle.DrawGrid(0, 5);
    EXPECT_EQ(marked().size(), 4u * 4u - 1u);
    EXPECT_FALSE(battle.Marked(12, 8));
    battle.ClearGrid();
    battle.DrawGrid(0, 2000000000);  // a range from a damaged save covers the map and no more
    EXPECT_EQ(marked().size(), 15u * 11u);

    battle.ClearGrid();
    battle.MarkAttackArea(0, 0, 3, false, 0, 0);  // attack areas keep their cells of column and row 0
    EXPECT_EQ(marked(), Cells({{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}}));
    battle.ClearGrid();
    battle.MarkAttackArea(15, 11, 1, false, 0, 0);
    EXPECT_EQ(marked(), Cells({{15, 11}, {14, 11}, {15, 10}}));
    EXPECT_FALSE(battle.Marked(16, 11));
}

TEST_F(BattleGrid, TurnFrameTintsTheRangeRed) {
    map.SetPositions();
    battle.origin_x = (int)player[0].x, battle.origin_y = (int)player[0].y;
    battle.turn = TURN_HERO;
    battle.DrawTurnFrame();
    const int ground = tile_colour(cell_tile(4, 5)), tinted = PagePixel(4 * 16 + 3, 5 * 16 + 3);  // 2 cells right
    EXPECT_GT(getr16(tinted), getr16(ground) + 100);
    EXPECT_LT(getg16(tinted), getg16(ground));
    EXPECT_EQ(PagePixel(9 * 16 + 3, 5 * 16 + 3), tile_colour(cell_tile(9, 5)));  // out of range
    EXPECT_EQ(marked().size(), 45u - 5u - 7u);  // from (2, 5) the range's columns 0 and -1 are left out
    // The monsters' turn shows no range.
    battle.turn = TURN_MONSTERS;
    battle.DrawTurnFrame();
    EXPECT_TRUE(marked().empty());
}

// A monster's blow: victim, rolls and words.
class MonsterBlow : public BattleRig {
protected:
    void SetUp() override {
        BattleRig::SetUp();
        battle.ShapeGrid();
        player[0].x = 5 * 16, player[0].y = 5 * 16;
        player[1].x = 1 * 16, player[1].y = 1 * 16;
        quest.flags |= QF_COMPANION;
    }
    bool Strike(int monster, int target) {
        const CNpc& m = map.npcs[monster];
        bool hit = false;
        script.Clear().Space();  // closes the box of the blow, if there is one
        Run([&] { hit = battle.NpcAttack(monster, (int)m.x, (int)m.y, target); });
        return hit;
    }
};

TEST_F(MonsterBlow, RollsDecideMissArmourAndDamage) {
    Monster(6, 5, 2).LoadStats();  // "A goblin", damage 2, right of the hero
    struct Case {
        std::initializer_list<int> rolls;
        int ac;
        const char* said;
        int hp_after;
        int hp = 10;
    } cases[] = {
        {{1}, 0, "A goblin:|Attacks Arven and misses!\n", 10},                     // 2 of 10: a miss
        {{2, 0}, 0, "A goblin|Attacks Arven and does 0 damage!!! HP is now 10(10)\n", 10},
        {{2, 0}, 1, "|Your armour protects you from harm!\n", 10},                 // 0 is below armour 1
        {{9, 5}, 1, "A goblin|Attacks Arven and does 2 damage!!! HP is now 8(10)\n", 8},  // armour does not reduce it
        // Hit points at the bottom of the range (a doctored save) stay there rather than wrap round.
        {{9, 5}, 0, "A goblin|Attacks Arven and does 2 damage!!! HP is now -2147483648(10)\n", INT_MIN, INT_MIN + 1},
    };
    for (const Case& c : cases) {
        script.said.clear();
        player[0].hp = c.hp;
        player[0].ac = c.ac;
        script_rolls(c.rolls);
        EXPECT_TRUE(Strike(0, 0));
        EXPECT_EQ(Said(), c.said);
        EXPECT_EQ(player[0].hp, c.hp_after);
    }
}

TEST_F(MonsterBlow, VictimsWithinReach) {
    // The hero stands on (5, 5). Each blow misses, so the words name the victim.
    struct Case {
        int kind, c, r;        // the monster
        int comp_c, comp_r;    // the companion
        int target;
        const char* victim;    // "" for no blow at all
    } cases[] = {
        {2, 6, 5, 7, 5, 0, "Miresa"},    // reach 1 looks right, left, below, above: right comes first
        {2, 10, 5, 1, 1, 0, ""},         // nobody touching it: no blow, no words
        {9, 5, 3, 6, 4, 1, "Miresa"},    // "Skeletal Archer", reach 3, strikes its target in reach...
        {9, 5, 3, 12, 4, 1, "Arven"},    // ...and the other member when the target is out of it
        {9, 5, 3, 5, 6, 0, "Arven"},     // its target wins, though she comes later in reading order
    };
    for (const Case& c : cases) {
        map.npcs.clear();
        Monster(c.c, c.r, c.kind).LoadStats();
        player[1].x = (unsigned)c.comp_c * 16, player[1].y = (unsigned)c.comp_r * 16;
        script.said.clear();
        script_rolls({1});
        const bool blow = *c.victim != 0;
        EXPECT_EQ(Strike(0, c.target), blow) << c.kind << " at " << c.c << "," << c.r;
        if (blow) EXPECT_EQ(Said(), map.npcs[0].name + ":|Attacks " + c.victim + " and misses!\n");
        else EXPECT_TRUE(script.said.empty());
        clear_scripted_rolls();
    }
}

TEST_F(MonsterBlow, CompanionWhoHasNotJoinedStandsAsideForTheBattle) {
    quest.flags = 0;
    map.p0_x = 10;
    map.p1_x = 5, map.p1_y = 5;
    Monster(6, 5, 2);
    CBattleLoop loop(battle);
    loop.SetUp();
    EXPECT_FALSE(Strike(0, 0));  // her start tile touches the goblin, but she is not on the field
    player[0].x = 5 * 16, player[0].y = 5 * 16;
    script_rolls({1});
    EXPECT_TRUE(Strike(0, 0));
    EXPECT_EQ(Said(), "A goblin:|Attacks Arven and misses!\n");
    loop.Finish();
    EXPECT_EQ(player[1].x, 5u * 16u);  // back on her start tile
    EXPECT_EQ(player[1].y, 5u * 16u);
}

TEST_F(BattleGrid, AttackCursorKeepsToTheAreaStrikesOnlyAMonsterAndCancels) {
    player[0].x = player[0].y = 5 * 16;
    Monster(5, 4, 2).LoadStats();
    script.Grace(0);
    script.Tap(GK_RIGHT).Tap(GK_RIGHT)   // one cell right; the second is out of reach
        .Tap(GK_SPACE)                   // an empty cell: nothing
        .Tap(GK_LEFT).Tap(GK_SPACE)      // its own cell: nothing
        .Tap(GK_UP).Tap(GK_SPACE)        // the goblin above
        .Tap(GK_SPACE);                  // closes the miss's box
    script_rolls({0});
    bool attacked = false;
    EXPECT_EQ(Run([&] { attacked = battle.AttackSelect(0); }), RunEnd::RETURNED);
    EXPECT_TRUE(attacked);
    EXPECT_EQ(Said(), "|Your attack missed!\n");
    // The last frame shows the cursor on the goblin: red outside, yellow inside.
    EXPECT_EQ(ScreenPixel(5 * 16, 4 * 16), makecol(255, 0, 0));
    EXPECT_EQ(ScreenPixel(5 * 16 + 1, 4 * 16 + 1), makecol(255, 255, 0));

    // Alt, Escape and either Control leave without a blow.
    for (int key : {GK_ALT, GK_ESC, GK_LCONTROL, GK_RCONTROL}) {
        script.Clear().Ticks(2).Hold(key, 2);
        EXPECT_EQ(Run([&] { attacked = battle.AttackSelect(0); }), RunEnd::RETURNED) << key;
        EXPECT_FALSE(attacked);
    }
    EXPECT_EQ(script.said.size(), 1u);
}

// The status panel: its lines in black from y 300, one every 10 pixels, over the choice frame at (420, 290).
class StatusPanel : public BattleRig {
protected:
    void ExpectLines(int x, const std::vector<std::string>& lines) {
        EXPECT_EQ(ScreenPixel(420, 290), getpixel(frame, 0, 0));
        for (size_t i = 0; i < lines.size(); ++i) EXPECT_TRUE(TextAt(x, 300 + 10 * (int)i, lines[i], makecol(0, 0, 0)));
        if (lines.empty()) {
            EXPECT_TRUE(NoColourIn(420, 290, frame->w, frame->h, makecol(0, 0, 0)));
        }
    }
};

TEST_F(StatusPanel, PartyMemberAndMonster) {
    CPlayer& p = player[1];
    p.hp = 7, p.max_hp = 10, p.mana = 2, p.max_mana = 5, p.level = 3, p.exp = 40, p.damage = 4;
    clear_bitmap(screen);
    menu.ShowBattleStatus(true, 1);
    ExpectLines(430, {"Miresa", "HP 7(10)", "Mana 5(2)", "Level 3, Exp 40", "Dam 4"});

    CNpc& m = Monster(3, 3, 7);
    m.LoadStats();
    m.hp = 6;
    clear_bitmap(screen);
    menu.ShowBattleStatus(false, 0);
    ExpectLines(440, {"Flaming Morwen General", "HP 6", "Mana 0", "Damage 3", "Level 2"});

    clear_bitmap(screen);
    menu.ShowBattleStatus(false, 5);  // no such monster: the frame alone
    ExpectLines(440, {});
}

TEST_F(StatusPanel, FreeLookShowsAMonsterUntilAKeyAndAltGoesBack) {
    battle.ShapeGrid();
    player[0].x = player[0].y = 5 * 16;
    CNpc& m = Monster(7, 5, 2);
    m.LoadStats();
    script.Grace(0);
    script.Tap(GK_RIGHT).Ticks(16).Tap(GK_RIGHT).Ticks(16)  // through nothing onto the goblin
        .Tap(GK_ENTER).Ticks(5);                               // its panel, waiting for a key
    EXPECT_EQ(Run([] { battle.ViewBattlefield(0); }), RunEnd::SCRIPT_END);
    ExpectLines(440, {"A goblin", "HP 2", "Mana 0", "Damage 2", "Level 1"});

    // Alt in the middle of a step: back where the hero stood, with no step left to finish.
    player[0].x = player[0].y = 5 * 16;
    script.Clear().Tap(GK_RIGHT).Ticks(3).Tap(GK_ALT).Ticks(2);
    EXPECT_EQ(Run([] { battle.ViewBattlefield(0); }), RunEnd::RETURNED);
    EXPECT_EQ(player[0].x, 80u);
    EXPECT_EQ(player[0].y, 80u);
    EXPECT_EQ(player[0].moving, 0);
    EXPECT_EQ(player[0].move_x, 0);
}
