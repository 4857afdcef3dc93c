// The in-game menus: the service menus (yes/no, cleric, trainer) over a dialogue box, on the screen kit.
#include "CMenu.h"

#include <string>

#include "CDisplay.h"
#include "CPlayer.h"
#include "Host.h"
#include "Interaction.h"
#include "MenuArt.h"
#include "Quests.h"
#include "ScreenKit.h"
#include "Timing.h"

CMenu menu;

void CMenu::Init() { menu_art.Load(); }

namespace {

// Text of one service menu entry.
struct Line {
    std::string text;
    int x, y, colour;
};

// What the three service menus share: the dialogue box they were opened over as background
// (kept as it stood then, so that the menu's own earlier frames never show through it), the
// choice frame, Up and Down between two entries and SPACE to choose. Each menu has its own
// cursor and counters, all starting "held": a key down when the menu opens acts only when
// pressed again (the SPACE that closed the question box does not answer it).
class CServiceMenu : public CScreen {
public:
    explicit CServiceMenu(BITMAP* bg) {
        if (bg) {
            background_ = create_bitmap(bg->w, bg->h);
            if (background_) blit(bg, background_, 0, 0, 0, 0, bg->w, bg->h);
        }
    }
    ~CServiceMenu() override {
        if (background_) destroy_bitmap(background_);
    }
    CServiceMenu(const CServiceMenu&) = delete;
    CServiceMenu& operator=(const CServiceMenu&) = delete;

    int cursor = 0;  // the entry under the selector: 0 or 1

protected:
    // Up, Down and SPACE; true when SPACE chose the entry under the cursor.
    bool Keys() {
        if (up_.Pressed()) cursor = 0;
        if (down_.Pressed()) cursor = 1;
        return space_.Pressed();
    }
    // Background, frame, the texts and the selector at (sel_x, sel_y), on the page.
    void DrawMenu(const Line* lines, int count, int sel_x, int sel_y) const {
        BITMAP* page = Display.GetSurface();
        if (!page) return;
        const int hw = screen_w() / 2, hh = screen_h() / 2;
        if (background_) blit(background_, page, 0, 0, 0, 0, background_->w, background_->h);
        const CMenuArt& art = menu_art;
        if (art.choice) masked_blit(art.choice, page, 0, 0, hw + 100, hh + 50, art.choice->w, art.choice->h);
        for (int i = 0; i < count; ++i)
            textout_ex(page, font, lines[i].text.c_str(), lines[i].x, lines[i].y, lines[i].colour, -1);
        if (art.selector)
            masked_stretch_blit(art.selector, page, 0, 0, art.selector->w, art.selector->h, sel_x, sel_y, 9, 9);
    }

private:
    BITMAP* background_ = nullptr;
    CScreenKey up_{GK_UP}, down_{GK_DOWN}, space_{GK_SPACE};
};

// Two entries one above the other; finished when one is chosen.
class CTwoEntryMenu : public CServiceMenu {
public:
    CTwoEntryMenu(BITMAP* bg, ScreenKind kind, const char* e0, int c0, const char* e1, int c1)
        : CServiceMenu(bg), kind_(kind), e0_(e0), e1_(e1), c0_(c0), c1_(c1) {}
    bool Tick() override { return Keys(); }
    ScreenView View() const override { return {kind_, cursor}; }
    void Draw() override {
        const int hw = screen_w() / 2, hh = screen_h() / 2;
        const Line lines[2] = {{e0_, hw + 145, hh + 65, c0_}, {e1_, hw + 145, hh + 80, c1_}};
        DrawMenu(lines, 2, hw + 130, hh + 62 + 15 * cursor);
    }

private:
    ScreenKind kind_;
    const char* e0_;
    const char* e1_;
    int c0_, c1_;
};

// Runs a two-entry menu; true for the first entry.
bool two_entry(BITMAP* bg, ScreenKind kind, const char* e0, int c0, const char* e1, int c1) {
    CTwoEntryMenu m(bg, kind, e0, c0, e1, c1);
    RunScreen(m);
    host->ForgetKeys();
    return m.cursor == 0;
}

// Raises a character one level if its experience allows. Returns whether it levelled.
bool train(CPlayer& p) {
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
    // The battle reads damage, not base_damage: the promised point counts from now on.
    p.UpdateStats();
    return true;
}

// Leave / Level Up! for a trainee LEFT or RIGHT switches between the members once the
// companion has joined; finished when an entry is chosen.
class CTrainerMenu : public CServiceMenu {
public:
    using CServiceMenu::CServiceMenu;
    int trainee = 0;  // the party member who would level: 0 the hero, 1 the companion

    bool Tick() override {
        const bool chosen = Keys();
        // One press switches once; only a companion in the party can train.
        const bool left = left_.Pressed(), right = right_.Pressed();
        if ((left || right) && companion_joined()) trainee = 1 - trainee;
        return chosen;
    }
    ScreenView View() const override { return {SK_TRAINER, cursor, trainee}; }
    void Draw() override {
        const int hw = screen_w() / 2, hh = screen_h() / 2;
        const int black = makecol(0, 0, 0), red = makecol(255, 0, 0);
        const Line lines[4] = {
            {"Training for: " + player[trainee].name, hw + 125, hh + 65, black},
            {"(right/left changes)", hw + 145, hh + 80, black},
            {"Leave", hw + 145, hh + 95, black},
            {"Level Up!", hw + 145, hh + 110, red},
        };
        DrawMenu(lines, 4, hw + 130, hh + 92 + 15 * cursor);
    }

private:
    CScreenKey left_{GK_LEFT}, right_{GK_RIGHT};
};

}  // namespace

bool CMenu::Choice(BITMAP* bg) { return two_entry(bg, SK_YES_NO, "Yes", makecol(0, 0, 0), "No", makecol(0, 0, 0)); }

bool CMenu::ClericChoice(BITMAP* bg) { return two_entry(bg, SK_CLERIC, "Leave", makecol(0, 0, 0), "Save", makecol(255, 0, 0)); }

bool CMenu::TrainerChoice(BITMAP* bg) {
    CTrainerMenu m(bg);
    RunScreen(m);
    host->ForgetKeys();
    if (m.cursor == 0) return true;
    train(player[m.trainee]);
    return false;
}
