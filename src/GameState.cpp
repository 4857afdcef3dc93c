// The reset that starts a game afresh: everything one game holds, back to its start.
#include "GameState.h"

#include "CBattle.h"
#include "CCine.h"
#include "CMap.h"
#include "CMenu.h"
#include "CPlayer.h"
#include "Quests.h"

unsigned int games_begun = 0;

void reset_game_state() {
    ++games_begun;
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
    battle = CBattle();
    menu = CMenu();
    broken_portal = CPortalMemory();
    field_key_space = key_lctrl = key_rctrl = 0;
    npc_list_problem.clear();
    item_list_problem.clear();
    shop_list_problem.clear();
}
