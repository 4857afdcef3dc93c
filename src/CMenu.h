// The in-game menus: status and inventory screens, the service menus and the battle status panel.
#pragma once

#include <allegro.h>

#include <string>

#include "GameState.h"

// The menu screens and their pictures. Invariant: page is 0, 1 or 2; closing leaves page and cursor 0.
class CMenu {
public:
    BITMAP* status_bmp = nullptr;
    BITMAP* selector = nullptr;
    BITMAP* menu_choice = nullptr;
    BITMAP* inv_bmp = nullptr;
    BITMAP* inv_choice = nullptr;
    BITMAP* choice = nullptr;
    BITMAP* item_icons = nullptr;
    int cursor = 0;
    int page = 0;
    int slot = 0;
    bool done = false;
    int key_up = 0, key_down = 0, key_alt = 0;
    std::string missing_pictures;  // "\n  path" for each picture Init could not load; start-up reports them

    // Loads the menu pictures, noting the missing ones in missing_pictures. Called once at start-up.
    void Init();
    // The status and inventory menu loop. Called by the field loop on CONTROL.
    void DisplayStatus();
    // Yes / No over a dialogue box; true for Yes.
    bool Choice(BITMAP* bg);
    // Leave / Save over a dialogue box; true for Leave.
    bool ClericChoice(BITMAP* bg);
    // Leave / Level Up! with the trainee switch; true for Leave.
    bool TrainerChoice(BITMAP* bg);
    // Draws the battle status panel of a party member or a monster.
    void ShowBattleStatus(bool is_player, int index);
};

