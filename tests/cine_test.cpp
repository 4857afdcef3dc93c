// The scenes: each played to its closing actions on scripted keys and ticks, on small stages built in a temp folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "CCine.h"
#include "CDisplay.h"
#include "CMap.h"
#include "CPlayer.h"
#include "Interaction.h"
#include "MapBuild.h"
#include "MapEntry.h"
#include "PeopleRig.h"
#include "Quests.h"
#include "ScriptHost.h"
#include "StoryFacts.h"
#include "TempDir.h"
#include "Timing.h"

namespace {

// A dialogue box as it opened: who spoke, on which map, after how many ticks, where NPC 0 and
// the hero stood, and a copy of the screen as it was (the scene's last frame).
struct Box {
    std::string from, words, map;
    int tick;
    unsigned int npc0_x, hero_x;
    BITMAP* shot;
};

class Cine;
Cine* watching = nullptr;

// The hero's sprite colour and the colour of the numbered stage tile under a screen pixel.
const int HERO_R = 248, HERO_G = 0, HERO_B = 248 - 8;

// A game folder with every stage the scenes read, each numbered so that a pixel tells which
// map cell is drawn there, a tileset and an NPC list whose first record is the house elder.
class Cine : public PeopleRig {
protected:
    TempDir dir{TempDir::AS_GAME_FOLDER};
    std::vector<Box> boxes;

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
        // The hero's sheet: every cell the hero's colour.
        player[0].sprite = create_bitmap(32, 80);
        clear_to_color(player[0].sprite, makecol(HERO_R, HERO_G, HERO_B));

        Stage(story::HOME_MAP, 40, 30, [](CMap& m) {
            m.cine = SCENE_OPENING;
            m.p0_x = 20, m.p0_y = 20, m.p1_x = 21, m.p1_y = 20;
            place_npc(m, 32, 32, 1).sprite = 3;  // the elder on his way: only the opening keeps him
            place_npc(m, 32, 96, 1);
        });
        Stage("./data/eviltemple.map", 40, 30);
        Stage("./data/castle.map", 65, 93, [](CMap& m) { m.p0_x = 2, m.p0_y = 2, m.p1_x = 3, m.p1_y = 2; });
        Stage("./data/castlemiresa.map", 65, 93);
        Stage("./data/castlebattle.map", 20, 20, [](CMap& m) { m.battle = true; });
        Stage("./data/castleend.MAP", 65, 50);
        Stage("./data/wastelands.MAP", 40, 30);
        Stage("./data/orccine.map", 80, 40);
        Stage("./data/orcvillage.MAP", 80, 40);
        watching = this;
        talk_watch = Watch;
    }

