// Battle rules: the movement range and attack areas cell by cell, the monsters' and the party's blows, the cursors and the status panel.
#include <climits>
#include <set>

#include "BattleRig.h"
#include "CMap.h"
#include "CPlayer.h"
#include "CBattleLoop.h"
#include "CMenu.h"
#include "MapBuild.h"
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

size_t marked() {
    size_t n = 0;
    for (const auto& row : battle.grid)
        for (const auto& cell : row) n += cell.marked;
    return n;
}

}  // namespace

// Ranges go by rays (no ray reaches a whole radius along an axis: 1 and 2 keep only the centre),
// areas by distance; a range of 5 and an area of 4 are both the 7 x 7 block without its corners.
TEST(BattleShapes, RangesAndAreasBySize) {
    const size_t range_sizes[] = {0, 1, 1, 9, 25, 45, 69}, area_sizes[] = {0, 5, 9, 25, 45};
    for (int n = 0; n <= 6; ++n) EXPECT_EQ(range_cells(n).size(), range_sizes[n]) << "range " << n;
    for (int n = 0; n <= 4; ++n) EXPECT_EQ(area_cells(n).size(), area_sizes[n]) << "area " << n;
    const Cells block = picture({".#####.", "#######", "#######", "#######", "#######", "#######", ".#####."});
    EXPECT_EQ(range_cells(5), block);
    EXPECT_EQ(area_cells(4), block);
    EXPECT_EQ(area_cells(1), picture({".#.", "###", ".#."}));
    EXPECT_EQ(area_cells(2), picture({"###", "###", "###"}));  // two steps along an axis: 4 is not below 4
    EXPECT_TRUE(range_cells(-3).empty());
    EXPECT_TRUE(area_cells(-4).empty());
    EXPECT_TRUE(in_attack_area(40000, 40000, INT_MAX));  // a huge reach from a damaged save does not overflow
}

// Ranges leave out column 0, row 0 and cells off the map; attack areas keep column and row 0.
TEST_F(BattleRig, RangesSkipColumnAndRowZeroAndAreasKeepThem) {
    battle.ShapeGrid();
    const struct {
        int c, r, range;
        size_t marked;
        int out_c, out_r;
    } cases[] = {
        {1, 1, 5, 4 * 4 - 1, 0, 1},       // columns and rows 1..4 of the shape, less its corner
        {15, 11, 5, 4 * 4 - 1, 12, 8},    // the far corner
        {15, 11, 2000000000, 15 * 11, 0, 0},  // a range from a damaged save covers the map and no more
    };
    for (const auto& c : cases) {
        battle.ClearGrid();
        battle.origin_x = c.c * 16, battle.origin_y = c.r * 16;
        battle.DrawGrid(0, c.range);
        EXPECT_EQ(marked(), c.marked) << c.c << "," << c.r;
        EXPECT_FALSE(battle.Marked(c.out_c, c.out_r)) << c.c << "," << c.r;
    }
    battle.ClearGrid();
    battle.MarkAttackArea(0, 0, 3, false, 0, 0);
    EXPECT_EQ(marked(), 9u);
    EXPECT_TRUE(battle.Marked(0, 0));
    battle.ClearGrid();
    battle.MarkAttackArea(15, 11, 1, false, 0, 0);
    EXPECT_EQ(marked(), 3u);
}

// The hero's turn marks his range (the red tint is seen by the battle's end-to-end test); the monsters' turn none.
TEST_F(BattleRig, TurnFrameMarksTheHerosRangeAndTheMonstersTurnNone) {
    battle.ShapeGrid();
    map.SetPositions();
    battle.origin_x = (int)player[0].x, battle.origin_y = (int)player[0].y;
    battle.turn = TURN_HERO;
    battle.DrawTurnFrame();
    EXPECT_EQ(marked(), 45u - 5u - 7u);  // from (2, 5) the range's columns 0 and -1 are left out
    battle.turn = TURN_MONSTERS;
    battle.DrawTurnFrame();
    EXPECT_EQ(marked(), 0u);
}

