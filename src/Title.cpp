// The title screen and start menu, and the start of a new or loaded game.
#include "Title.h"

#include <string>

#include "CCine.h"
#include "CDisplay.h"
#include "CMap.h"
#include "CPlayer.h"
#include "DataFiles.h"
#include "Host.h"
#include "Interaction.h"
#include "MapEntry.h"
#include "StoryFacts.h"

namespace {

// The entries' pictures and where they are drawn, top to bottom.
struct ItemPicture {
    const char* file;
    int x, y;
};
const ItemPicture ITEM_PICTURES[TITLE_ITEMS] = {
    {"./data/newgame.tga", 100, 75},
    {"./data/loadgame.tga", 75, 125},
    {"./data/options.tga", 85, 175},
    {"./data/exit.tga", 70, 225},
};
constexpr int SELECTOR_X = 87;
constexpr int SELECTOR_SIZE = 9;
constexpr int SPLASH_MS = 2000;
const char* const CREDIT = "v2.0 - tiles drawn by the studio's own artgen";
constexpr int CREDIT_Y = 470;

}  // namespace

CTitleArt::CTitleArt() {
    title = load_data_bitmap("./data/title.tga");
    selector = load_data_bitmap("./data/selector.bmp");
    banner = load_data_bitmap("./data/banner.tga");
    for (int i = 0; i < TITLE_ITEMS; ++i) items[i] = load_data_bitmap(ITEM_PICTURES[i].file);
}

CTitleArt::~CTitleArt() {
    for (BITMAP* b : {title, selector, banner})
        if (b) destroy_bitmap(b);
    for (BITMAP* b : items)
        if (b) destroy_bitmap(b);
}

bool CStartMenu::Tick() {
    // Every key is polled every tick, so a press is seen on its own tick whatever else happens.
    const bool up = up_.Pressed(), down = down_.Pressed(), space = space_.Pressed();
    if (up && !down && item > 0) --item;
    if (down && !up && item < TITLE_ITEMS - 1) ++item;
    if (!space) return false;
    switch (item) {
    case ITEM_NEW_GAME:
        chosen = TITLE_NEW_GAME;
        return true;
    case ITEM_LOAD_GAME: {
        // The game never starts on an empty map: without a usable save the menu stays.
        std::string problem;
        if (LoadGame(problem)) {
            chosen = TITLE_LOADED;
            return true;
        }
        Talk("", problem);
        return false;
    }
    case ITEM_OPTIONS:
        host->Alert("Hey man, I'm working on it!", "", "", "Okay", "Okay");
        return false;
    default:
        Display.Shutdown();
    }
}

void CStartMenu::Draw() {
    BITMAP* page = Display.GetSurface();
    if (!page) return;
    textout_ex(page, font, CREDIT, 0, CREDIT_Y, makecol(255, 255, 255), makecol(0, 0, 0));
    if (art_.banner) blit(art_.banner, page, 0, 0, page->w / 2 - art_.banner->w / 2, 0, art_.banner->w, art_.banner->h);
    for (int i = 0; i < TITLE_ITEMS; ++i)
        if (BITMAP* b = art_.items[i]) blit(b, page, 0, 0, ITEM_PICTURES[i].x, ITEM_PICTURES[i].y, b->w, b->h);
    if (art_.selector)
        masked_stretch_blit(art_.selector, page, 0, 0, art_.selector->w, art_.selector->h, SELECTOR_X, SelectorY(),
                            SELECTOR_SIZE, SELECTOR_SIZE);
}

void ShowTitleSplash(const CTitleArt& art) {
    if (screen) {
        clear_bitmap(screen);
        if (art.title)
            blit(art.title, screen, 0, 0, screen->w / 2 - art.title->w / 2, screen->h / 2 - art.title->h / 2,
                 art.title->w, art.title->h);
    }
    host->Pause(SPLASH_MS);
    host->FlushKeyBuffer();
}

TitleChoice RunStartMenu(const CTitleArt& art) {
    CStartMenu menu_screen(art);
    RunScreen(menu_screen);
    return menu_screen.chosen;
}

bool StartNewGame() {
    // Nothing of a game played before carries over: quest flags, won battles, opened chests, ...
    reset_game_state();
    player[0].InitStats();
    player[1].InitStats();
    if (enter_map(story::HOME_MAP, at_start_tiles(), ENTRY_KEEP_MUSIC) != 0) return false;
    for (unsigned int i = 0; i < map.num_npcs && i < map.npcs.size(); ++i) {
        map.npcs[i].UpdateTargets();
        map.npcs[i].LoadStats();
    }
    // The opening scene moves the party; it starts the game on the start tiles again.
    map.CheckCine();
    place_party_on_start_tiles();
    // The title's song plays on under the opening scene; the home map chooses its tune after it.
    map.HandleMusic();
    return true;
}

int CApp::Intro() {
    CTitleArt art;
    ShowTitleSplash(art);
    return RunStartMenu(art);
}

void CApp::Menu() {
    if (Intro() == TITLE_LOADED) return;
    // A home map that cannot be read starts no game: back to the menu, where the player may load
    // a saved game or leave.
    while (!StartNewGame()) {
        CTitleArt art;
        if (RunStartMenu(art) == TITLE_LOADED) return;
    }
}
