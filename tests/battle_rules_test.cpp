// Battle rules: the movement range and attack areas cell by cell, the monsters' and the party's blows, the cursors and the status panel.
#include <climits>
#include <cstdlib>
#include <set>

#include "BattleRig.h"
#include "CBattleLoop.h"
#include "CMap.h"
#include "CMenu.h"
#include "CPlayer.h"
#include "MapBuild.h"
#include "Quests.h"
#include "Rolls.h"
#include "Timing.h"

namespace {

using Cells = std::set<std::pair<int, int>>;

// The cells (dx, dy) round a centre, up to 6 away, for which `in` holds.
template <class F>
Cells cells(F in) {
    Cells s;
    for (int dy = -6; dy <= 6; ++dy)
        for (int dx = -6; dx <= 6; ++dx)
            if (in(dx, dy)) s.insert({dx, dy});
    return s;
}
Cells area(int reach) { return cells([reach](int dx, int dy) { return in_attack_area(dx, dy, reach); }); }
Cells range(int n) {
    Cells s;
    for (const CellOffset& o : movement_range_shape(n)) s.insert({o.dx, o.dy});
    return s;
}
size_t marked() {
    size_t n = 0;
    for (const auto& row : battle.grid)
        for (const auto& cell : row) n += cell.marked;
    return n;
}

}  // namespace

// Ranges go by rays (1 and 2 keep only the centre), areas by distance; both 45-cell shapes are a 7 x 7 less corners.
TEST(BattleShapes, RangesAndAreasBySize) {
    const size_t range_sizes[] = {0, 1, 1, 9, 25, 45, 69}, area_sizes[] = {0, 5, 9, 25, 45};
    for (int n = 0; n <= 6; ++n) EXPECT_EQ(range(n).size(), range_sizes[n]) << "range " << n;
    for (int n = 0; n <= 4; ++n) EXPECT_EQ(area(n).size(), area_sizes[n]) << "area " << n;
    EXPECT_EQ(range(5), cells([](int dx, int dy) { return abs(dx) <= 3 && abs(dy) <= 3 && abs(dx) + abs(dy) < 6; }));
    EXPECT_EQ(area(4), range(5));
    EXPECT_EQ(area(1), cells([](int dx, int dy) { return abs(dx) + abs(dy) <= 1; }));
    EXPECT_EQ(area(2), cells([](int dx, int dy) { return abs(dx) <= 1 && abs(dy) <= 1; }));
    EXPECT_TRUE(range(-3).empty() && area(-4).empty());
    EXPECT_TRUE(in_attack_area(40000, 40000, INT_MAX));  // a huge reach from a damaged save does not overflow
}

// Ranges leave out column and row 0 and cells off the map, areas keep them; the monsters' turn shows no range.
TEST_F(BattleRig, RangesSkipColumnAndRowZeroAreasKeepThemAndOnlyThePartysTurnShowsOne) {
    battle.ShapeGrid();
    const struct { int c, r, range; size_t marked; int out_c, out_r; } cases[] = {
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
        script.Clear().Space().said.clear();  // SPACE closes the box of the blow, if there is one
        script_rolls(rolls);
        Run([&] { hit = battle.NpcAttack(0, (int)m.x, (int)m.y, target); });
        clear_scripted_rolls();
        return hit;
    }
};