    void TearDown() override {
        talk_watch = nullptr;
        watching = nullptr;
        ClearBoxes();
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

    static void Watch(const std::string& from, const std::string& words) {
        Cine& t = *watching;
        BITMAP* shot = create_bitmap(screen->w, screen->h);
        blit(screen, shot, 0, 0, 0, 0, screen->w, screen->h);
        const unsigned int npc0 = map.npcs.empty() ? 0 : map.npcs[0].x;
        t.boxes.push_back({from, words, map.name, t.script.ticks_run, npc0, player[0].x, shot});
    }

    void ClearBoxes() {
        for (Box& b : boxes) destroy_bitmap(b.shot);
        boxes.clear();
    }
    std::vector<std::string> Speakers() const {
        std::vector<std::string> v;
        for (const Box& b : boxes) v.push_back(b.from);
        return v;
    }
    static int Pixel(const Box& b, int x, int y) { return getpixel(b.shot, x, y); }
    // The colour the numbered stage shows at screen pixel (x, y) for the view (vx, vy).
    static int StageColour(int vx, int vy, int x, int y) {
        return tile_colour(cell_tile((unsigned)(vx + x) / 16, (unsigned)(vy + y) / 16));
    }
    static int HeroColour() { return makecol(HERO_R, HERO_G, HERO_B); }
};

TEST_F(Cine, TheOpeningWelcomesThenTheCitadelAbolishesTheTreatyThenHome) {
    ASSERT_EQ(enter_map(story::HOME_MAP, at_start_tiles()), 0);
    ASSERT_EQ(map.num_npcs, 1u);  // an ordinary entry drops the elder of row 3
    script.Ticks(110).Space().Tap(GK_ENTER).Ticks(70).Space(7);
    cine.BeginCine(SCENE_OPENING);

    ASSERT_EQ(boxes.size(), 8u);
    // The elder walked right for 100 ticks, then spoke at once; nobody of the party was drawn.
    const Box& elder = boxes[0];
    EXPECT_EQ(elder.from, "House Elder");
    EXPECT_NE(elder.words.find("Arven"), std::string::npos);
    EXPECT_EQ(elder.map, "duskwing.map");
    EXPECT_EQ(elder.tick, 101);
    EXPECT_EQ(elder.npc0_x, 32u + 100u);
    EXPECT_EQ(Pixel(elder, 0, 0), StageColour(0, 0, 0, 0));
    EXPECT_EQ(Pixel(elder, 140, 40), makecol(0, 0, 255));  // the elder, drawn where he walked
    // The citadel: commander and soldier in turn, seven boxes, the commander first and last.
    std::vector<std::string> want = {"House Elder"};
    for (int i = 0; i < 7; ++i) want.push_back(i % 2 == 0 ? "Vorrandite Commander" : "Vorrandite Soldier");
    EXPECT_EQ(Speakers(), want);
    for (size_t i = 1; i < boxes.size(); ++i) EXPECT_EQ(boxes[i].map, "eviltemple.map");
    EXPECT_NE(boxes[7].words.find("abolished"), std::string::npos);
    // Home, the party on the start tiles, the elder of row 3 gone again.
    EXPECT_EQ(map.name, "duskwing.map");
    EXPECT_EQ(map.num_npcs, 1u);
    EXPECT_EQ(player[0].x, 320u);
    EXPECT_EQ(player[1].x, 336u);
    EXPECT_TRUE(cine.played[SCENE_OPENING]);
    EXPECT_FALSE(cine.played[SCENE_CITADEL]);  // the opening runs it itself

    // Once only; the citadel alone still plays, and waits its 60 steps after the card.
    ClearBoxes();
    script.Clear();
    cine.BeginCine(SCENE_OPENING);
    EXPECT_TRUE(boxes.empty());
    script.ticks_run = 0;
    script.Tap(GK_ENTER).Ticks(70).Space(7);
    cine.BeginCine(SCENE_CITADEL);
    ASSERT_EQ(boxes.size(), 7u);
    EXPECT_EQ(boxes[0].tick, 2 + 1 + 61);  // the card's key up then down, the dropped tick, 61 steps
    EXPECT_TRUE(cine.played[SCENE_CITADEL]);
    ClearBoxes();
    cine.BeginCine(SCENE_CITADEL);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Cine, ThePlantSceneWalksTheHeroPastTheSpeakerOnTheCurrentMap) {
    CMap plaza;
    make_map(plaza, 80, 50);
    plaza.tileset_name = "./data/tiles.bmp";
    ASSERT_EQ(plaza.SaveMap("./data/plaza.map"), 0);
    ASSERT_EQ(enter_map("./data/plaza.map", at_pixel(600, 300)), 0);
    quest.flags = QF_HERB_ERRAND;
    script.Ticks(110).Space(6);
    quest.ProcessQuest(QF_HERB_PLANTED);

    ASSERT_GE(boxes.size(), 4u);
    const std::vector<std::string> speakers = Speakers();
    EXPECT_EQ(std::vector<std::string>(speakers.begin(), speakers.begin() + 4),
              std::vector<std::string>({story::SPEAKER_MALREC, story::SPEAKER_MALREC, story::SPEAKER_MALREC, ""}));
    const Box& speech = boxes[0];
    EXPECT_EQ(speech.tick, 101);
    EXPECT_EQ(speech.hero_x, 700u);  // 100 ticks a pixel each to the right
    // View (500, 200); the hero drawn at his place in it.
    EXPECT_EQ(Pixel(speech, 0, 0), StageColour(500, 200, 0, 0));
    EXPECT_EQ(Pixel(speech, 639, 399), StageColour(500, 200, 639, 399));
    EXPECT_EQ(Pixel(speech, 200 + 8, 100 + 8), HeroColour());
    EXPECT_NE(boxes[2].words.find("stinkroot"), std::string::npos);
    EXPECT_NE(boxes[3].words.find("chains"), std::string::npos);
    // The quest goes on after the scene; the party stands together, the view centred on it.
    EXPECT_EQ(boxes.size(), 6u);
    EXPECT_TRUE(cine.played[SCENE_PLANT]);
    EXPECT_EQ(map.name, "plaza.map");
    EXPECT_EQ(player[1].x, 700u);
    EXPECT_EQ(player[0].scroll_x, 700 - 320);
    EXPECT_EQ(player[0].scroll_y, 300 - 240 - 1);
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
    EXPECT_EQ(script.ticks_run, 0);
    EXPECT_EQ(map.name, "orcvillage.MAP");
}

TEST_F(Cine, TheCompanionJoinsAtTheOrcVillageOnce) {
    ASSERT_EQ(enter_map("./data/orcvillage.map", at_pixel(64, 64)), 0);
    script.Ticks(60).Space(2);
    quest.ProcessQuest(QF_COMPANION_JOINS);

    ASSERT_EQ(Speakers(), std::vector<std::string>({"Leader of the Orc Village", "Miresa"}));
    const Box& greeting = boxes[0];
    EXPECT_EQ(greeting.map, "orccine.map");
    EXPECT_EQ(greeting.tick, 1 + 46);  // the dropped tick, then past step 45
    EXPECT_EQ(Pixel(greeting, 0, 0), StageColour(400, 50, 0, 0));
    EXPECT_EQ(Pixel(greeting, 576 + 8, 256 + 8), HeroColour());  // his place taken as the screen's
    // On the village, where the scene put him, his view centred; she has joined.
    EXPECT_EQ(map.name, "orcvillage.MAP");
    EXPECT_EQ(player[0].x, 576u);
    EXPECT_EQ(player[0].y, 256u);
    EXPECT_EQ(player[0].scroll_x, 576 - 320);
    EXPECT_EQ(quest.flags & (QF_COMPANION_JOINS | QF_COMPANION), (uint64_t)(QF_COMPANION_JOINS | QF_COMPANION));

    // Again: no scene, only the keys held are forgotten, the map stays.
    ClearBoxes();
    script.Clear();
    script.forgets = 0;
    ASSERT_EQ(enter_map("./data/castleend.map", at_pixel(64, 64)), 0);
    script.forgets = 0;
    cine.BeginCine(SCENE_COMPANION);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(script.forgets, 1);
    EXPECT_EQ(map.name, "castleend.MAP");
}

// The whole castle scene to its end: the companion leaves, the report, the view down the
// castle, the garden, the last battle's map, the taunt, the wastelands, the end picture.
class CastleScene : public Cine {
protected:
    // The last battle's map holds no monster: the party, standing, wins it at once (one box).
    void Script() {
        player[0].hp = player[0].max_hp = player[1].hp = player[1].max_hp = 20;
        script.Ticks(70).Space(2).Ticks(900).Space().Ticks(10).Space();
        for (int box = 0; box < 3; ++box) script.Ticks(20).Space();  // the victory, the taunt, the last words
        script.Tap(GK_ENTER).Tap(GK_ENTER);
    }
};

TEST_F(CastleScene, PlaysToTheEndPictureAndEndsTheGame) {
    BITMAP* end = create_bitmap_ex(24, 640, 480);
    clear_to_color(end, makecol24(0, 248, 0));
    ASSERT_EQ(save_bitmap("./data/theend.tga", end, nullptr), 0);
    destroy_bitmap(end);
    ASSERT_EQ(enter_map("./data/orcvillage.map", at_pixel(64, 64)), 0);
    quest.flags = QF_COMPANION | QF_SAGE;
    Script();
    EXPECT_EQ(Run([] { cine.BeginCine(SCENE_CASTLE); }), RunEnd::EXITED);
    EXPECT_EQ(exit_status, 0);

    ASSERT_EQ(Speakers(), std::vector<std::string>({"Commander Garrick", "Emperor Vorrand", "Emperor Vorrand", "", "",
                                                    "Vorrand", ""}));
    const std::vector<std::string> maps = {"castle.map",     "castle.map",     "castle.map",
                                           "castlemiresa.map", "castlebattle.map", "castleend.MAP",
                                           "wastelands.MAP"};
    for (size_t i = 0; i < maps.size(); ++i) EXPECT_EQ(boxes[i].map, maps[i]) << i;
    EXPECT_EQ(quest.flags, (uint64_t)QF_SAGE);  // the companion has left the party
    // The report after 60 steps, the view at (400, 192), the hero on the start tile's pixel
    // taken as the screen's.
    EXPECT_EQ(boxes[0].tick, 1 + 60);
    EXPECT_EQ(Pixel(boxes[0], 0, 0), StageColour(400, 192, 0, 0));
    EXPECT_EQ(Pixel(boxes[0], 32 + 8, 32 + 8), HeroColour());
    // The voice from the garden on the tick the view reaches 800 pixels down the castle (the
    // frame on the screen then is the one before, 799 down).
    EXPECT_EQ(Pixel(boxes[2], 0, 0), StageColour(400, 192 + 799, 0, 0));
    // The taunt and the last words over their stages.
    EXPECT_EQ(Pixel(boxes[5], 10, 10), StageColour(400, 192, 10, 10));
    EXPECT_EQ(Pixel(boxes[6], 10, 10), StageColour(0, 0, 10, 10));
    // The end picture stays on the screen as the game ends.
    EXPECT_EQ(ScreenPixel(320, 240), makecol(0, 248, 0));
}

// The hero comes to the last battle already fallen: the defeat shows, any key brings the start
// menu, and its "new game" begins at home. Neither the old game's scene nor the portal that
// started it may go on (into the ending, or back to the castle) over the new game.
class LostCastle : public CastleScene {
protected:
    void LoseTheLastBattleBy(const std::function<void()>& road) {
        Stage("./data/castlebattle.map", 20, 20, [](CMap& m) {
            m.battle = true;
            place_npc(m, 160, 160, 26);  // Vorrand
        });
        Stage(story::HOME_MAP, 40, 30);  // a home without its opening scene
        quest.flags = QF_COMPANION | QF_SAGE;
        player[0].hp = 0;
        const unsigned int games = games_begun;
        script.Ticks(70).Space(2).Ticks(900).Space().Ticks(10).Space();  // the scene up to the battle
        script.Ticks(5).Tap(GK_ENTER).Ticks(5).Tap(GK_SPACE).Ticks(5);    // any key, then "new game"
        EXPECT_EQ(Run(road), RunEnd::RETURNED);
        EXPECT_EQ(games_begun, games + 1);
        EXPECT_EQ(Speakers(), std::vector<std::string>({"Commander Garrick", "Emperor Vorrand", "Emperor Vorrand", ""}));
        EXPECT_EQ(map.name, "duskwing.map");
        EXPECT_EQ(quest.flags, 0u);
        EXPECT_GE(player[0].hp, 8);  // a fresh hero
    }
};

TEST_F(LostCastle, TheSceneLeavesTheNewGameAlone) {
    ASSERT_EQ(enter_map("./data/orcvillage.map", at_pixel(64, 64)), 0);
    LoseTheLastBattleBy([] { cine.BeginCine(SCENE_CASTLE); });
}

TEST_F(LostCastle, ThePortalIntoTheCastleLeavesTheNewGameAlone) {
    Stage("./data/castle.map", 65, 93, [](CMap& m) {
        m.p0_x = 2, m.p0_y = 2, m.p1_x = 3, m.p1_y = 2;
        m.cine = SCENE_CASTLE;  // the castle's entry scene
    });
    CMap gate;
    make_map(gate, 20, 15);
    add_portal(gate, 64, 64, "./data/castle.map", 32, 32);
    ASSERT_EQ(gate.SaveMap("./data/gate.map"), 0);
    ASSERT_EQ(enter_map("./data/gate.map", at_pixel(64, 64)), 0);
    LoseTheLastBattleBy([] { map.CheckPortals(player[0]); });
}

TEST_F(CastleScene, EndsTheProcessWithStatusZeroWithoutTheEndPicture) {
    // Exit through a host that really ends the process, in a child process.
    struct ExitingHost : CScriptHost {
        explicit ExitingHost(const CScriptHost& s) : CScriptHost(s) {}
        [[noreturn]] void Exit(int status) override { std::_Exit(status); }
    };
    ASSERT_EQ(enter_map("./data/orcvillage.map", at_pixel(64, 64)), 0);
    Script();
    EXPECT_EXIT(
        {
            ExitingHost exiting(script);
            host = &exiting;
            try {
                cine.BeginCine(SCENE_CASTLE);
            } catch (...) {
                std::_Exit(2);  // the script ran out: the scene waited for something
            }
            std::_Exit(3);  // the scene returned
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
