// The title screen and the start menu: the splash, the four entries, and the start of a new game.
#pragma once

#include <allegro.h>

#include "GameState.h"
#include "ScreenKit.h"
#include "Timing.h"

// What CApp::Intro() returns.
enum TitleChoice {
    TITLE_LOADED = 0,    // the saved game has been loaded
    TITLE_NEW_GAME = 1,  // "new game" was chosen
};

// The start menu's entries, top to bottom.
enum TitleItem { ITEM_NEW_GAME, ITEM_LOAD_GAME, ITEM_OPTIONS, ITEM_EXIT, TITLE_ITEMS };

// The seven title pictures, loaded when the title screen opens and freed when it closes (the
// start menu can come back many times in a run: the battle's defeat shows it again). A missing
// picture stays null and is simply not shown.
class CTitleArt {
public:
    BITMAP* title = nullptr;     // "./data/title.tga": the splash, centred
    BITMAP* selector = nullptr;  // "./data/selector.bmp": the cursor, stretched to 9 x 9
    BITMAP* banner = nullptr;    // "./data/banner.tga": top edge, centred
    BITMAP* items[TITLE_ITEMS] = {};  // newgame, loadgame, options, exit (.tga)

    CTitleArt();
    ~CTitleArt();
    CTitleArt(const CTitleArt&) = delete;
    CTitleArt& operator=(const CTitleArt&) = delete;
};

// The start menu on the screen kit. UP and DOWN move the selector (no wrap; both in one tick
// cancel out), SPACE chooses: "new game" finishes the screen, "load game" loads the saved game
// and finishes it (without a usable save a box says why and the menu stays), "options" answers
// with an alert, "exit" ends the process with status 0. The three keys start "up", so a key held
// through the splash acts on the first tick. Invariant: 0 <= item < TITLE_ITEMS.
class CStartMenu : public CScreen {
public:
    int item = ITEM_NEW_GAME;           // the entry under the selector
    TitleChoice chosen = TITLE_NEW_GAME;  // the result, once finished

    explicit CStartMenu(const CTitleArt& art) : art_(art) {}
    // The selector's top edge, 50 pixels an entry below the first.
    int SelectorY() const { return 95 + 50 * item; }

    bool Tick() override;
    // The credit line, the banner, the four entries and the selector.
    void Draw() override;
    ScreenView View() const override { return {SK_START_MENU, item}; }

private:
    const CTitleArt& art_;
    CScreenKey up_{GK_UP, false}, down_{GK_DOWN, false}, space_{GK_SPACE, false};
};

// The splash: the title picture centred on a cleared screen for two seconds; keys typed meanwhile
// are dropped. Called by CApp::Intro.
void ShowTitleSplash(const CTitleArt& art);
// Runs the start menu until a game is loaded or "new game" is chosen. Called by Intro and by
// Menu when a new game could not start.
TitleChoice RunStartMenu(const CTitleArt& art);
// A new game: the game's state afresh, the party rolled, the home map entered on its start tiles
// with its NPCs aimed and given their statistics, the home map's opening scene, the party back on
// the start tiles and the map's music. False, with nothing started, when the home map cannot be
// read (the loader has said why). Called by CApp::Menu.
bool StartNewGame();