// Who is struck (reach 1 looks right first; else the target if in reach), then the rolls: miss, armour, damage.
TEST_F(MonsterBlow, VictimsWithinReachAndRollsDecideMissArmourAndDamage) {
    const struct { int kind, c, r, comp_c, comp_r, target; std::initializer_list<int> rolls;
                   int ac, hp; const char* said; int hp_after; } cases[] = {
        {2, 6, 5, 7, 5, 0, {1}, 0, 10, "A goblin:|Attacks Miresa and misses!\n", 10},
        {2, 10, 5, 1, 1, 0, {1}, 0, 10, "", 10},  // nobody touching it: no blow
        {9, 5, 3, 6, 4, 1, {1}, 0, 10, "Skeletal Archer:|Attacks Miresa and misses!\n", 10},
        {9, 5, 3, 12, 4, 1, {1}, 0, 10, "Skeletal Archer:|Attacks Arven and misses!\n", 10},
        {9, 5, 3, 5, 6, 0, {1}, 0, 10, "Skeletal Archer:|Attacks Arven and misses!\n", 10},  // before her in reading order
        {2, 6, 5, 1, 1, 0, {2, 0}, 0, 10, "A goblin|Attacks Arven and does 0 damage!!! HP is now 10(10)\n", 10},
        {2, 6, 5, 1, 1, 0, {2, 0}, 1, 10, "|Your armour protects you from harm!\n", 10},
        {2, 6, 5, 1, 1, 0, {9, 5}, 1, 10, "A goblin|Attacks Arven and does 2 damage!!! HP is now 8(10)\n", 8},
        {2, 6, 5, 1, 1, 0, {9, 5}, 0, INT_MIN + 1,
         "A goblin|Attacks Arven and does 2 damage!!! HP is now -2147483648(10)\n", INT_MIN},
    };
    for (const auto& c : cases) {
        map.npcs.clear();
        Monster(c.c, c.r, c.kind).LoadStats();
        player[1].x = (unsigned)c.comp_c * 16, player[1].y = (unsigned)c.comp_r * 16;
        player[0].hp = c.hp, player[0].ac = c.ac;
        EXPECT_EQ(Strike(c.target, c.rolls), *c.said != 0) << c.said;
        EXPECT_EQ(Said(), c.said);
        EXPECT_EQ(player[0].hp, c.hp_after) << c.said;
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
    EXPECT_EQ(std::make_pair(player[1].x, player[1].y), std::make_pair(80u, 80u));  // back on her start tile
}

// The cursor keeps to the area and strikes only a monster; Alt, Escape and either Control leave without a blow.
TEST_F(BattleRig, AttackCursorKeepsToTheAreaStrikesOnlyAMonsterAndCancels) {
    battle.ShapeGrid();
    player[0].x = player[0].y = 5 * 16;
    Monster(5, 4, 2).LoadStats();
    script.Grace(0);
    for (int k : {GK_RIGHT, GK_RIGHT, GK_SPACE, GK_LEFT, GK_SPACE, GK_UP, GK_SPACE, GK_SPACE}) script.Tap(k);
    script_rolls({0});
    bool attacked = false;
    EXPECT_EQ(Run([&] { attacked = battle.AttackSelect(0); }), RunEnd::RETURNED);
    EXPECT_TRUE(attacked && Said() == "|Your attack missed!\n") << Said();
    EXPECT_EQ(ScreenPixel(5 * 16, 4 * 16), makecol(255, 0, 0));  // the last frame's cursor on the goblin
    for (int key : {GK_ALT, GK_ESC, GK_LCONTROL, GK_RCONTROL}) {
        script.Clear().Ticks(2).Hold(key, 2);
        EXPECT_EQ(Run([&] { attacked = battle.AttackSelect(0); }), RunEnd::RETURNED) << key;
        EXPECT_FALSE(attacked) << key;
    }
    EXPECT_EQ(script.said.size(), 1u);
}

// The status panel: its lines in black from y 300, one every 10 pixels, over the choice frame at (420, 290).
TEST_F(BattleRig, StatusPanelOfAMemberAMonsterNoSuchMonsterAndTheFreeLookWhereAltMidStepGoesBack) {
    const auto ExpectLines = [this](int x, const std::vector<std::string>& lines) {
        EXPECT_EQ(ScreenPixel(420, 290), getpixel(frame, 0, 0));
        for (size_t i = 0; i < lines.size(); ++i) EXPECT_TRUE(TextAt(x, 300 + 10 * (int)i, lines[i], makecol(0, 0, 0)));
        if (lines.empty()) { EXPECT_TRUE(NoColourIn(420, 290, frame->w, frame->h, makecol(0, 0, 0))); }
    };
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
    battle.ShapeGrid();
    player[0].x = player[0].y = 5 * 16;
    map.npcs.clear();
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
