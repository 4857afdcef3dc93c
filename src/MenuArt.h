// The one set of menu and shop pictures: loaded once, shared by every menu screen, the battle's panel and the shops.
#pragma once

#include <allegro.h>

#include <string>

#include "GameState.h"

// The pictures of the status and inventory screens, the service menus, the battle's action menu
// and status panel, and the shops. One owner for all of them (the global menu_art): CMenu, CShop
// and the battle draw with these and load nothing of their own. A missing picture stays null and is drawn around.
class CMenuArt {
public:
    BITMAP* status_bmp = nullptr;   // "./data/status.tga": the status page's background
    BITMAP* inv_bmp = nullptr;      // the same picture: the inventory page's background
    BITMAP* selector = nullptr;     // "./data/selector.bmp": the cursor, drawn stretched to 9 x 9
    BITMAP* menu_choice = nullptr;  // "./data/menuchoice.bmp": the status page's three-entry box
    BITMAP* inv_choice = nullptr;   // "./data/invchoice.bmp": the item action box
    BITMAP* choice = nullptr;       // "./data/choice.bmp": frame of the service menus and the battle's menu and panel
    BITMAP* item_icons = nullptr;   // "./data/items.bmp": a row of 8 x 8 pictures, one per item type
    BITMAP* shop_bmp = nullptr;     // "./data/shop.bmp": the shop's item list panel
    BITMAP* shop_select = nullptr;  // "./data/shopselect.tga": the purchase question
    std::string missing;            // "\n  path" for each picture that could not be loaded
    bool loaded = false;            // Load has run

    // Loads every picture the first time it is called (later calls do nothing) and notes the
    // missing ones in `missing`, which start-up reports. Called by CMenu::Init and CShop::Init.
    void Load();
};
