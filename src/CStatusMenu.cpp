// The status and inventory menu: a party member's status page, the inventory list and the item actions.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "CDisplay.h"
#include "CMenu.h"
#include "CPlayer.h"
#include "Host.h"
#include "MenuArt.h"
#include "MenuDraw.h"
#include "Quests.h"
#include "ScreenKit.h"
#include "Timing.h"

namespace {

// The pages of the menu.
enum StatusPage {
    PAGE_STATUS = 0,     // statistics and the three-entry menu
    PAGE_INVENTORY = 1,  // equipment and the ten slots, with "Exit" below them
    PAGE_ITEM = 2,       // the chosen slot's item, its information and its actions
};

// Entries of the status page's menu (their labels are part of its picture).
enum StatusEntry { ENTRY_INVENTORY = 0, ENTRY_SWITCH = 1, ENTRY_CLOSE = 2 };
// The inventory list's cursor runs over the ten slots and then "Exit".
constexpr int ENTRY_EXIT = INV_SLOTS;
// The item page's actions, top to bottom.
enum ItemAction { ACT_WEAR = 0, ACT_GIVE = 1, ACT_DROP = 2, ACT_BACK = 3 };
const char* const ACTION_LABELS[] = {"Wear", "Give to Other PC", "Drop", "Back"};

// Where the status page's lines stand.
constexpr int MENU_Y = 400;             // top of the three-entry box
constexpr int MENU_CURSOR_DX = 120;     // cursor's offset from the box's left edge
constexpr int MENU_CURSOR_Y = 411;      // cursor on the first entry
constexpr int MENU_PITCH = 14;
constexpr int MENU_CHOICE_W = 280;      // menuchoice.bmp's size, for the plain panel in its place
constexpr int MENU_CHOICE_H = 56;
constexpr int ACTIONS_X = 200, ACTIONS_Y = 400;  // the item action box
constexpr int INV_CHOICE_W = 260, INV_CHOICE_H = 56;
constexpr int ACTION_TEXT_X = 315, ACTION_TEXT_Y = 408, ACTION_PITCH = 10;
constexpr int ACTION_CURSOR_X = 300, ACTION_CURSOR_Y = 405;
constexpr int LINE_PITCH = 10;          // inventory and item information lines
constexpr int INV_X_DX = -50;           // the equipment and inventory lines, from the screen's middle
constexpr int INV_SLOT_DX = 10;         // a slot's line, past its icon
// The inventory's panel in status.tga: its left edge and the first pixel right of it.
constexpr int INV_PANEL_LEFT = 240, INV_PANEL_RIGHT = 601;
constexpr int INFO_X = 15, INFO_LINE_X = 35;  // an item's information, left of the panel
const char* const INFO_NAME_LINE = "Name: %s";
const char* const SLOT_LINE = "%d. %s";
const char* const WORN_SLOT_LINE = "%d. %s (equipped)";
// The "You may level!" line stands on the picture's mid-tone band, where red letters vanish:
// it gets a dark navy plate around it, against which red reads as well as black on parchment.
constexpr int PLATE_MARGIN = 2;
constexpr int PLATE_R = 8, PLATE_G = 12, PLATE_B = 32;

// The information line of an item type.
const char* type_line(int type) {
    switch (type) {
    case IT_HEAD: return "Type: Head Armor";
    case IT_ARMS: return "Type: Arm Armor";
    case IT_LEGS: return "Type: Leg Armor";
    case IT_RING: return "Type: Rings";
    case IT_WEAPON: return "Type: Weapon";
    case IT_USABLE: return "Type: Other(usable)";
    default: return "Type: Other";
    }
}

// The status and inventory menu on the screen kit. It shows player[App.selected_pc] (the other
// member once switched); UP and DOWN move the cursor, either CONTROL confirms, ALT goes back from
// the item page and closes the other two. Invariant: cursor is within the page's entries; on the
// item page `slot` is the slot chosen on the list.
class CStatusMenu : public CScreen {
public:
    bool Tick() override;
    void Draw() override;
    ScreenView View() const override { return {SK_STATUS_MENU, cursor_, page_}; }

private:
    int page_ = PAGE_STATUS;
    int cursor_ = 0;
    int slot_ = 0;
    CScreenKey up_{GK_UP}, down_{GK_DOWN}, alt_{GK_ALT}, lctrl_{GK_LCONTROL}, rctrl_{GK_RCONTROL};

