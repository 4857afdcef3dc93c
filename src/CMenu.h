// The in-game menus: status and inventory screens, the service menus and the battle status panel.
#pragma once

#include <allegro.h>

#include <string>

#include "GameState.h"

// The status and inventory menu, the service menus and the battle status panel. The pictures are
// menu_art's; each menu is a screen of the kit that owns its cursor, page and key counters for as
// long as it is open, so every opening starts on its first page with the cursor on top.
class CMenu {
public:
    // Loads the menu pictures (the shared menu_art). Called once at start-up.
    void Init();
    // The status and inventory menu of player[App.selected_pc] (CStatusMenu.cpp): status page,
    // inventory list and item actions (wear, give, drop), until ALT or an exit entry closes it.
    // Called by the field loop on CONTROL.
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
    // The most characters an item's name may have to stay where the status menu writes it:
    // numbered and marked "(equipped)" in the inventory's panel, after "Weapon: " when worn, and
    // in the item's information left of the panel. Read by the content check.
    static int InventoryNameRoom();
};
