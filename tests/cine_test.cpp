// The scenes: each played to its closing actions on scripted keys and ticks, on small stages built in a temp folder.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "CCine.h"
#include "CMap.h"
#include "CPlayer.h"
#include "MapBuild.h"
#include "MapEntry.h"
#include "PeopleRig.h"
#include "Quests.h"
#include "StoryFacts.h"
#include "TempDir.h"
#include "Timing.h"

namespace {

// A dialogue box as it opened: who spoke, on which map, after how many ticks, where NPC 0 and
// the hero stood, and a copy of the screen as it was (the scene's last frame).
struct Box {
    std::string from, map;
    int tick;
    unsigned int npc0_x, hero_x;
    std::shared_ptr<BITMAP> shot;
};
std::vector<Box> boxes;
const CScriptHost* watched = nullptr;

void Watch(const std::string& from, const std::string&) {
    std::shared_ptr<BITMAP> shot(create_bitmap(screen->w, screen->h), destroy_bitmap);
    blit(screen, shot.get(), 0, 0, 0, 0, screen->w, screen->h);
    const unsigned int npc0 = map.npcs.empty() ? 0 : map.npcs[0].x;
    boxes.push_back({from, map.name, watched->ticks_run, npc0, player[0].x, shot});
}

int Pixel(const Box& b, int x, int y) { return getpixel(b.shot.get(), x, y); }
// The colour the numbered stage shows at screen pixel (x, y) for the view (vx, vy).
int StageColour(int vx, int vy, int x, int y) { return tile_colour(cell_tile((unsigned)(vx + x) / 16, (unsigned)(vy + y) / 16)); }
int HeroColour() { return makecol(248, 0, 240); }

// A game folder with every stage the scenes read, each numbered so that a pixel tells which map
// cell is drawn there, a tileset, an NPC list whose first record is the house elder, and a hero
// drawn in one colour.
class Cine : public PeopleRig {
protected:
    TempDir dir{TempDir::AS_GAME_FOLDER};

