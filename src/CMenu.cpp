// The in-game menus: their pictures, and the service menus (yes/no, cleric, trainer) over a dialogue box.
#include "CMenu.h"

#include <string>

#include "CDisplay.h"
#include "CPlayer.h"
#include "DataFiles.h"
#include "Host.h"
#include "Interaction.h"
#include "Quests.h"
#include "Timing.h"

CMenu menu;

void CMenu::Init() {
    struct {
        BITMAP** slot;
        const char* file;
    } const pictures[] = {
        {&status_bmp, "./data/status.tga"},     {&selector, "./data/selector.bmp"},
        {&menu_choice, "./data/menuchoice.bmp"}, {&inv_choice, "./data/invchoice.bmp"},
        {&inv_bmp, "./data/status.tga"},        {&choice, "./data/choice.bmp"},
        {&item_icons, "./data/items.bmp"},
    };
    missing_pictures.clear();
    for (const auto& p : pictures) {
        *p.slot = load_data_bitmap(p.file);
        // The menus draw around a missing picture; start-up names it with the other missing files.
        if (!*p.slot && missing_pictures.find(p.file) == std::string::npos)
            missing_pictures += std::string("\n  ") + p.file;
    }
}

void CMenu::DisplayStatus() {}

void CMenu::ShowBattleStatus(bool, int) {}

namespace {

// Text of one service menu entry.
struct Line {
    std::string text;
    int x, y, colour;
};

// One drawn pass of a service menu: the dialogue box picture as background, the choice
// frame, the entries and the selector, copied to the screen.
void draw_service(CMenu& m, BITMAP* bg, const Line* lines, int count, int sel_x, int sel_y) {
    BITMAP* page = Display.GetSurface();
    if (!page) return;
    const int hw = screen_w() / 2, hh = screen_h() / 2;
    if (bg && bg != page) blit(bg, page, 0, 0, 0, 0, screen_w(), screen_h());
    if (m.choice) masked_blit(m.choice, page, 0, 0, hw + 100, hh + 50, m.choice->w, m.choice->h);
    for (int i = 0; i < count; ++i) textout_ex(page, font, lines[i].text.c_str(), lines[i].x, lines[i].y, lines[i].colour, -1);
    if (m.selector) masked_stretch_blit(m.selector, page, 0, 0, m.selector->w, m.selector->h, sel_x, sel_y, 9, 9);
    Display.ShowPageKeep();
}

// Up, Down and SPACE of a service menu; true when SPACE chose the entry under the cursor.
bool service_keys(CMenu& m) {
    update_key(GK_UP, &m.key_up);
    update_key(GK_DOWN, &m.key_down);
    update_key(GK_SPACE, &key_space);
    if (m.key_up == 1) m.cursor = 0;
    if (m.key_down == 1) m.cursor = 1;
    return key_space == 1;
}

// The two-entry menus: entry 0 true, entry 1 false.
bool two_entry(CMenu& m, BITMAP* bg, const char* e0, int c0, const char* e1, int c1) {
    m.cursor = 0;
    for (;;) {
        if (service_keys(m)) {
            host->ForgetKeys();
            return m.cursor == 0;
        }
        const int hw = screen_w() / 2, hh = screen_h() / 2;
        const Line lines[2] = {{e0, hw + 145, hh + 65, c0}, {e1, hw + 145, hh + 80, c1}};
        draw_service(m, bg, lines, 2, hw + 130, hh + 62 + 15 * m.cursor);
        host->Idle();
    }
}

}  // namespace

bool CMenu::Choice(BITMAP* bg) { return two_entry(*this, bg, "Yes", makecol(0, 0, 0), "No", makecol(0, 0, 0)); }

bool CMenu::ClericChoice(BITMAP* bg) {
    return two_entry(*this, bg, "Leave", makecol(0, 0, 0), "Save", makecol(255, 0, 0));
}

// Raises a character one level if its experience allows. Returns whether it levelled.
static bool train(CPlayer& p) {
    const int L = p.level;
    // The table ends at the eleventh level; a level outside it (a damaged saved game) trains no further.
    if (L < 0 || L + 1 > MAX_LEVEL) return false;
    if (p.exp < level_table[L + 1]) {
        Talk("", "You don't have enough experience to level yet!");
        return false;
    }
    Talk("", "You gained a level! Your HP has increased by 4, Your Damage has increased by 1!");
    p.max_hp += 4;
    p.hp = p.max_hp;
    p.base_damage += 1;
    p.level += 1;
    return true;
}

bool CMenu::TrainerChoice(BITMAP* bg) {
    cursor = 0;
    int t = 0;
    int key_left = 0, key_right = 0;
    for (;;) {
        bool chosen = service_keys(*this);
        update_key(GK_LEFT, &key_left);
        update_key(GK_RIGHT, &key_right);
        // One press switches the trainee once; only a companion in the party can train.
        if ((key_left == 1 || key_right == 1) && (quest.flags & QF_COMPANION)) t = 1 - t;
        if (chosen) {
            host->ForgetKeys();
            if (cursor == 0) return true;
            train(player[t]);
            return false;
        }
        const int hw = screen_w() / 2, hh = screen_h() / 2;
        const int black = makecol(0, 0, 0), red = makecol(255, 0, 0);
        const Line lines[4] = {
            {"Training for: " + player[t].name, hw + 125, hh + 65, black},
            {"(right/left changes)", hw + 145, hh + 80, black},
            {"Leave", hw + 145, hh + 95, black},
            {"Level Up!", hw + 145, hh + 110, red},
        };
        draw_service(*this, bg, lines, 4, hw + 130, hh + 92 + 15 * cursor);
        host->Idle();
    }
}
