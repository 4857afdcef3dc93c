// The in-game menus: status and inventory screens, the service menus and the battle status panel.
#pragma once

#include <allegro.h>

#include <string>

#include "GameState.h"

// The status and inventory menu's state, and the service menus. The pictures are menu_art's.
// Invariant: page is 0, 1 or 2; closing leaves page and cursor 0.
class CMenu {
public:
    int cursor = 0;  // the status menu's cursor on the current page
    int page = 0;    // 0 status, 1 inventory list, 2 item actions
    int slot = 0;    // inventory slot chosen on page 1
    bool done = false;
    int key_up = 0, key_down = 0, key_alt = 0;

    // Loads the menu pictures (the shared menu_art). Called once at start-up.
    void Init();
    // The status and inventory menu loop. Called by the field loop on CONTROL.
    void DisplayStatus();
    // Yes / No over a dialogue box (the picture bg, as it stands when called); true for Yes. Each
    // call has its own cursor, starting on Yes. Called by the inn and NPC questions.
    bool Choice(BITMAP* bg);
    // Leave / Save over a dialogue box; true for Leave. Called by save points.
    bool ClericChoice(BITMAP* bg);
    // Leave / Level Up! with the trainee switch (LEFT or RIGHT, once the companion has joined);
    // true for Leave, false after Level Up! whatever came of it. Called by trainers.
    bool TrainerChoice(BITMAP* bg);
    // Draws the battle status panel of party member index (is_player) or of map.npcs[index] once,
    // straight on the screen (CMenuBattle.cpp). Called by the battle's free look.
    void ShowBattleStatus(bool is_player, int index);
};
