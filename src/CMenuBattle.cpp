// The battle status panel: a party member's or a monster's name and numbers over the choice frame.
#include "CMenu.h"

#include "CDisplay.h"
#include "CMap.h"
#include "CPlayer.h"
#include "MenuArt.h"

void CMenu::ShowBattleStatus(bool is_player, int index) {
    // Drawn straight on the screen over the battle's last frame; the caller waits for a key.
    if (!screen) return;
    const int hw = screen_w() / 2, hh = screen_h() / 2;
    if (menu_art.choice)
        masked_blit(menu_art.choice, screen, 0, 0, hw + 100, hh + 50, menu_art.choice->w, menu_art.choice->h);
    const int black = makecol(0, 0, 0);
    if (is_player) {
        if (index < 0 || index > 1) return;
        const CPlayer& p = player[index];
        const int x = hw + 110;
        textprintf_ex(screen, font, x, hh + 60, black, -1, "%s", p.name.c_str());
        textprintf_ex(screen, font, x, hh + 70, black, -1, "HP %d(%d)", p.hp, p.max_hp);
        // The maximum comes first on this line, unlike the HP line above it.
        textprintf_ex(screen, font, x, hh + 80, black, -1, "Mana %d(%d)", p.max_mana, p.mana);
        textprintf_ex(screen, font, x, hh + 90, black, -1, "Level %d, Exp %d", p.level, p.exp);
        textprintf_ex(screen, font, x, hh + 100, black, -1, "Dam %d", p.damage);
    } else {
        if (index < 0 || (size_t)index >= map.npcs.size()) return;
        const CNpc& m = map.npcs[(size_t)index];
        const int x = hw + 120;
        textprintf_ex(screen, font, x, hh + 60, black, -1, "%s", m.name.c_str());
        textprintf_ex(screen, font, x, hh + 70, black, -1, "HP %d", m.hp);
        textprintf_ex(screen, font, x, hh + 80, black, -1, "Mana %d", m.mana);
        textprintf_ex(screen, font, x, hh + 90, black, -1, "Damage %d", m.damage);
        textprintf_ex(screen, font, x, hh + 100, black, -1, "Level %d", m.level);
    }
}
