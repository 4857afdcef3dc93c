// The party's battle screens: the action menu, the attack cursor and the free look over the field.
#include "CBattle.h"

#include "CDisplay.h"
#include "CMap.h"
#include "CMenu.h"
#include "CPlayer.h"
#include "Grid.h"
#include "Host.h"
#include "Interaction.h"
#include "MenuArt.h"
#include "ScreenKit.h"
#include "Timing.h"

namespace {

// The action menu's entries, top to bottom.
enum MenuEntry { ENTRY_MOVE, ENTRY_ATTACK, ENTRY_ITEM, ENTRY_VIEW, ENTRY_END_TURN, ENTRY_COUNT };
const char* const ENTRY_LABELS[ENTRY_COUNT] = {"Move", "Attack", "Use Item", "View", "End Turn"};
// Size of the menu's frame picture, kept for a plain frame when the picture is missing.
constexpr int PLAIN_BOX_W = 205, PLAIN_BOX_H = 76;
constexpr int SELECTOR_SIZE = 9;

// The party member's camera.
int cam_x(int pc) { return player[pc].scroll_x; }
int cam_y(int pc) { return player[pc].scroll_y; }

// The action menu of one party member; finished when the menu closes.
class CActionMenu : public CScreen {
public:
    CActionMenu(CBattle& b, int pc) : b_(b), pc_(pc) {}

    bool Tick() override {
        if (up_.Pressed() && s_ > 0) --s_;
        if (down_.Pressed() && s_ < ENTRY_COUNT - 1) ++s_;
        if (space_.Pressed()) Act();
        return closed_;
    }
    ScreenView View() const override { return {SK_BATTLE_MENU, s_}; }

    void Draw() override {
        BITMAP* page = Display.GetSurface();
        b_.DrawField(cam_x(pc_), cam_y(pc_));
        if (!page) return;
        BITMAP* box = menu_art.choice;
        BITMAP* selector = menu_art.selector;
        const int bw = box ? box->w : PLAIN_BOX_W;
        const int bh = box ? box->h : PLAIN_BOX_H;
        const int bx = screen_w() / 2 - bw / 2, by = screen_h() / 2 + screen_h() / 4;
        if (box) {
            masked_blit(box, page, 0, 0, bx, by, bw, bh);
        } else {  // without its picture the menu is a plain panel, so the entries stay readable
            rectfill(page, bx, by, bx + bw - 1, by + bh - 1, makecol(232, 220, 188));
            rect(page, bx, by, bx + bw - 1, by + bh - 1, makecol(40, 40, 120));
        }
        const int sel_y = by + 10 + 10 * s_;
        if (selector)
            masked_stretch_blit(selector, page, 0, 0, selector->w, selector->h, bx + 15, sel_y, SELECTOR_SIZE,
                                SELECTOR_SIZE);
        else
            rectfill(page, bx + 15, sel_y, bx + 15 + SELECTOR_SIZE - 1, sel_y + SELECTOR_SIZE - 1, makecol(200, 0, 0));
        for (int k = 0; k < ENTRY_COUNT; ++k)
            textout_ex(page, font, ENTRY_LABELS[k], bx + 25, by + 10 + 10 * k, makecol(0, 0, 0), -1);
        if (s_ == ENTRY_ATTACK) {  // the reach of an attack, shown while "Attack" is chosen
            b_.ClearGrid();
            b_.MarkAttackArea(player[pc_].x / CELL, player[pc_].y / CELL, player[pc_].attack_range, true, cam_x(pc_),
                              cam_y(pc_));
        }
    }

private:
    CBattle& b_;
    int pc_;
    int s_ = ENTRY_MOVE;
    bool closed_ = false;
    CScreenKey up_{GK_UP}, down_{GK_DOWN}, space_{GK_SPACE};

    void Act() {
        switch (s_) {
        case ENTRY_MOVE: closed_ = true; break;
        case ENTRY_ATTACK:
            if (b_.AttackSelect(pc_)) EndTurn();
            break;
        case ENTRY_ITEM: UsePotion(); break;
        case ENTRY_VIEW: b_.ViewBattlefield(pc_); break;
        case ENTRY_END_TURN: EndTurn(); break;
        default: break;
        }
    }

    // The next member's range is centred where it stands now; the turn passes on.
    void EndTurn() {
        const CPlayer& next = companion_joined() ? player[1 - pc_] : player[0];
        b_.origin_x = (int)next.x;
        b_.origin_y = (int)next.y;
        b_.turn++;
        closed_ = true;
    }

    // The first healing potion, slot by slot in this member's pack and then the other's, heals
    // this member fully; the other's pack counts even before the companion has joined.
    void UsePotion() {
        for (int i = 0; i < INV_SLOTS; ++i)
            for (CPlayer* owner : {&player[pc_], &player[1 - pc_]}) {
                if (owner->inv[i].id != HEALING_POTION) continue;
                Talkf("", "You have used a potion, your wounds magically heal!");
                player[pc_].hp = player[pc_].max_hp;
                owner->inv[i] = CInv();
                s_ = ENTRY_MOVE;
                return;
            }
    }
};

// The attack cursor inside a party member's attack area; finished with an attack or a cancel.
class CAttackSelect : public CScreen {
public:
    bool attacked = false;

    CAttackSelect(CBattle& b, int pc) : b_(b), pc_(pc), px_(player[pc].x), py_(player[pc].y) {
        // The area is marked before the first tick, which may already move the cursor.
        b_.ClearGrid();
        b_.MarkAttackArea(px_ / CELL, py_ / CELL, player[pc].attack_range, false, 0, 0);
    }

