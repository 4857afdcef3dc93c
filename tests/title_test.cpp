// The title screen and start menu: the keys, what is drawn where, loading from the menu, and the start of a game.
#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "CCine.h"
#include "CDisplay.h"
#include "CMap.h"
#include "CPlayer.h"
#include "MapBuild.h"
#include "Quests.h"
#include "SaveGame.h"
#include "ScriptHost.h"
#include "StoryFacts.h"
#include "TempDir.h"
#include "Timing.h"
#include "Title.h"

namespace {

// Colours of the test pictures (exact in 16 bits).
struct Picture {
    const char* file;
    int w, h, r, g, b;
};
const Picture TITLE = {"title.tga", 320, 240, 200, 0, 0};
const Picture BANNER = {"banner.tga", 400, 64, 0, 200, 0};
const Picture ITEMS[TITLE_ITEMS] = {
    {"newgame.tga", 200, 40, 0, 0, 200},
    {"loadgame.tga", 225, 40, 200, 200, 0},
    {"options.tga", 215, 40, 0, 200, 200},
    {"exit.tga", 230, 40, 200, 0, 200},
};
const Picture SELECTOR = {"selector.bmp", 3, 3, 248, 248, 248};

int colour(const Picture& p) { return makecol16(p.r, p.g, p.b); }

// A game folder with the title pictures (each one plain colour; the selector's top-left pixel is
// the see-through pink), a 30 x 20 home map with start tiles (5, 6) and (6, 6), and a 40 x 30
// "inn.map" a saved game can name.
class Title : public GameRig {
protected:
    TempDir dir{TempDir::AS_GAME_FOLDER};

    void SetUp() override {
        GameRig::SetUp();
        for (const Picture* p : {&TITLE, &BANNER, &ITEMS[0], &ITEMS[1], &ITEMS[2], &ITEMS[3], &SELECTOR}) {
            BITMAP* b = create_bitmap_ex(24, p->w, p->h);
            clear_to_color(b, makecol24(p->r, p->g, p->b));
            if (p == &SELECTOR) putpixel(b, 0, 0, makecol24(255, 0, 255));
            ASSERT_EQ(save_bitmap((std::string("./data/") + p->file).c_str(), b, nullptr), 0) << p->file;
            destroy_bitmap(b);
        }
        CMap home;
        make_map(home, 30, 20);
        home.p0_x = 5, home.p0_y = 6, home.p1_x = 6, home.p1_y = 6;
        ASSERT_EQ(home.SaveMap(story::HOME_MAP), 0);
        CMap inn;
        make_map(inn, 40, 30);
        ASSERT_EQ(inn.SaveMap("./data/inn.map"), 0);
    }

    // A saved game on inn.map with the hero at (300, 200) and quest flags 0x40.
    void WriteSave() {
        ASSERT_EQ(map.LoadMap("./data/inn.map"), 0);
        player[0].x = 300, player[0].y = 200;
        quest.flags = 0x40;
        std::string problem;
        ASSERT_TRUE(SaveGame(problem)) << problem;
        reset_game_state();
    }

