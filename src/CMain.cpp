// The game's spine: start-up, the field loop with its keys, and the actions of map events.
#include "CMain.h"

#include <allegro.h>
#include <ctime>
#include <string>

#include "CDisplay.h"
#include "CMap.h"
#include "CMenu.h"
#include "CPlayer.h"
#include "DataFiles.h"
#include "Grid.h"
#include "Host.h"
#include "Interaction.h"
#include "MenuArt.h"
#include "Music.h"
#include "Rolls.h"
#include "ScreenKit.h"
#include "Timing.h"

CApp App;

// The playlist song that plays under the title screen.
constexpr int TITLE_SONG = SONG_KNIGHTS;

int field_key_space = 0;
int key_lctrl = 0;
int key_rctrl = 0;

void exit_callback() { App.done = true; }
END_OF_FUNCTION(exit_callback)

// Loads a start-up bitmap; a missing one is noted for the start-up report.
static BITMAP* load_startup_bitmap(const char* path, std::string& missing) {
    BITMAP* bmp = load_data_bitmap(path);
    if (!bmp) missing += std::string("\n  ") + path;
    return bmp;
}

void StartUp() {
    // Every file missing here is named in one message: a box per file would keep a player
    // with an incomplete data/ folder clicking through a dozen boxes before the game starts.
    std::string missing;
    menu.Init();
    text_box = load_startup_bitmap("./data/text.bmp", missing);
    player[0].sprite = load_startup_bitmap("./data/character.bmp", missing);
    player[1].sprite = load_startup_bitmap("./data/character2.bmp", missing);
    // The dialogue box and the shop load their own copies of their sounds; this only checks they are there.
    for (const char* sound : {"./data/music/confirm.wav", "./data/music/coinchime.wav"}) {
        if (SAMPLE* probe = load_data_sample(sound))
            destroy_sample(probe);
        else
            missing += std::string("\n  ") + sound;
    }
    player[1].x = player[0].x;
    player[1].y = player[0].y;
    player[0].GetInfo();
    player[0].shop.Init();
    player[1].name = COMPANION_NAME;
    player[1].GetInfo();
    player[1].shop.Init();
    missing += menu_art.missing;
    missing += load_field_songs();
    if (!missing.empty())
        show_message("Warning: these game files could not be loaded; the game goes on without them:%s",
                     missing.c_str());
    play_song(TITLE_SONG, false);
}

void FieldTick() {
    // A battle lost in this tick (through a portal, a step-on event or the use key) may go
    // through the start menu into another game: the rest of the tick belonged to the game that
    // ended and must not walk the hero or run events on the new one.
    const unsigned int game = games_begun;
    auto game_changed = [game] { return games_begun != game; };

    playlist_tick();

    if (host->KeyDown(GK_ESC)) AskQuit();

    // Each arrow acts on its own, so two held together both move the hero in this tick.
    static const int WALK_KEYS[4] = {GK_RIGHT, GK_LEFT, GK_UP, GK_DOWN};
    static const Direction WALK_DIRS[4] = {DIR_RIGHT, DIR_LEFT, DIR_UP, DIR_DOWN};
    for (int k = 0; k < 4; ++k) {
        if (!host->KeyDown(WALK_KEYS[k])) continue;
        map.CheckPortals(player[0]);
        if (game_changed()) return;
        player[0].Move(map, WALK_DIRS[k]);
        // The companion always stands on the hero.
        if (k < 2)
            player[1].x = player[0].x;
        else
            player[1].y = player[0].y;
        map.CheckEvents(player[0]);
        if (game_changed()) return;
    }

    update_key(GK_SPACE, &field_key_space);
    update_key(GK_LCONTROL, &key_lctrl);
    update_key(GK_RCONTROL, &key_rctrl);

    if (field_key_space == 1) FieldUseAction();
    if (game_changed()) return;

    if (key_lctrl == 1 || key_rctrl == 1) menu.DisplayStatus();

    if (host->KeyDown(GK_M)) {
        // The count is read again each time: a message box must not outlive a shorter list.
        for (unsigned int i = 0; i < map.num_events && i < map.events.size(); ++i) {
            const CEvent& e = map.events[i];
            show_message(" num  %d ::: %d %d %d (Imax %d)", (int)i, e.x, e.y, e.type, (int)map.num_events);
        }
    }

    if (speed_counter == 1 && App.timer > 29)
        player[0].frame = (player[0].frame % 2 == 0) ? player[0].frame + 1 : player[0].frame - 1;

    if (speed_counter == 1) FieldNpcWander();
}

void FieldDraw() {
    BITMAP* page = Display.GetSurface();
    if (!page) return;
    map.DrawMap(0, player[0].scroll_x, player[0].scroll_y);
    map.DrawObjects(0, player[0].scroll_x, player[0].scroll_y);
    const CPlayer& shown = player[App.selected_pc == 1 ? 1 : 0];
    if (shown.sprite)
        masked_blit(shown.sprite, page, CELL * player[0].frame, CELL * player[0].facing,
                    (int)player[0].x - player[0].scroll_x, (int)player[0].y - player[0].scroll_y, CELL, CELL);
    textprintf_ex(page, font, 0, 0, makecol(255, 0, 0), -1, "%d fps %d", (int)map.num_portals, fps.load());
    frame_count++;
}

namespace {

// The field on the screen kit: it never finishes; its frames alternate between the pages.
class CFieldScreen : public CScreen {
public:
    bool Tick() override {
        FieldTick();
        return false;
    }
    void Draw() override { FieldDraw(); }
    ShowMode Shown() const override { return SHOW_FLIP; }
    ScreenView View() const override { return {SK_FIELD}; }
};

}  // namespace

void FieldPass() {
    CFieldScreen field;
    ScreenPass(field);
}

void FieldLoop() {
    // The outermost loop: every tick due is the field's own, so none is put aside.
    CFieldScreen field;
    for (;;) ScreenPass(field);
}

int GameMain() {
    seed_rolls((unsigned)time(nullptr));
    Display.CreateWindows(GAME_W, GAME_H, GAME_DEPTH, false);
    SetTimers();
    LOCK_FUNCTION(exit_callback);
    LOCK_VARIABLE(App);
    set_close_button_callback(exit_callback);
    StartUp();
    App.Menu();
    FieldLoop();
    return 0;
}
