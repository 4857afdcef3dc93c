// The title screen and start menu: the keys, what is drawn where, loading from the menu, and the start of a game.
#include <gtest/gtest.h>

#include <functional>
#include <unistd.h>

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
const Picture TITLE = {"title.tga", 320, 240, 200, 0, 0}, LOAD_GAME = {"loadgame.tga", 225, 40, 200, 200, 0},
              SELECTOR = {"selector.bmp", 3, 3, 248, 248, 248};
const Picture PICTURES[] = {TITLE, {"banner.tga", 400, 64, 0, 200, 0}, {"newgame.tga", 200, 40, 0, 0, 200}, LOAD_GAME,
                            {"options.tga", 215, 40, 0, 200, 200}, {"exit.tga", 230, 40, 200, 0, 200}, SELECTOR};

int colour(const Picture& p) { return makecol16(p.r, p.g, p.b); }

// A game folder with the title pictures (each one plain colour; the selector's top-left pixel is
// the see-through pink), a 30 x 20 home map with start tiles (5, 6) and (6, 6), and a 40 x 30
// "inn.map" a saved game can name.
class Title : public GameRig {
protected:
    TempDir dir{TempDir::AS_GAME_FOLDER};

    void SetUp() override {
        GameRig::SetUp();
        for (const Picture& p : PICTURES) {
            BITMAP* b = create_bitmap_ex(24, p.w, p.h);
            clear_to_color(b, makecol24(p.r, p.g, p.b));
            if (&p == &PICTURES[6]) putpixel(b, 0, 0, makecol24(255, 0, 255));
            ASSERT_EQ(save_bitmap((std::string("./data/") + p.file).c_str(), b, nullptr), 0) << p.file;
            destroy_bitmap(b);
        }
        CMap home, inn;
        make_map(home, 30, 20);
        home.p0_x = 5, home.p0_y = 6, home.p1_x = 6, home.p1_y = 6;
        ASSERT_EQ(home.SaveMap(story::HOME_MAP), 0);
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
    RunEnd RunMenu(CStartMenu& m) { return Run([&m] { RunScreen(m); }); }
};

// The selector moves within the four entries (a key held acts once, UP and DOWN together do
// nothing); SPACE chooses "new game" (even held through the splash), answers "options" with its
// alert and leaves the menu as it was, or ends the game on "exit".
TEST_F(Title, TheMenusKeys) {
    auto both = [this] { script.Ticks(1).Down(GK_UP).Down(GK_DOWN).Ticks(1).ReleaseAll().Ticks(1); };
    auto downs = [this](int n) {
        for (int i = 0; i < n; ++i) script.Tap(GK_DOWN);
    };
    const struct { const char* what; std::function<void()> keys; RunEnd end; int item; const char* alert; } cases[] = {
        {"down twice", [&] { downs(2); }, RunEnd::SCRIPT_END, ITEM_OPTIONS, nullptr},
        {"up on the first entry", [&] { script.Tap(GK_UP); }, RunEnd::SCRIPT_END, ITEM_NEW_GAME, nullptr},
        {"down past the last entry", [&] { downs(5); }, RunEnd::SCRIPT_END, ITEM_EXIT, nullptr},
        {"down, up", [&] { downs(1), script.Tap(GK_UP); }, RunEnd::SCRIPT_END, ITEM_NEW_GAME, nullptr},
        {"down held for 30 ticks", [&] { script.Hold(GK_DOWN, 30).Ticks(1); }, RunEnd::SCRIPT_END, ITEM_LOAD_GAME, nullptr},
        {"both on the first entry", both, RunEnd::SCRIPT_END, ITEM_NEW_GAME, nullptr},
        {"both on the second", [&] { downs(1), both(); }, RunEnd::SCRIPT_END, ITEM_LOAD_GAME, nullptr},
        {"both on the last", [&] { downs(3), both(); }, RunEnd::SCRIPT_END, ITEM_EXIT, nullptr},
        {"space held", [&] { script.Held(GK_SPACE).Ticks(1); }, RunEnd::RETURNED, ITEM_NEW_GAME, nullptr},
        {"options", [&] { downs(2), script.AnswerAlert(1).Space().Ticks(3); }, RunEnd::SCRIPT_END, ITEM_OPTIONS,
         "Hey man, I'm working on it!"},
        {"exit", [&] { downs(3), script.Space(); }, RunEnd::EXITED, ITEM_EXIT, nullptr},
    };
    CTitleArt art;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        script.Clear().alerts.clear();
        script.ticks_run = 0;
        c.keys();
        CStartMenu m(art);
        EXPECT_EQ(RunMenu(m), c.end);
        EXPECT_EQ(std::make_tuple(m.item, m.SelectorY()), std::make_tuple(c.item, 95 + 50 * c.item));
        EXPECT_TRUE(c.end != RunEnd::RETURNED || (m.chosen == TITLE_NEW_GAME && script.ticks_run == 1));
        EXPECT_TRUE(c.end != RunEnd::EXITED || exit_status == 0);
        EXPECT_EQ(script.alerts.size(), c.alert ? 1u : 0u);
        for (const AlertRecord& a : script.alerts) EXPECT_EQ(a.line1, c.alert);
    }
}