    // Runs the start menu on the script; the screen stays for the test to look at.
    RunEnd RunMenu(CStartMenu& m) {
        return Run([&m] { RunScreen(m); });
    }
};

TEST_F(Title, UpAndDownMoveTheSelectorWithinTheFourEntries) {
    auto both = [this] { script.Ticks(1).Down(GK_UP).Down(GK_DOWN).Ticks(1).ReleaseAll().Ticks(1); };
    struct Case {
        const char* what;
        std::function<void()> keys;
        int item;
    } cases[] = {
        {"down twice", [&] { script.Tap(GK_DOWN).Tap(GK_DOWN); }, ITEM_OPTIONS},
        {"up on the first entry", [&] { script.Tap(GK_UP); }, ITEM_NEW_GAME},
        {"down past the last entry", [&] { for (int i = 0; i < 5; ++i) script.Tap(GK_DOWN); }, ITEM_EXIT},
        {"down, up", [&] { script.Tap(GK_DOWN).Tap(GK_UP); }, ITEM_NEW_GAME},
        {"down held for 30 ticks acts once", [&] { script.Hold(GK_DOWN, 30).Ticks(1); }, ITEM_LOAD_GAME},
        {"up and down in one tick on the first entry", both, ITEM_NEW_GAME},
        {"up and down in one tick on the second", [&] { script.Tap(GK_DOWN); both(); }, ITEM_LOAD_GAME},
        {"up and down in one tick on the last",
         [&] {
             for (int i = 0; i < 3; ++i) script.Tap(GK_DOWN);
             both();
         },
         ITEM_EXIT},
    };
    CTitleArt art;
    for (const Case& c : cases) {
        script.Clear();
        c.keys();
        CStartMenu m(art);
        EXPECT_EQ(RunMenu(m), RunEnd::SCRIPT_END) << c.what;
        EXPECT_EQ(m.item, c.item) << c.what;
        EXPECT_EQ(m.SelectorY(), 95 + 50 * c.item) << c.what;
    }
}

TEST_F(Title, SpaceChoosesNewGameOptionsOrExit) {
    CTitleArt art;
    {
        // A SPACE held through the splash chooses the first entry on the menu's first tick.
        script.Held(GK_SPACE).Ticks(1);
        CStartMenu m(art);
        EXPECT_EQ(RunMenu(m), RunEnd::RETURNED);
        EXPECT_EQ(m.chosen, TITLE_NEW_GAME);
        EXPECT_EQ(script.ticks_run, 1);
    }
    {
        // "options" answers with its alert and leaves the menu as it was.
        script.Clear().AnswerAlert(1).Tap(GK_DOWN).Tap(GK_DOWN).Space().Ticks(3);
        CStartMenu m(art);
        EXPECT_EQ(RunMenu(m), RunEnd::SCRIPT_END);
        ASSERT_EQ(script.alerts.size(), 1u);
        EXPECT_EQ(script.alerts[0].line1, "Hey man, I'm working on it!");
        EXPECT_EQ(m.item, ITEM_OPTIONS);
    }
    {
        script.Clear().Tap(GK_DOWN).Tap(GK_DOWN).Tap(GK_DOWN).Space();
        CStartMenu m(art);
        EXPECT_EQ(RunMenu(m), RunEnd::EXITED);
        EXPECT_EQ(exit_status, 0);
    }
}

TEST_F(Title, LoadGameWithoutAUsableSaveSaysWhyAndStaysInTheMenu) {
    CTitleArt art;
    struct Case {
        const char* what;
        std::function<void()> make_save;
        const char* says;
    } cases[] = {
        {"no save", [] {}, "There is no saved game: player.sav does not exist."},
        {"a damaged save", [] { write_file(SAVE_FILE, "not a saved game"); }, "player.sav"},
        {"a save of a map that is gone", [] { write_file("./data/inn.map", "gone"); }, "./data/inn.map"},
    };
    WriteSave();
    const std::string good = read_file(SAVE_FILE), inn = read_file("./data/inn.map");
    for (const Case& c : cases) {
        unlink(SAVE_FILE);
        if (std::string(c.what) != "no save") write_file(SAVE_FILE, good);
        write_file("./data/inn.map", inn);
        c.make_save();
        const unsigned int games = games_begun;
        script.Clear();
        script.said.clear();
        // "load game": the box; SPACE closes it; then UP and "new game".
        script.Tap(GK_DOWN).Space(2).Tap(GK_UP).Space();
        CStartMenu m(art);
        EXPECT_EQ(RunMenu(m), RunEnd::RETURNED) << c.what;
        EXPECT_EQ(m.chosen, TITLE_NEW_GAME) << c.what;
        ASSERT_EQ(script.said.size(), 1u) << c.what;
        EXPECT_EQ(script.said[0].first, "");
        EXPECT_NE(script.said[0].second.find(c.says), std::string::npos) << script.said[0].second;
        EXPECT_EQ(games_begun, games) << c.what;  // nothing of the game was touched
        EXPECT_EQ(map.name, "NULL") << c.what;
    }
}

TEST_F(Title, TheMenuFrameAndTheSplash) {
    CTitleArt art;
    script.Tap(GK_DOWN).Ticks(1);
    CStartMenu m(art);
    RunMenu(m);
    // The frame shown: banner top centre, the four entries, the selector 9 x 9 at (87, 145) with
    // its pink pixel see-through (the "load game" picture shows there), the credit line.
    EXPECT_EQ(ScreenPixel(120, 0), colour(BANNER));
    EXPECT_EQ(ScreenPixel(519, 63), colour(BANNER));
    EXPECT_EQ(ScreenPixel(119, 0), 0);
    const int at[TITLE_ITEMS][2] = {{100, 75}, {75, 125}, {85, 175}, {70, 225}};
    for (int i = 0; i < TITLE_ITEMS; ++i)
        EXPECT_EQ(ScreenPixel(at[i][0] + ITEMS[i].w - 1, at[i][1] + 39), colour(ITEMS[i])) << i;
    EXPECT_EQ(ScreenPixel(87 + 8, 145 + 8), colour(SELECTOR));
    EXPECT_EQ(ScreenPixel(87, 145), colour(ITEMS[1]));  // the stretched pink corner
    EXPECT_EQ(ScreenPixel(87 + 9, 145 + 9), colour(ITEMS[1]));
    int white = 0;
    for (int y = 470; y < 478; ++y)
        for (int x = 0; x < 300; ++x) white += ScreenPixel(x, y) == makecol16(255, 255, 255);
    EXPECT_GT(white, 200);

    // The splash: the title picture centred on a cleared screen, typed keys dropped after it.
    clear_to_color(screen, makecol16(9, 9, 9));
    script.flushes = 0;
    ShowTitleSplash(art);
    EXPECT_EQ(ScreenPixel(160, 120), colour(TITLE));
    EXPECT_EQ(ScreenPixel(479, 359), colour(TITLE));
    EXPECT_EQ(ScreenPixel(159, 120), 0);
    EXPECT_EQ(script.flushes, 1);
}

TEST_F(Title, MissingPicturesAreNotShownAndTheMenuStillWorks) {
    for (const char* f : {"title.tga", "banner.tga", "newgame.tga", "selector.bmp"})
        unlink((std::string("./data/") + f).c_str());
    CTitleArt art;
    EXPECT_EQ(art.title, nullptr);
    ShowTitleSplash(art);
    script.Space();
    CStartMenu m(art);
    EXPECT_EQ(RunMenu(m), RunEnd::RETURNED);
    EXPECT_EQ(ScreenPixel(100, 75), 0);
    EXPECT_EQ(ScreenPixel(75, 125), colour(ITEMS[1]));
    EXPECT_TRUE(script.messages.empty());
}

TEST_F(Title, MenuStartsANewGameOrLoadsAndMayRunAgainAndAgain) {
    WriteSave();
    const unsigned int games = games_begun;
    // A new game: on the home map's start tiles, the view centred there.
    script.Held(GK_SPACE).Ticks(1);
    ASSERT_EQ(Run([] { App.Menu(); }), RunEnd::RETURNED);
    EXPECT_EQ(map.name, "duskwing.map");
    EXPECT_EQ(player[0].x, 80u);
    EXPECT_EQ(player[1].x, 96u);
    EXPECT_GT(player[0].max_hp, 0);  // the party was rolled
    EXPECT_EQ(games_begun, games + 1u);
    // The start menu again in the middle of that game (as after a defeat): "load game".
    quest.flags = 0x8000;
    script.Clear().Tap(GK_DOWN).Space();
    ASSERT_EQ(Run([] { App.Menu(); }), RunEnd::RETURNED);
    EXPECT_EQ(map.name, "inn.map");
    EXPECT_EQ(quest.flags, 0x40u);
    EXPECT_EQ(games_begun, games + 2u);
    // And once more: a new game leaves nothing of the loaded one.
    script.Clear().Space();
    ASSERT_EQ(Run([] { App.Menu(); }), RunEnd::RETURNED);
    EXPECT_EQ(map.name, "duskwing.map");
    EXPECT_EQ(quest.flags, 0u);
    EXPECT_EQ(games_begun, games + 3u);
}

TEST_F(Title, AHomeMapThatCannotBeReadStartsNoGameAndTheMenuComesBack) {
    write_file(story::HOME_MAP, "damaged");
    // "new game" fails with the loader's message; the menu is back (no splash): "exit".
    script.Space().Tap(GK_DOWN).Tap(GK_DOWN).Tap(GK_DOWN).Space();
    EXPECT_EQ(Run([] { App.Menu(); }), RunEnd::EXITED);
    EXPECT_EQ(exit_status, 0);
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_NE(script.messages[0].find("duskwing.map"), std::string::npos) << script.messages[0];
}

TEST_F(Title, ANewGamePlaysTheHomeMapsOpeningScene) {
    CMap home;
    ASSERT_EQ(home.LoadMap(story::HOME_MAP), 0);
    home.cine = SCENE_OPENING;
    ASSERT_EQ(home.SaveMap(story::HOME_MAP), 0);
    CMap stage;
    make_map(stage, 40, 30);
    ASSERT_EQ(stage.SaveMap("./data/eviltemple.map"), 0);
    // SPACE for new game; the opening's box, a key for the citadel's card, its seven boxes.
    script.Space().Ticks(110).Space().Tap(GK_ENTER).Ticks(70).Space(7);
    ASSERT_EQ(Run([] { App.Menu(); }), RunEnd::RETURNED);
    EXPECT_EQ(script.said.size(), 8u);
    EXPECT_TRUE(cine.played[SCENE_OPENING]);
    EXPECT_EQ(map.name, "duskwing.map");
    EXPECT_EQ(player[0].x, 80u);
    EXPECT_EQ(player[0].y, 96u);
}

}  // namespace