    void SetUp() override {
        PeopleRig::SetUp();
        BITMAP* tiles = make_tileset(16, 16);
        ASSERT_EQ(save_bitmap("./data/tiles.bmp", tiles, nullptr), 0);
        destroy_bitmap(tiles);
        BITMAP* people = create_bitmap(32, 64);
        clear_to_color(people, makecol(0, 0, 255));
        ASSERT_EQ(save_bitmap("./data/npcs.bmp", people, nullptr), 0);
        destroy_bitmap(people);
        write_file("./data/npcs.txt", "1\nHouse Elder\nWelcome.\nnone\n\n\n0\n0\nWelcome.\n");
        player[0].sprite = create_bitmap(32, 80);
        clear_to_color(player[0].sprite, HeroColour());

        Stage(story::HOME_MAP, 40, 30, [](CMap& m) {
            m.cine = SCENE_OPENING;
            m.p0_x = 20, m.p0_y = 20, m.p1_x = 21, m.p1_y = 20;
            place_npc(m, 32, 32, 1).sprite = 3;  // the elder on his way: only the opening keeps him
            place_npc(m, 32, 96, 1);
        });
        Stage("./data/castle.map", 65, 93, [](CMap& m) { m.p0_x = 2, m.p0_y = 2, m.p1_x = 3, m.p1_y = 2; });
        Stage("./data/castlebattle.map", 20, 20, [](CMap& m) { m.battle = true; });
        for (auto s : {std::make_tuple("eviltemple.map", 40, 30), {"castlemiresa.map", 65, 93}, {"castleend.MAP", 65, 50},
                       {"wastelands.MAP", 40, 30}, {"orccine.map", 80, 40}, {"orcvillage.MAP", 80, 40}, {"plaza.map", 80, 50}})
            Stage(std::string("./data/") + std::get<0>(s), std::get<1>(s), std::get<2>(s));
        watched = &script;
        talk_watch = Watch;
    }
    void TearDown() override {
        talk_watch = nullptr;
        boxes.clear();
        destroy_bitmap(player[0].sprite);
        player[0].sprite = nullptr;
        PeopleRig::TearDown();
    }
    // A numbered w x h map saved at path, drawn from the test tileset, shaped further by `more`.
    static void Stage(const std::string& path, unsigned int w, unsigned int h, void (*more)(CMap&) = nullptr) {
        CMap m;
        make_map(m, w, h);
        m.tileset_name = "./data/tiles.bmp";
        m.spriteset_name = "./data/npcs.bmp";
        if (more) more(m);
        ASSERT_EQ(m.SaveMap(path), 0) << path;
    }
    static std::vector<std::string> Speakers() {
        std::vector<std::string> v;
        for (const Box& b : boxes) v.push_back(b.from);
        return v;
    }
    // Scripts the castle scene up to its last battle, the party standing.
    void ScriptTheCastle() {
        player[0].hp = player[0].max_hp = player[1].hp = player[1].max_hp = 20;
        script.Ticks(70).Space(2).Ticks(900).Space().Ticks(10).Space();
    }
    // The castle scene from the orc village to its end: the victory, the taunt, the last words, two keys.
    RunEnd RunTheCastle() {
        EXPECT_EQ(enter_map("./data/orcvillage.map", at_pixel(64, 64)), 0);
        ScriptTheCastle();
        for (int box = 0; box < 3; ++box) script.Ticks(20).Space();
        script.Tap(GK_ENTER).Tap(GK_ENTER);
        return Run([] { cine.BeginCine(SCENE_CASTLE); });
    }
};

TEST_F(Cine, TheOpeningWelcomesThenTheCitadelAbolishesTheTreatyThenHome) {
    ASSERT_EQ(enter_map(story::HOME_MAP, at_start_tiles()), 0);
    ASSERT_EQ(map.num_npcs, 1u);  // an ordinary entry drops the elder of row 3
    script.Ticks(110).Space().Tap(GK_ENTER).Ticks(70).Space(7);
    cine.BeginCine(SCENE_OPENING);

    // The elder walked right for 100 ticks, then spoke at once; the commander and the soldier in turn.
    std::vector<std::string> want = {"House Elder"};
    for (int i = 0; i < 7; ++i) want.push_back(i % 2 == 0 ? "Vorrandite Commander" : "Vorrandite Soldier");
    ASSERT_EQ(Speakers(), want);
    EXPECT_EQ(std::make_tuple(boxes[0].map, boxes[0].tick, boxes[0].npc0_x), std::make_tuple("duskwing.map", 101, 132u));
    EXPECT_EQ(Pixel(boxes[0], 140, 40), makecol(0, 0, 255));  // the elder, drawn where he walked
    for (size_t i = 1; i < boxes.size(); ++i) EXPECT_EQ(boxes[i].map, "eviltemple.map");
    // Home, the party on the start tiles, the elder of row 3 gone again.
    EXPECT_EQ(std::make_tuple(map.name, map.num_npcs, player[0].x, player[1].x),
              std::make_tuple("duskwing.map", 1u, 320u, 336u));
    EXPECT_TRUE(cine.played[SCENE_OPENING]);
    EXPECT_FALSE(cine.played[SCENE_CITADEL]);  // the opening runs it itself

    // Once only; the citadel alone still plays, once, and waits its 60 steps after the card.
    boxes.clear();
    script.Clear().ticks_run = 0;
    cine.BeginCine(SCENE_OPENING);
    EXPECT_TRUE(boxes.empty());
    script.Tap(GK_ENTER).Ticks(70).Space(7);
    cine.BeginCine(SCENE_CITADEL);
    cine.BeginCine(SCENE_CITADEL);
    ASSERT_EQ(boxes.size(), 7u);
    EXPECT_EQ(boxes[0].tick, 2 + 1 + 61);  // the card's key up then down, the dropped tick, 61 steps
}

TEST_F(Cine, ThePlantSceneWalksTheHeroPastTheSpeakerOnTheCurrentMap) {
    ASSERT_EQ(enter_map("./data/plaza.map", at_pixel(600, 300)), 0);
    quest.flags = QF_HERB_ERRAND;
    script.Ticks(110).Space(6);
    quest.ProcessQuest(QF_HERB_PLANTED);

    ASSERT_EQ(boxes.size(), 6u);  // the scene's four, then the quest goes on
    std::vector<std::string> four = Speakers();
    four.resize(4);
    EXPECT_EQ(four, std::vector<std::string>({story::SPEAKER_MALREC, story::SPEAKER_MALREC, story::SPEAKER_MALREC, ""}));
    EXPECT_EQ(std::make_tuple(boxes[0].tick, boxes[0].hero_x), std::make_tuple(101, 700u));  // 100 ticks right
    // View (500, 200); the hero drawn at his place in it.
    EXPECT_EQ(Pixel(boxes[0], 0, 0), StageColour(500, 200, 0, 0));
    EXPECT_EQ(Pixel(boxes[0], 200 + 8, 100 + 8), HeroColour());
    // The party stands together, the view centred on it.
    EXPECT_TRUE(cine.played[SCENE_PLANT]);
    EXPECT_EQ(std::make_tuple(map.name, player[1].x, player[0].scroll_x, player[0].scroll_y),
              std::make_tuple("plaza.map", 700u, 700 - 320, 300 - 240 - 1));
}

// Scene 4 only clears the errand's start mark, every time; numbers without a scene do nothing.
TEST_F(Cine, TheCaveSceneAndNumbersWithoutAScene) {
    ASSERT_EQ(enter_map("./data/orcvillage.map", at_pixel(64, 64)), 0);
    cine.played.resize(30, false);  // a longer list from a save: still no scene past 6
    for (int n : {(int)SCENE_CAVE, (int)SCENE_CAVE, 0, 7, 19, 20, 29, 30, -1, 1 << 30}) {
        quest.flags = QF_HERB_START | QF_HERB_ERRAND;
        cine.BeginCine(n);
        EXPECT_EQ(quest.flags, n == SCENE_CAVE ? (uint64_t)QF_HERB_ERRAND : (uint64_t)(QF_HERB_START | QF_HERB_ERRAND));
    }
    EXPECT_FALSE(cine.played[SCENE_CAVE]);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(std::make_tuple(script.ticks_run, map.name), std::make_tuple(0, "orcvillage.MAP"));
}

TEST_F(Cine, TheCompanionJoinsAtTheOrcVillageOnce) {
    ASSERT_EQ(enter_map("./data/orcvillage.map", at_pixel(64, 64)), 0);
    script.Ticks(60).Space(2);
    quest.ProcessQuest(QF_COMPANION_JOINS);

    ASSERT_EQ(Speakers(), std::vector<std::string>({"Leader of the Orc Village", "Miresa"}));
    EXPECT_EQ(std::make_tuple(boxes[0].map, boxes[0].tick), std::make_tuple("orccine.map", 1 + 46));  // dropped tick, 46 steps
    EXPECT_EQ(Pixel(boxes[0], 0, 0), StageColour(400, 50, 0, 0));
    EXPECT_EQ(Pixel(boxes[0], 576 + 8, 256 + 8), HeroColour());  // his place taken as the screen's
    // On the village, where the scene put him, his view centred; she has joined.
    EXPECT_EQ(std::make_tuple(map.name, player[0].x, player[0].y, player[0].scroll_x),
              std::make_tuple("orcvillage.MAP", 576u, 256u, 576 - 320));
    EXPECT_EQ(quest.flags & (QF_COMPANION_JOINS | QF_COMPANION), (uint64_t)(QF_COMPANION_JOINS | QF_COMPANION));

    // Again: no scene, only the keys held are forgotten, the map stays.
    boxes.clear();
    ASSERT_EQ(enter_map("./data/castleend.map", at_pixel(64, 64)), 0);
    script.Clear().forgets = 0;
    cine.BeginCine(SCENE_COMPANION);
    EXPECT_EQ(std::make_tuple(boxes.size(), script.forgets, map.name), std::make_tuple(0u, 1, "castleend.MAP"));
}

// The whole castle scene: the companion leaves, the report, the view down the castle, the garden,
// the last battle's map (no monster: won at once), the taunt, the wastelands, then the end
// picture (a black screen without it) and two keys end the game with status 0.
TEST_F(Cine, TheCastleScenePlaysToTheEndPictureAndEndsTheGame) {
    BITMAP* end = create_bitmap_ex(24, 640, 480);
    clear_to_color(end, makecol24(0, 248, 0));
    ASSERT_EQ(save_bitmap("./data/theend.tga", end, nullptr), 0);
    destroy_bitmap(end);
    quest.flags = QF_COMPANION | QF_SAGE;
    EXPECT_EQ(RunTheCastle(), RunEnd::EXITED);
    EXPECT_EQ(exit_status, 0);
    EXPECT_EQ(ScreenPixel(320, 240), makecol(0, 248, 0));
    ASSERT_EQ(Speakers(), std::vector<std::string>({"Commander Garrick", "Emperor Vorrand", "Emperor Vorrand", "", "",
                                                    "Vorrand", ""}));
    const char* maps[] = {"castle.map", "castle.map", "castle.map", "castlemiresa.map", "castlebattle.map",
                          "castleend.MAP", "wastelands.MAP"};
    for (size_t i = 0; i < boxes.size(); ++i) EXPECT_EQ(boxes[i].map, maps[i]) << i;
    EXPECT_EQ(quest.flags, (uint64_t)QF_SAGE);  // the companion has left the party
    // The report after 60 steps from the view (400, 192), the hero's start tile pixel taken as the screen's.
    EXPECT_EQ(boxes[0].tick, 1 + 60);
    EXPECT_EQ(Pixel(boxes[0], 0, 0), StageColour(400, 192, 0, 0));
    EXPECT_EQ(Pixel(boxes[0], 32 + 8, 32 + 8), HeroColour());
    // The voice from the garden on the tick the view reaches 800 pixels down (the frame shown is
    // the one before, 799 down); the taunt and the last words over their stages.
    EXPECT_EQ(Pixel(boxes[2], 0, 0), StageColour(400, 192 + 799, 0, 0));
    EXPECT_EQ(Pixel(boxes[5], 10, 10), StageColour(400, 192, 10, 10));
    EXPECT_EQ(Pixel(boxes[6], 10, 10), StageColour(0, 0, 10, 10));
}

TEST_F(Cine, WithoutTheEndPictureTheCastleSceneEndsOnABlackScreen) {
    EXPECT_EQ(RunTheCastle(), RunEnd::EXITED);
    EXPECT_EQ(exit_status, 0);
    EXPECT_EQ(ScreenPixel(320, 240), 0);
}

// The hero comes to the last battle already fallen: the defeat shows, any key brings the start
// menu, and its "new game" begins at home. Neither the old game's scene nor the portal that
// started it may go on (into the ending, or back to the castle) over the new game.
TEST_F(Cine, ALostLastBattleLeavesTheNewGameAloneWhetherBegunDirectlyOrByThePortal) {
    Stage("./data/castlebattle.map", 20, 20, [](CMap& m) {
        m.battle = true;
        place_npc(m, 160, 160, 26);  // Vorrand
    });
    Stage("./data/gate.map", 20, 15, [](CMap& m) { add_portal(m, 64, 64, "./data/castle.map", 32, 32); });
    const std::function<void()> roads[] = {[] { cine.BeginCine(SCENE_CASTLE); }, [] { map.CheckPortals(player[0]); }};
    for (int by_portal : {0, 1}) {
        SCOPED_TRACE(by_portal);
        Stage(story::HOME_MAP, 40, 30);  // a home without its opening scene
        Stage("./data/castle.map", 65, 93, by_portal ? [](CMap& m) { m.p0_x = 2, m.p0_y = 2, m.cine = SCENE_CASTLE; }
                                                     : [](CMap& m) { m.p0_x = 2, m.p0_y = 2; });
        ASSERT_EQ(enter_map(by_portal ? "./data/gate.map" : "./data/orcvillage.map", at_pixel(64, 64)), 0);
        quest.flags = QF_COMPANION | QF_SAGE;
        boxes.clear();
        const unsigned int games = games_begun;
        ScriptTheCastle();
        player[0].hp = 0;
        script.Ticks(5).Tap(GK_ENTER).Ticks(5).Tap(GK_SPACE).Ticks(5);  // any key, then "new game"
        EXPECT_EQ(Run(roads[by_portal]), RunEnd::RETURNED);
        EXPECT_EQ(games_begun, games + 1);
        EXPECT_EQ(Speakers(), std::vector<std::string>({"Commander Garrick", "Emperor Vorrand", "Emperor Vorrand", ""}));
        EXPECT_EQ(std::make_tuple(map.name, quest.flags), std::make_tuple("duskwing.map", 0u));
        EXPECT_GE(player[0].hp, 8);  // a fresh hero
    }
}

}  // namespace
