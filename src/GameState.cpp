// The reset that starts a game afresh: everything one game holds, back to its start.
#include "GameState.h"

#include "CBattle.h"
#include "CCine.h"
#include "CMap.h"
#include "CMenu.h"
#include "CPlayer.h"
#include "Quests.h"

void reset_game_state() {
    App.selected_pc = 0;
    App.timer = 0;
    map = CMap();
    for (CPlayer& p : player) {
        // Start-up loaded these for the whole run; a new game rolls everything else afresh.
        CPlayer fresh;
        fresh.sprite = p.sprite;
        for (int i = 0; i < MAX_ITEMS; ++i) fresh.items[i] = p.items[i];
        fresh.shop = p.shop;
        p = fresh;
    }
    player[1].name = COMPANION_NAME;
    quest = CQuests();
    event = CEvent();
    cine = CCine();
    CBattle fresh_battle;
    fresh_battle.choice_box = battle.choice_box;
    fresh_battle.selector = battle.selector;
    battle = fresh_battle;
    CMenu fresh_menu;
    fresh_menu.status_bmp = menu.status_bmp;
    fresh_menu.selector = menu.selector;
    fresh_menu.menu_choice = menu.menu_choice;
    fresh_menu.inv_bmp = menu.inv_bmp;
    fresh_menu.inv_choice = menu.inv_choice;
    fresh_menu.choice = menu.choice;
    fresh_menu.item_icons = menu.item_icons;
    fresh_menu.missing_pictures = menu.missing_pictures;
    menu = fresh_menu;
    broken_portal = CPortalMemory();
    field_key_space = key_space = key_lctrl = key_rctrl = 0;
    npc_list_problem.clear();
    item_list_problem.clear();
}