    bool Tick() override {
        const bool up = up_.Pressed(), down = down_.Pressed(), right = right_.Pressed(), left = left_.Pressed();
        const bool space = space_.Pressed();
        // One cell a press, onto marked cells only, each key from where the one before left it.
        if (right && b_.Marked(px_ / CELL + 1, py_ / CELL)) px_ += CELL;
        if (left && b_.Marked((long long)(px_ / CELL) - 1, py_ / CELL)) px_ -= CELL;
        if (down && b_.Marked(px_ / CELL, py_ / CELL + 1)) py_ += CELL;
        if (up && b_.Marked(px_ / CELL, (long long)(py_ / CELL) - 1)) py_ -= CELL;
        if (space && map.CheckNpcs((int)px_, (int)py_)) {
            const int m = map.GetNpcid((int)px_, (int)py_);
            // GetNpcid finds only a monster standing exactly there; one overlapping the cursor
            // from elsewhere is not the one to strike.
            if (m >= 0 && (size_t)m < map.npcs.size() && map.npcs[m].x == px_ && map.npcs[m].y == py_) {
                b_.PlayerAttack(pc_, m);
                attacked = true;
                return true;
            }
        }
        const int cancel_keys[] = {GK_ALT, GK_ESC, GK_LCONTROL, GK_RCONTROL};
        for (int k : cancel_keys)
            if (host->KeyDown(k)) return true;
        return false;
    }
    ScreenView View() const override {
        ScreenView v;
        v.kind = SK_ATTACK_CURSOR;
        v.col = px_ / CELL;
        v.row = py_ / CELL;
        return v;
    }

    void Draw() override {
        const int cx = cam_x(pc_), cy = cam_y(pc_);
        b_.DrawField(cx, cy);
        b_.ClearGrid();
        b_.MarkAttackArea(player[pc_].x / CELL, player[pc_].y / CELL, player[pc_].attack_range, true, cx, cy);
        BITMAP* page = Display.GetSurface();
        if (!page) return;
        const int x = (int)px_ - cx, y = (int)py_ - cy;
        rect(page, x, y, x + CELL - 1, y + CELL - 1, makecol(255, 0, 0));
        rect(page, x + 1, y + 1, x + CELL - 2, y + CELL - 2, makecol(255, 255, 0));
    }

private:
    CBattle& b_;
    int pc_;
    unsigned int px_, py_;  // the cursor's pixel, on the character grid
    CScreenKey up_{GK_UP}, down_{GK_DOWN}, right_{GK_RIGHT}, left_{GK_LEFT}, space_{GK_SPACE};
};

// The free look: the party member walks as the cursor, through monsters and the party, and goes
// back to where it stood when Alt leaves the view.
class CViewField : public CScreen {
public:
    CViewField(CBattle& b, int pc) : b_(b), pc_(pc), sx_(player[pc].x), sy_(player[pc].y) {}

    bool Tick() override {
        CPlayer& p = player[pc_];
        if (right_.Pressed()) p.ViewBlock(map, DIR_RIGHT);
        if (left_.Pressed()) p.ViewBlock(map, DIR_LEFT);
        if (up_.Pressed()) p.ViewBlock(map, DIR_UP);
        if (down_.Pressed()) p.ViewBlock(map, DIR_DOWN);
        if (enter_.Pressed()) ShowPanel();
        if (alt_.Pressed()) {
            // Back where it stood, with no step left half done (it would carry on in the battle
            // and leave the member off the grid).
            p.x = sx_;
            p.y = sy_;
            p.moving = 0;
            p.move_x = p.move_y = 0;
            p.UpdateMovement();
            return true;
        }
        p.UpdateMovement();
        return false;
    }
    ScreenView View() const override { return {SK_BATTLE_VIEW}; }

    void Draw() override {
        const CPlayer& p = player[pc_];
        const int cx = p.scroll_x, cy = p.scroll_y;
        // The member whose view it is stays drawn where it stood; the cursor is the outline.
        b_.DrawField(cx, cy, pc_, sx_, sy_);
        BITMAP* page = Display.GetSurface();
        if (!page) return;
        const int x = (int)p.x - cx, y = (int)p.y - cy;
        rect(page, x, y, x + CELL - 1, y + CELL - 1, makecol(255, 0, 0));
    }

private:
    CBattle& b_;
    int pc_;
    unsigned int sx_, sy_;  // where the member stood when the view opened
    CScreenKey up_{GK_UP}, down_{GK_DOWN}, right_{GK_RIGHT}, left_{GK_LEFT}, enter_{GK_ENTER};
    CScreenKey alt_{GK_ALT, false};  // Alt held as the view opens leaves at once

    // The panel of the monster or party member under the cursor, until a key is pressed.
    void ShowPanel() {
        const CPlayer& p = player[pc_];
        const int other = 1 - pc_;
        if (map.CheckNpcs((int)p.x, (int)p.y)) {
            menu.ShowBattleStatus(false, map.GetNpcid((int)p.x, (int)p.y));
        } else if (p.x == sx_ && p.y == sy_) {
            menu.ShowBattleStatus(true, pc_);
        } else if (companion_joined() && p.x == player[other].x && p.y == player[other].y) {
            menu.ShowBattleStatus(true, other);
        } else {
            return;  // nothing there to show
        }
        host->FlushKeyBuffer();
        WaitForAnyKey();
    }
};

}  // namespace

void CBattle::FinalizeBattle(int pc, int, int) {
    CActionMenu m(*this, pc);
    RunScreen(m);
}

bool CBattle::AttackSelect(int pc) {
    CAttackSelect s(*this, pc);
    RunScreen(s);
    return s.attacked;
}

void CBattle::ViewBattlefield(int pc) {
    CViewField v(*this, pc);
    RunScreen(v);
}
