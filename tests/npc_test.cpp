// NPC steps on the grid, the camera that follows them, the field wander and the monster table.
#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "Grid.h"
#include "Interaction.h"
#include "PeopleRig.h"
#include "Quests.h"

namespace {

class Npcs : public PeopleRig {
protected:
    void SetUp() override {
        PeopleRig::SetUp();
        MakeMap(10, 10);
        player[0].x = player[1].x = 144;
        player[0].y = player[1].y = 144;
        PlaceNpc(64, 64, 0);
    }
    CNpc& N(int i = 0) { return map.npcs[i]; }
    void AddNpc(unsigned x, unsigned y, int dir = DIR_UP) {
        CNpc other = N();
        other.x = x;
        other.y = y;
        other.dir = dir;
        map.npcs.push_back(other);
        map.num_npcs = (unsigned)map.npcs.size();
    }
};

// A step takes sixteen updates and ignores moves meanwhile; walls, the hero, other NPCs and the
// map's edge refuse it.
TEST_F(Npcs, StepsTakeSixteenUpdatesAndStopAtWallsThePartyOtherNpcsAndTheEdge) {
    map.tiles[0][4][5].flags = TF_BLOCKED;  // right of the NPC
    player[0].x = 64;
    player[0].y = 80;  // touching below
    AddNpc(64, 40);    // overlaps the tile above
    for (int dir : {DIR_RIGHT, DIR_DOWN, DIR_UP}) {
        N().Move(map, dir);
        EXPECT_FALSE(N().moving) << dir;
    }
    N().Move(map, DIR_LEFT);  // the left is clear
    N().Move(map, DIR_DOWN);  // ignored while walking
    EXPECT_EQ(N().move_y, 0);
    for (int i = 0; i < 16; ++i) N().UpdateMovement();
    EXPECT_EQ(N().x, 48u);
    EXPECT_FALSE(N().moving);
    N().x = N().y = 0;
    N().Move(map, DIR_LEFT);
    N().Move(map, DIR_UP);
    EXPECT_FALSE(N().moving);
}

TEST_F(Npcs, CameraFollowsAWalkerButStaysAtTheOriginOfASmallMap) {
    map.width = map.height = 100;
    N().x = N().y = 1590;
    N().UpdateMovement();
    EXPECT_EQ(map.scroll_x, 1600 - 640);
    map.width = 20;
    map.height = 15;
    map.scroll_x = map.scroll_y = 5;
    N().x = 300;
    N().y = 220;
    N().UpdateMovement();
    EXPECT_EQ(map.scroll_x, 0);
    EXPECT_EQ(map.scroll_y, 0);
}

// The field wander on walkways everywhere: each NPC is tested on its own next square, against the
// hero and the other NPCs, and stays on the map.
TEST_F(Npcs, WanderersStopForEachOtherAndTheHeroAndStayOnTheMap) {
    struct Walker {
        unsigned int x, y;
        int dir;
        unsigned int end_x, end_y;
    };
    struct Case {
        const char* what;
        int passes;
        std::vector<Walker> npcs;  // the hero stands at (144, 144)
    } cases[] = {
        {"walking at each other across", 40, {{32, 64, DIR_RIGHT, 48, 64}, {80, 64, DIR_LEFT, 64, 64}}},
        {"walking at each other up and down", 40, {{64, 0, DIR_DOWN, 64, 16}, {64, 48, DIR_UP, 64, 32}}},
        {"one touching the hero stops, a far one walks on", 10,
         {{128, 144, DIR_RIGHT, 128, 144}, {16, 16, DIR_RIGHT, 26, 16}}},
        {"the left and top edges", 3, {{2, 32, DIR_LEFT, 0, 32}, {32, 2, DIR_UP, 32, 0}}},
        {"the right and bottom edges", 3, {{142, 32, DIR_RIGHT, 144, 32}, {32, 142, DIR_DOWN, 32, 144}}},
    };
    for (auto& row : map.tiles[0])
        for (CTile& t : row) t.flags |= TF_WALKWAY;
    for (const Case& c : cases) {
        map.npcs.clear();
        for (const Walker& w : c.npcs) PlaceNpc(w.x, w.y).dir = w.dir;
        for (int i = 0; i < c.passes; ++i) FieldNpcWander();
        for (size_t k = 0; k < c.npcs.size(); ++k) {
            EXPECT_EQ(N((int)k).x, c.npcs[k].end_x) << c.what << ", NPC " << k;
            EXPECT_EQ(N((int)k).y, c.npcs[k].end_y) << c.what << ", NPC " << k;
        }
    }
}

// The eight statistics LoadStats writes, and what it must leave alone.
auto stats(const CNpc& n) {
    return std::make_tuple(n.name, n.damage, n.hp, n.mana, n.gold_reward, n.level, n.exp_reward, n.attack_range);
}
auto placing(const CNpc& n) { return std::make_tuple(n.x, n.y, n.target, n.dir, n.sprite); }

TEST_F(Npcs, MonsterKindsTakeTheirWholeRowAndOtherKindsChangeNothing) {
    CNpc worn;  // a wounded monster with leftovers everywhere
    worn.x = 48, worn.y = 80, worn.target = 1, worn.dir = 3, worn.sprite = 2;
    worn.name = "old", worn.damage = 99, worn.hp = 1, worn.mana = 7, worn.gold_reward = 99, worn.level = 9;
    worn.exp_reward = 99, worn.attack_range = 9;
    struct Case {
        int kind;
        const char* name;
        int damage, hp, mana, gold, level, exp, range;
    } rows[] = {
        {1, "Tobin", 2, 25, 0, 0, 1, 10, 1},
        {6, "Flaming Morwen Soldi", 1, 10, 0, 2, 1, 3, 1},
        {7, "Flaming Morwen General", 3, 11, 0, 5, 2, 5, 1},
        {15, "Thug Mudslinger", 5, 10, 0, 4, 1, 20, 4},
        {21, "A goblin snappa' cracka' ", 6, 3, 3, 8, 1, 20, 1},
        {30, "Vorrandite Fanatic Cleric", 10, 18, 0, 10, 1, 20, 1},
    };
    for (const Case& r : rows) {
        CNpc n = worn;
        n.id = r.kind;
        n.LoadStats();
        EXPECT_EQ(stats(n), std::make_tuple(std::string(r.name), r.damage, r.hp, r.mana, r.gold, r.level, r.exp, r.range))
            << r.kind;
        EXPECT_EQ(placing(n), placing(worn)) << r.kind;
    }
    // Every kind has a row of its own: 30 different names, each with hit points.
    std::set<std::string> names;
    for (int kind = 1; kind <= 30; ++kind) {
        CNpc n;
        n.id = kind;
        n.LoadStats();
        EXPECT_GT(n.hp, 0) << kind;
        names.insert(n.name);
    }
    EXPECT_EQ(names.size(), 30u);
    for (int kind : {0, -1, 31}) {
        CNpc n = worn;
        n.id = kind;
        n.LoadStats();
        EXPECT_EQ(stats(n), stats(worn)) << kind;
    }
}

}  // namespace