// "load game" with a save whose map is gone: the loader's reason in a box (its case without a save
// is run end to end), the menu stays, nothing of the game is touched; then "new game".
TEST_F(Title, LoadGameWithoutAUsableSaveSaysWhyAndStaysInTheMenu) {
    WriteSave();
    write_file("./data/inn.map", "gone");
    const unsigned int games = games_begun;
    script.Tap(GK_DOWN).Space(2).Tap(GK_UP).Space();
    CTitleArt art;
    CStartMenu m(art);
    EXPECT_EQ(RunMenu(m), RunEnd::RETURNED);
    EXPECT_EQ(m.chosen, TITLE_NEW_GAME);
    ASSERT_EQ(script.said.size(), 1u);
    EXPECT_EQ(script.said[0].first, "");
    EXPECT_NE(script.said[0].second.find("./data/inn.map"), std::string::npos) << script.said[0].second;
    EXPECT_EQ(std::make_tuple(games_begun, map.name), std::make_tuple(games, "NULL"));
}

// The selector's pink corner is see-through (the "load game" picture shows there), the credit
// line stands at the bottom; the splash is the title picture centred on a cleared screen, and the
// keys typed during it are dropped.
TEST_F(Title, TheMenuFrameAndTheSplash) {
    CTitleArt art;
    script.Tap(GK_DOWN).Ticks(1);
    CStartMenu m(art);
    RunMenu(m);
    EXPECT_EQ(ScreenPixel(87 + 8, 145 + 8), colour(SELECTOR));
    EXPECT_EQ(ScreenPixel(87, 145), colour(LOAD_GAME));
    EXPECT_EQ(ScreenPixel(87 + 9, 145 + 9), colour(LOAD_GAME));
    int white = 0;
    for (int y = 470; y < 478; ++y)
        for (int x = 0; x < 300; ++x) white += ScreenPixel(x, y) == makecol16(255, 255, 255);
    EXPECT_GT(white, 200);

    clear_to_color(screen, makecol16(9, 9, 9));
    script.flushes = 0;
    ShowTitleSplash(art);
    EXPECT_EQ(std::make_tuple(ScreenPixel(160, 120), ScreenPixel(479, 359), ScreenPixel(159, 120), script.flushes),
              std::make_tuple(colour(TITLE), colour(TITLE), 0, 1));
}

TEST_F(Title, MissingPicturesAreNotShownAndTheMenuStillWorks) {
    for (const char* f : {"title.tga", "banner.tga", "newgame.tga", "selector.bmp"}) unlink((std::string("./data/") + f).c_str());
    CTitleArt art;
    EXPECT_EQ(art.title, nullptr);
    ShowTitleSplash(art);
    script.Space();
    CStartMenu m(art);
    EXPECT_EQ(RunMenu(m), RunEnd::RETURNED);
    EXPECT_EQ(std::make_tuple(ScreenPixel(100, 75), ScreenPixel(75, 125)), std::make_tuple(0, colour(LOAD_GAME)));
    EXPECT_TRUE(script.messages.empty());
}

// The menu in the middle of a game (as after a defeat) loads the save, then starts a new game on
// the home map's start tiles that leaves nothing of it; each counts as a game begun.
TEST_F(Title, MenuLoadsOrStartsANewGameAgainAndAgain) {
    WriteSave();
    const unsigned int games = games_begun;
    quest.flags = 0x8000;
    script.Tap(GK_DOWN).Space();
    ASSERT_EQ(Run([] { App.Menu(); }), RunEnd::RETURNED);
    EXPECT_EQ(std::make_tuple(map.name, quest.flags, games_begun), std::make_tuple("inn.map", 0x40u, games + 1));
    script.Clear().Space();
    ASSERT_EQ(Run([] { App.Menu(); }), RunEnd::RETURNED);
    EXPECT_EQ(std::make_tuple(map.name, quest.flags, games_begun, player[0].x, player[1].x),
              std::make_tuple("duskwing.map", 0u, games + 2, 80u, 96u));
}

// "new game" fails with the loader's message; the menu is back (no splash): "exit".
TEST_F(Title, AHomeMapThatCannotBeReadStartsNoGameAndTheMenuComesBack) {
    write_file(story::HOME_MAP, "damaged");
    script.Space().Tap(GK_DOWN).Tap(GK_DOWN).Tap(GK_DOWN).Space();
    EXPECT_EQ(Run([] { App.Menu(); }), RunEnd::EXITED);
    EXPECT_EQ(exit_status, 0);
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_NE(script.messages[0].find("duskwing.map"), std::string::npos) << script.messages[0];
}

}  // namespace
