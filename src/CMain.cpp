// The game's spine: start-up, the field loop with its keys, and the actions of map events.
#include "CMain.h"

#include <allegro.h>
#include <cstdlib>
#include <ctime>

#include "CDisplay.h"
#include "CMap.h"
#include "CMenu.h"
#include "CPlayer.h"
#include "DataFiles.h"
#include "Host.h"
#include "Interaction.h"
#include "Timing.h"

CApp App;

// The eight songs of the field playlist, numbered 1 to 8 (index 0 unused).
static MIDI* field_songs[9];

static const char* const SONG_FILES[9] = {
    nullptr,
    "./data/music/space.mid",
    "./data/music/spacewalkbiatch.mid",
    "./data/music/dark.mid",
    "./data/music/dark2.mid",
    "./data/music/knightsrevenge.mid",
    "./data/music/inprog.mid",
    "./data/music/stringscool.mid",
    "./data/music/tribalbeat.mid",
};

// The field loop's own SPACE counter.
static int field_key_space = 0;

void exit_callback() { App.done = true; }
END_OF_FUNCTION(exit_callback)

int CApp::Intro() { return 1; }

void CApp::Menu() {
    if (Intro() != 1) {
        LoadGame();
        return;
    }
}

void StartUp() {
    SetTimers();
    menu.Init();
    text_box = load_data_bitmap("./data/text.bmp");
    player[0].sprite = load_data_bitmap("./data/character.bmp");
    player[1].sprite = load_data_bitmap("./data/character2.bmp");
    if (SAMPLE* probe = load_data_sample("./data/music/confirm.wav"))
        destroy_sample(probe);
    else
        show_message("FUKC)");
    player[1].x = player[0].x;
    player[1].y = player[0].y;
    player[0].GetInfo();
    player[0].shop.Init();
    player[1].name = "Miresa";
    player[1].GetInfo();
    player[1].shop.Init();
    for (int i = 1; i <= 8; ++i) field_songs[i] = load_data_midi(SONG_FILES[i]);
    if (field_songs[5]) play_midi(field_songs[5], FALSE);
}

// The quit question of ESC and of the window's close button; "YES" ends the game.
static void AskQuit() {
    if (host->Alert("Are you sure you want to quit?", "", "", "NO", "YES") == 2) Display.Shutdown();
}

void FieldTick() {
    // Music: when nothing plays, one tick in nine stays silent, otherwise a random song starts.
    if (midi_pos < 0) {
        int r = rand() % 9;
        if (r >= 1 && r <= 8 && field_songs[r]) play_midi(field_songs[r], FALSE);
    }

    if (host->KeyDown(GK_ESC)) AskQuit();

    static const int WALK_KEYS[4] = {GK_RIGHT, GK_LEFT, GK_UP, GK_DOWN};
    static const int WALK_DIRS[4] = {3, 4, 1, 2};
    for (int k = 0; k < 4; ++k) {
        if (!host->KeyDown(WALK_KEYS[k])) continue;
        map.CheckPortals(player[0]);
        player[0].Move(map, WALK_DIRS[k]);
        if (k < 2)
            player[1].x = player[0].x;
        else
            player[1].y = player[0].y;
        map.CheckEvents(player[0]);
    }

    update_key(GK_SPACE, &field_key_space);
    update_key(GK_LCONTROL, &key_lctrl);
    update_key(GK_RCONTROL, &key_rctrl);

    if (field_key_space == 1) UseAction();

    if (key_lctrl == 1 || key_rctrl == 1) menu.DisplayStatus();

    if (host->KeyDown(GK_M)) {
        for (unsigned int i = 0; i < map.num_events && i < map.events.size(); ++i) {
            const CEvent& e = map.events[i];
            show_message(" num  %d ::: %d %d %d (Imax %d)", (int)i, e.x, e.y, e.type, (int)map.num_events);
        }
    }

    if (speed_counter == 1 && App.timer > 29) player[0].frame = (player[0].frame % 2 == 0) ? player[0].frame + 1 : player[0].frame - 1;

    if (speed_counter == 1) NpcWander();
}

void FieldDraw() {
    BITMAP* page = Display.GetSurface();
    if (!page) return;
    map.DrawMap(0, player[0].scroll_x, player[0].scroll_y);
    map.DrawObjects(0, player[0].scroll_x, player[0].scroll_y);
    const CPlayer& shown = player[App.selected_pc];
    if (shown.sprite)
        masked_blit(shown.sprite, page, 16 * player[0].frame, 16 * player[0].facing,
                    (int)player[0].x - player[0].scroll_x, (int)player[0].y - player[0].scroll_y, 16, 16);
    textprintf_ex(page, font, 0, 0, makecol(255, 0, 0), -1, "%d fps %d", (int)map.num_portals, fps.load());
    frame_count++;
    Display.ShowPage();
}

void FieldPass() {
    while (speed_counter > 0) {
        FieldTick();
        speed_counter--;
    }
    FieldDraw();
    host->Idle();
}

void FieldLoop() {
    for (;;) {
        if (App.done) {
            // The close button only asks; "NO" keeps playing.
            App.done = false;
            AskQuit();
        }
        FieldPass();
    }
}

int GameMain() {
    srand((unsigned)time(nullptr));
    Display.CreateWindows(640, 480, 16, false);
    LOCK_FUNCTION(exit_callback);
    set_close_button_callback(exit_callback);
    StartUp();
    App.Menu();
    FieldLoop();
    return 0;
}