// A monster's blow: victim, rolls and words. The hero stands on (5, 5).
class MonsterBlow : public BattleRig {
protected:
    void SetUp() override {
        BattleRig::SetUp();
        battle.ShapeGrid();
        player[0].x = player[0].y = 5 * 16;
        player[1].x = player[1].y = 1 * 16;
        quest.flags |= QF_COMPANION;
    }
    bool Strike(int target, std::initializer_list<int> rolls) {
        const CNpc& m = map.npcs[0];
        bool hit = false;
        script.Clear().Space();  // closes the box of the blow, if there is one
        script.said.clear();
        script_rolls(rolls);
        Run([&] { hit = battle.NpcAttack(0, (int)m.x, (int)m.y, target); });
        clear_scripted_rolls();
        return hit;
    }
};

TEST_F(MonsterBlow, RollsDecideMissArmourAndDamage) {
    Monster(6, 5, 2).LoadStats();  // "A goblin", damage 2, right of the hero
    const struct {
        std::initializer_list<int> rolls;
        int ac;
        const char* said;
        int hp_after, hp = 10;
    } cases[] = {
        {{1}, 0, "A goblin:|Attacks Arven and misses!\n", 10},  // 2 of 10: a miss
        {{2, 0}, 0, "A goblin|Attacks Arven and does 0 damage!!! HP is now 10(10)\n", 10},
        {{2, 0}, 1, "|Your armour protects you from harm!\n", 10},  // 0 is below armour 1
        {{9, 5}, 1, "A goblin|Attacks Arven and does 2 damage!!! HP is now 8(10)\n", 8},  // armour does not reduce it
        // Hit points at the bottom of the range (a doctored save) stay there rather than wrap round.
        {{9, 5}, 0, "A goblin|Attacks Arven and does 2 damage!!! HP is now -2147483648(10)\n", INT_MIN, INT_MIN + 1},
    };
    for (const auto& c : cases) {
        player[0].hp = c.hp, player[0].ac = c.ac;
        EXPECT_TRUE(Strike(0, c.rolls));
        EXPECT_EQ(Said(), c.said);
        EXPECT_EQ(player[0].hp, c.hp_after) << c.said;
    }
}

TEST_F(MonsterBlow, VictimsWithinReach) {
    const struct {
        int kind, c, r, comp_c, comp_r, target;
        const char* victim;  // "" for no blow at all; each blow misses, so the words name the victim
    } cases[] = {
        {2, 6, 5, 7, 5, 0, "Miresa"},  // reach 1 looks right, left, below, above: right comes first
        {2, 10, 5, 1, 1, 0, ""},       // nobody touching it: no blow, no words
        {9, 5, 3, 6, 4, 1, "Miresa"},  // "Skeletal Archer", reach 3, strikes its target in reach...
        {9, 5, 3, 12, 4, 1, "Arven"},  // ...and the other member when the target is out of it
        {9, 5, 3, 5, 6, 0, "Arven"},   // its target wins, though she comes later in reading order
    };
    for (const auto& c : cases) {
        map.npcs.clear();
        Monster(c.c, c.r, c.kind).LoadStats();
        player[1].x = (unsigned)c.comp_c * 16, player[1].y = (unsigned)c.comp_r * 16;
        const bool blow = *c.victim != 0;
        EXPECT_EQ(Strike(c.target, {1}), blow) << c.kind << " at " << c.c << "," << c.r;
        EXPECT_EQ(Said(), blow ? map.npcs[0].name + ":|Attacks " + c.victim + " and misses!\n" : "");
    }
}

TEST_F(MonsterBlow, CompanionWhoHasNotJoinedStandsAsideForTheBattle) {
    quest.flags = 0;
    map.p0_x = 10, map.p1_x = 5, map.p1_y = 5;
    Monster(6, 5, 2);
    CBattleLoop loop(battle);
    loop.SetUp();
    EXPECT_FALSE(Strike(0, {1}));  // her start tile touches the goblin, but she is not on the field
    player[0].x = player[0].y = 5 * 16;
    EXPECT_TRUE(Strike(0, {1}));
    loop.Finish();
    EXPECT_EQ(player[1].x, 5u * 16u);  // back on her start tile
    EXPECT_EQ(player[1].y, 5u * 16u);
}

