// NPCs: steps on the grid, the camera that follows them, the field wander, the monster table, conversations and the rolls they draw.
#include <set>
#include <tuple>

#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "Grid.h"
#include "Interaction.h"
#include "PeopleRig.h"
#include "Quests.h"
#include "Rolls.h"

namespace {

constexpr int PLAIN_FLAG = 0x200000;  // a quest whose script only sets its own bit

class Npcs : public PeopleRig {
protected:
    void SetUp() override {
        PeopleRig::SetUp();
        MakeMap(10, 10);
        player[0].x = player[1].x = player[0].y = player[1].y = 144;
        PlaceNpc(64, 64, 0);
    }
    CNpc& N(int i = 0) { return map.npcs[i]; }
    bool Steps(int dir) { return N().Move(map, dir), N().moving; }  // whether a step towards dir began
    // Talks to Bob, whose record has `keyword`, with `answer` 0 (none), 1 (yes) or 2 (no); returns the words said.
    std::string Converse(const char* keyword, int flag, int next, int answer, int id = 1) {
        map.npc_info.assign(3, CNpcInfo());
        N().id = id;
        CNpcInfo& r = map.npc_info[0];
        r.name = "Bob", r.script = keyword, r.talk = "talk", r.yes_text = "yes", r.no_text = "no", r.done_text = "done";
        r.quest_flag = flag, r.quest_next = next;
        script.Clear().said.clear();
        (answer ? script.Answer(answer == 1) : script).Space();
        map.InteractNpcs(64, 64);
        std::string words;
        for (auto& s : script.said) words += (words.empty() ? "" : " ") + s.second;
        return words;
    }
};

// A step takes sixteen updates and ignores moves meanwhile; walls, the hero, other NPCs and the map's edge refuse it.
TEST_F(Npcs, StepsTakeSixteenUpdatesStopAtWallsThePartyOtherNpcsAndTheEdgeAndDragTheCamera) {
    map.tiles[0][4][5].flags = TF_BLOCKED;  // right of the NPC
    player[0].x = 64, player[0].y = 80;      // touching below
    PlaceNpc(64, 40);                        // overlaps the tile above
    for (int dir : {DIR_RIGHT, DIR_DOWN, DIR_UP}) EXPECT_FALSE(Steps(dir)) << dir;
    EXPECT_TRUE(Steps(DIR_LEFT));
    N().Move(map, DIR_DOWN);  // ignored while walking
    EXPECT_EQ(N().move_y, 0);
    for (int i = 0; i < 16; ++i) N().UpdateMovement();
    EXPECT_EQ(std::make_pair(N().x, (bool)N().moving), std::make_pair(48u, false));
    N().x = N().y = 0;
    for (int dir : {DIR_LEFT, DIR_UP}) EXPECT_FALSE(Steps(dir)) << dir;
    // The camera follows a walker, but stays at the origin of a small map.
    map.width = map.height = 100;
    N().x = N().y = 1590;
    N().UpdateMovement();
    EXPECT_EQ(map.scroll_x, 1600 - 640);
    map.width = 20, map.height = 15, map.scroll_x = map.scroll_y = 5;
    N().x = 300, N().y = 220;
    N().UpdateMovement();
    EXPECT_EQ(std::make_pair(map.scroll_x, map.scroll_y), std::make_pair(0, 0));
}


// The wander on walkways: each NPC's next square is tested against the hero (144, 144), the others and the edge.
TEST_F(Npcs, WanderersStopForEachOtherAndTheHeroAndStayOnTheMap) {
    using Walker = std::tuple<unsigned, unsigned, int, unsigned, unsigned>;  // x, y, direction, end x, end y
    const struct { const char* what; int passes; Walker a, b; } cases[] = {
        {"walking at each other across", 40, {32, 64, DIR_RIGHT, 48, 64}, {80, 64, DIR_LEFT, 64, 64}},
        {"walking at each other up and down", 40, {64, 0, DIR_DOWN, 64, 16}, {64, 48, DIR_UP, 64, 32}},
        {"one touching the hero stops, a far one walks on", 10, {128, 144, DIR_RIGHT, 128, 144}, {16, 16, DIR_RIGHT, 26, 16}},
        {"the left and top edges", 3, {2, 32, DIR_LEFT, 0, 32}, {32, 2, DIR_UP, 32, 0}},
        {"the right and bottom edges", 3, {142, 32, DIR_RIGHT, 144, 32}, {32, 142, DIR_DOWN, 32, 144}},
    };
    for (auto& row : map.tiles[0])
        for (CTile& t : row) t.flags |= TF_WALKWAY;
    for (const auto& c : cases) {
        map.npcs.clear();
        for (const Walker& w : {c.a, c.b}) PlaceNpc(std::get<0>(w), std::get<1>(w)).dir = std::get<2>(w);
        for (int i = 0; i < c.passes; ++i) FieldNpcWander();
        EXPECT_EQ(std::make_tuple(N(0).x, N(0).y), std::make_tuple(std::get<3>(c.a), std::get<4>(c.a))) << c.what;
        EXPECT_EQ(std::make_tuple(N(1).x, N(1).y), std::make_tuple(std::get<3>(c.b), std::get<4>(c.b))) << c.what;
    }
}

// The eight statistics LoadStats writes, and what it must leave alone.
auto stats(const CNpc& n) {
    return std::make_tuple(n.name, n.damage, n.hp, n.mana, n.gold_reward, n.level, n.exp_reward, n.attack_range);
}
auto placing(const CNpc& n) { return std::make_tuple(n.x, n.y, n.target, n.dir, n.sprite); }

// Kinds 1 to 30 take a whole row of their own (others pinned by the battle tests); other kinds change nothing.
TEST_F(Npcs, MonsterKindsTakeTheirWholeRowAndOtherKindsChangeNothing) {
    CNpc worn;  // a wounded monster with leftovers everywhere
    worn.x = 48, worn.y = 80, worn.target = 1, worn.dir = 3, worn.sprite = 2, worn.name = "old", worn.damage = 99;
    worn.hp = 1, worn.mana = 7, worn.gold_reward = 99, worn.level = 9, worn.exp_reward = 99, worn.attack_range = 9;
    const auto loaded = [&](int kind) { CNpc n = worn; n.id = kind; n.LoadStats(); return n; };
    EXPECT_EQ(stats(loaded(1)), std::make_tuple(std::string("Tobin"), 2, 25, 0, 0, 1, 10, 1));
    EXPECT_EQ(stats(loaded(30)), std::make_tuple(std::string("Vorrandite Fanatic Cleric"), 10, 18, 0, 10, 1, 20, 1));
    std::set<std::string> names;
    for (int kind = -1; kind <= 31; ++kind) {
        const CNpc n = loaded(kind);
        const bool known = kind >= 1 && kind <= 30;
        EXPECT_EQ(placing(n), placing(worn)) << kind;
        EXPECT_EQ(stats(n) == stats(worn), !known) << kind;
        EXPECT_GT(n.hp, 0) << kind;
        if (known) names.insert(n.name);
    }
    EXPECT_EQ(names.size(), 30u);
}

// Each script keyword with its quest bit clear and set, yes and no answers; id 0 and ids past the list say nothing.
TEST_F(Npcs, ConversationKeywordsWithTheirBitClearAndSet) {
    const struct { const char* keyword; int flag, next; uint64_t before; int answer; const char* said; uint64_t after; }
        cases[] = {
        {"none", 0x10, 0, 0, 0, "talk", 0},
        {"none", 0x10, 0, 0x10, 0, "done", 0x10},
        {"none", 0, 0, ~0ull, 0, "talk", ~0ull},
        {"yesno", PLAIN_FLAG, 0, 0, 2, "talk no", 0},
        {"yesno", PLAIN_FLAG, 0, 0, 1, "talk yes", PLAIN_FLAG},
        {"yesno", PLAIN_FLAG, 0, PLAIN_FLAG, 0, "done", PLAIN_FLAG},
        {"setcheckquest", 0x2, PLAIN_FLAG, 0, 0, "talk", 0},
        {"setcheckquest", 0x2, PLAIN_FLAG, 0x2, 0, "done", 0x2 | PLAIN_FLAG},
        {"checkquest", PLAIN_FLAG, 0, 0, 0, "done", PLAIN_FLAG},  // its quest sets its own bit first
        {"checkquest", 0x10, 0, 0, 0, "talk", 0},
        {"setquest", 0x30, 0, 0, 0, "talk", 0x30},
        {"setquest", -1, 0, 0, 0, "talk", ~0ull},  // a negative mask reaches the high bits
        {"procquest", 0, PLAIN_FLAG, 0, 0, "talk", PLAIN_FLAG},
        {"None", 0, 0, 0, 0, "", 0},
    };
    for (const auto& c : cases) {
        quest.flags = c.before;
        EXPECT_EQ(Converse(c.keyword, c.flag, c.next, c.answer), c.said) << c.keyword << " " << c.before;
        EXPECT_EQ(quest.flags, c.after) << c.keyword << " " << c.before;
    }
    for (int id : {0, 4, -5}) {
        EXPECT_EQ(Converse("none", 0, 0, 0, id), "") << id;
    }
}


// A scripted roll reaches each rule that draws one, in the rule's range.
TEST_F(Npcs, ScriptedRollsReachTheRulesThatDrawThem) {
    N().dir = 9;  // standing, with no walkway round it: it draws its next wander direction, raw % 50 + 1
    script_rolls({152});
    FieldNpcWander();
    EXPECT_EQ(map.npcs[0].dir, 3);
    script_rolls({0, 8, 17, 4, 13, 5});  // five attributes of 10..18, then the hit points of 8..10
    CPlayer& p = player[0];
    p.InitStats();
    EXPECT_EQ(std::vector<int>({p.str, p.wis, p.intel, p.con, p.cha, p.max_hp}), std::vector<int>({10, 18, 18, 14, 14, 10}));
    CNpc monster;  // a monster picks its target between the two members once the companion has joined
    script_rolls({7});
    monster.UpdateTargets();
    EXPECT_EQ(monster.target, 0);  // no companion: nothing drawn, the scripted 7 waits
    quest.flags = QF_COMPANION;
    monster.UpdateTargets();
    EXPECT_EQ(monster.target, 1);
}

}  // namespace