    static CPlayer& Member() { return player[App.selected_pc == 1 ? 1 : 0]; }
    static CPlayer& Other() { return player[App.selected_pc == 1 ? 0 : 1]; }
    void MoveCursor(bool up, bool down, int last) {
        if (up) cursor_ = std::max(0, cursor_ - 1);
        if (down) cursor_ = std::min(last, cursor_ + 1);
    }
    // The keys of each page; the first two return true when the menu closes.
    bool StatusKeys(bool confirm, bool alt);
    bool InventoryKeys(bool confirm, bool alt);
    void ItemKeys(bool confirm, bool alt);
    void DrawStatus(BITMAP* page) const;
    void DrawInventory(BITMAP* page, bool select) const;
    void DrawItemActions(BITMAP* page) const;
    void DrawItemInfo(BITMAP* page, int id) const;
};

bool CStatusMenu::Tick() {
    // Every key is polled on every tick whatever the page, so a key held across a page change
    // does not act again on the new page.
    const bool up = up_.Pressed(), down = down_.Pressed(), alt = alt_.Pressed();
    const bool lctrl = lctrl_.Pressed(), rctrl = rctrl_.Pressed();
    const bool confirm = lctrl || rctrl;
    switch (page_) {
    case PAGE_STATUS:
        MoveCursor(up, down, ENTRY_CLOSE);
        return StatusKeys(confirm, alt);
    case PAGE_INVENTORY:
        MoveCursor(up, down, ENTRY_EXIT);
        return InventoryKeys(confirm, alt);
    default:
        MoveCursor(up, down, ACT_BACK);
        ItemKeys(confirm, alt);
        return false;
    }
}

bool CStatusMenu::StatusKeys(bool confirm, bool alt) {
    if (alt) return true;
    if (!confirm) return false;
    switch (cursor_) {
    case ENTRY_INVENTORY: page_ = PAGE_INVENTORY; break;
    case ENTRY_SWITCH:
        if (companion_joined()) App.selected_pc = 1 - App.selected_pc;
        break;
    default: return true;
    }
    return false;
}

bool CStatusMenu::InventoryKeys(bool confirm, bool alt) {
    if (alt || (confirm && cursor_ == ENTRY_EXIT)) return true;
    if (confirm && Member().inv[cursor_].id != 0) {
        slot_ = cursor_;
        page_ = PAGE_ITEM;
        cursor_ = 0;
    }
    return false;
}

void CStatusMenu::ItemKeys(bool confirm, bool alt) {
    if (alt || (confirm && cursor_ == ACT_BACK)) {
        page_ = PAGE_INVENTORY;
        slot_ = 0;
        cursor_ = 0;
        return;
    }
    CPlayer& p = Member();
    // Once the item is given away or dropped the slot is empty and only "Back" acts.
    if (!confirm || p.inv[slot_].id == 0) return;
    switch (cursor_) {
    case ACT_WEAR:
        p.WearObject(p.inv[slot_].id, slot_);
        p.UpdateInventory();
        p.UpdateEquip();
        break;
    case ACT_GIVE:
        if (companion_joined()) p.GiveObject(slot_, Other());
        break;
    default: p.DropObject(slot_); break;
    }
}

void CStatusMenu::Draw() {
    BITMAP* page = Display.GetSurface();
    if (!page) return;
    if (page_ == PAGE_STATUS) {
        DrawStatus(page);
        return;
    }
    // The names shown follow the item list, whatever changed the slots since the last frame.
    Member().UpdateInventory();
    DrawInventory(page, page_ == PAGE_INVENTORY);
    if (page_ == PAGE_ITEM) DrawItemActions(page);
}

void CStatusMenu::DrawStatus(BITMAP* page) const {
    CPlayer& p = Member();
    p.UpdateStats();
    const CMenuArt& art = menu_art;
    draw_picture(page, art.status_bmp, 0, 0, screen_w(), screen_h());
    const int black = makecol(0, 0, 0);
    menu_text(page, 15, 7, black, "Name: %s", p.name.c_str());
    const struct {
        const char* label;
        int value;
    } attributes[] = {{"Str %d", p.str}, {"Wis %d", p.wis}, {"Con %d", p.con}, {"Cha %d", p.cha}, {"Int %d", p.intel}};
    int y = 72;
    for (const auto& a : attributes) {
        menu_text(page, 70, y, black, a.label, a.value);
        y += 14;
    }
    menu_text(page, 70, 156, makecol(128, 128, 0), "HP %d(%d)", p.hp, p.max_hp);
    // The maximum first, as the battle's panel shows it too.
    menu_text(page, 70, 170, makecol(0, 0, 128), "Mana %d(%d)", p.max_mana, p.mana);
    // The purse is the party's, whoever is shown.
    menu_text(page, 45, 190, makecol(255, 255, 0), "Gold %d", player[0].gold);
    menu_text(page, 45, 200, black, "Experience %d", p.exp);
    menu_text(page, 45, 210, black, "Armor Class %d (the higher the better)", p.ac);
    menu_text(page, 45, 220, black, "Damage %d", p.damage);
    const int next = p.level + 1;
    // A level outside the table (only a damaged save could hold one) shows no line.
    if (next >= 1 && next <= MAX_LEVEL) {
        const int need = level_table[next] - p.exp;
        if (need > 0) {
            menu_text(page, 45, 230, black, "Experience needed for next level: %d", need);
        } else {
            const char* ready = "Experience needed for next level: You may level!";
            rectfill(page, 45 - PLATE_MARGIN, 230 - PLATE_MARGIN, 45 + text_length(font, ready) + PLATE_MARGIN - 1,
                     230 + text_height(font) + PLATE_MARGIN - 1, makecol(PLATE_R, PLATE_G, PLATE_B));
            menu_text(page, 45, 230, makecol(255, 0, 0), "%s", ready);
        }
    }

    const int hw = screen_w() / 2;
    const int box_w = art.menu_choice ? art.menu_choice->w : MENU_CHOICE_W;
    draw_picture(page, art.menu_choice, hw - box_w / 2, MENU_Y, MENU_CHOICE_W, MENU_CHOICE_H);
    draw_cursor(page, hw - box_w / 2 + MENU_CURSOR_DX, MENU_CURSOR_Y + MENU_PITCH * cursor_);
}

void CStatusMenu::DrawInventory(BITMAP* page, bool select) const {
    CPlayer& p = Member();
    const CMenuArt& art = menu_art;
    draw_picture(page, art.inv_bmp, 0, 0, screen_w(), screen_h());
    p.UpdateEquip();
    const int hw = screen_w() / 2, hh = screen_h() / 2, x = hw + INV_X_DX, black = makecol(0, 0, 0);
    for (int t = 0; t < EQUIP_SLOTS; ++t) menu_text(page, x, hh - 90 + LINE_PITCH * t, black, EQUIP_LABELS[t], p.equip[t].name.c_str());
    menu_text(page, x, hh - 30, black, "%s", "Inventory: ");
    for (int i = 0; i < INV_SLOTS; ++i) {
        const int y = hh - 20 + LINE_PITCH * i;
        const CInv& s = p.inv[i];
        if (s.id == 0) {
            menu_text(page, x + INV_SLOT_DX, y, black, "%d. ", i);
            continue;
        }
        draw_item_icon(page, s.type, x, y);
        menu_text(page, x + INV_SLOT_DX, y, black, s.equipped ? WORN_SLOT_LINE : SLOT_LINE, i, s.name.c_str());
    }
    menu_text(page, x, hh + 80, black, "%s", "Exit");
    if (select) draw_cursor(page, hw - 75, hh - 20 + LINE_PITCH * cursor_);
}

void CStatusMenu::DrawItemActions(BITMAP* page) const {
    DrawItemInfo(page, Member().inv[slot_].id);
    draw_picture(page, menu_art.inv_choice, ACTIONS_X, ACTIONS_Y, INV_CHOICE_W, INV_CHOICE_H);
    const int white = makecol(255, 255, 255);
    for (int a = ACT_WEAR; a <= ACT_BACK; ++a)
        menu_text(page, ACTION_TEXT_X, ACTION_TEXT_Y + ACTION_PITCH * a, white, "%s", ACTION_LABELS[a]);
    draw_cursor(page, ACTION_CURSOR_X, ACTION_CURSOR_Y + ACTION_PITCH * cursor_);
}

void CStatusMenu::DrawItemInfo(BITMAP* page, int id) const {
    // Nothing once the slot is empty; an id from a damaged save names no record either.
    if (id < 1 || id > MAX_ITEMS) return;
    const CInv& it = Member().items[id - 1];
    const int hh = screen_h() / 2, white = makecol(255, 255, 255);
    menu_text(page, INFO_X, hh - 50, white, "%s", "Information:");
    menu_text(page, INFO_LINE_X, hh - 30, white, INFO_NAME_LINE, it.name.c_str());
    menu_text(page, INFO_LINE_X, hh - 20, white, "Damage: %d", it.damage);
    menu_text(page, INFO_LINE_X, hh - 10, white, "Armour: %d", it.armour);
    menu_text(page, INFO_LINE_X, hh, white, "%s", type_line(it.type));
}

}  // namespace

void CMenu::DisplayStatus() {
    host->FlushKeyBuffer();
    CStatusMenu status;
    RunScreen(status);
    // The key that closed the menu must not act in the field.
    host->ForgetKeys();
}

int CMenu::InventoryNameRoom() {
    const int x = GAME_W / 2 + INV_X_DX;
    // The lines naming an item, each with the most it writes round the name: a worn item in the
    // last slot, the weapon worn, and the item's information left of the panel.
    char slot_line[64];
    snprintf(slot_line, sizeof slot_line, WORN_SLOT_LINE, INV_SLOTS - 1, "");
    const int in_list = chars_before(x + INV_SLOT_DX, INV_PANEL_RIGHT) - (int)strlen(slot_line);
    const int worn = chars_before(x, INV_PANEL_RIGHT) - ((int)strlen(EQUIP_LABELS[IT_WEAPON]) - 2);
    const int info = chars_before(INFO_LINE_X, INV_PANEL_LEFT) - ((int)strlen(INFO_NAME_LINE) - 2);
    return std::min({in_list, worn, info});
}