// The cursor keeps to the area and strikes only a monster; Alt, Escape and either Control leave without a blow.
TEST_F(BattleRig, AttackCursorKeepsToTheAreaStrikesOnlyAMonsterAndCancels) {
    battle.ShapeGrid();
    player[0].x = player[0].y = 5 * 16;
    Monster(5, 4, 2).LoadStats();
    script.Grace(0);
    script.Tap(GK_RIGHT).Tap(GK_RIGHT)  // one cell right; the second is out of reach
        .Tap(GK_SPACE)                  // an empty cell: nothing
        .Tap(GK_LEFT).Tap(GK_SPACE)     // its own cell: nothing
        .Tap(GK_UP).Tap(GK_SPACE)       // the goblin above
        .Tap(GK_SPACE);                 // closes the miss's box
    script_rolls({0});
    bool attacked = false;
    EXPECT_EQ(Run([&] { attacked = battle.AttackSelect(0); }), RunEnd::RETURNED);
    EXPECT_TRUE(attacked);
    EXPECT_EQ(Said(), "|Your attack missed!\n");
    EXPECT_EQ(ScreenPixel(5 * 16, 4 * 16), makecol(255, 0, 0));  // the last frame's cursor on the goblin
    for (int key : {GK_ALT, GK_ESC, GK_LCONTROL, GK_RCONTROL}) {
        script.Clear().Ticks(2).Hold(key, 2);
        EXPECT_EQ(Run([&] { attacked = battle.AttackSelect(0); }), RunEnd::RETURNED) << key;
        EXPECT_FALSE(attacked) << key;
    }
    EXPECT_EQ(script.said.size(), 1u);
}

// The status panel: its lines in black from y 300, one every 10 pixels, over the choice frame at (420, 290).
class StatusPanel : public BattleRig {
protected:
    void ExpectLines(int x, const std::vector<std::string>& lines) {
        EXPECT_EQ(ScreenPixel(420, 290), getpixel(frame, 0, 0));
        for (size_t i = 0; i < lines.size(); ++i) EXPECT_TRUE(TextAt(x, 300 + 10 * (int)i, lines[i], makecol(0, 0, 0)));
        if (lines.empty()) { EXPECT_TRUE(NoColourIn(420, 290, frame->w, frame->h, makecol(0, 0, 0))); }
    }
};

TEST_F(StatusPanel, PartyMemberMonsterAndNoSuchMonster) {
    CPlayer& p = player[1];
    p.hp = 7, p.max_hp = 10, p.mana = 2, p.max_mana = 5, p.level = 3, p.exp = 40, p.damage = 4;
    menu.ShowBattleStatus(true, 1);
    ExpectLines(430, {"Miresa", "HP 7(10)", "Mana 5(2)", "Level 3, Exp 40", "Dam 4"});
    Monster(3, 3, 7).LoadStats();
    map.npcs[0].hp = 6;
    clear_bitmap(screen);
    menu.ShowBattleStatus(false, 0);
    ExpectLines(440, {"Flaming Morwen General", "HP 6", "Mana 0", "Damage 3", "Level 2"});
    clear_bitmap(screen);
    menu.ShowBattleStatus(false, 5);  // no such monster: the frame alone
    ExpectLines(440, {});
}

// Free look: a monster's panel until a key; Alt in the middle of a step goes back where the hero stood.
TEST_F(StatusPanel, FreeLookShowsAMonsterUntilAKeyAndAltGoesBack) {
    battle.ShapeGrid();
    player[0].x = player[0].y = 5 * 16;
    Monster(7, 5, 2).LoadStats();
    script.Grace(0);
    script.Tap(GK_RIGHT).Ticks(16).Tap(GK_RIGHT).Ticks(16).Tap(GK_ENTER).Ticks(5);  // onto the goblin, its panel
    EXPECT_EQ(Run([] { battle.ViewBattlefield(0); }), RunEnd::SCRIPT_END);
    ExpectLines(440, {"A goblin", "HP 2", "Mana 0", "Damage 2", "Level 1"});
    player[0].x = player[0].y = 5 * 16;
    script.Clear().Tap(GK_RIGHT).Ticks(3).Tap(GK_ALT).Ticks(2);
    EXPECT_EQ(Run([] { battle.ViewBattlefield(0); }), RunEnd::RETURNED);
    EXPECT_EQ(player[0].x, 80u);
    EXPECT_EQ(player[0].moving, 0);
    EXPECT_EQ(player[0].move_x, 0);
}
