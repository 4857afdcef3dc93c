// The shop screen: a shop's five items with their prices, the purchase question, the party's purse; and the shop list.
#include <algorithm>
#include <string>

#include "CDisplay.h"
#include "CMap.h"
#include "CPlayer.h"
#include "Host.h"
#include "Interaction.h"
#include "MenuArt.h"
#include "MenuDraw.h"
#include "ScreenKit.h"
#include "Sound.h"
#include "TextLists.h"
#include "Timing.h"

std::string shop_list_problem;

namespace {

const char* const SHOP_LIST_FILE = "./data/shops.txt";
const char* const PURCHASE_SOUND = "./data/music/coinchime.wav";

// The list: the cursor runs over the five items and then "Exit".
constexpr int ENTRY_EXIT = SHOP_ITEMS;
// Usual sizes of the pictures, for the layout when one is missing.
constexpr int SHOP_PANEL_W = 260, SHOP_PANEL_H = 150;
constexpr int QUESTION_W = 380, QUESTION_H = 100;
constexpr int EQUIP_FRAME_W = 205, EQUIP_FRAME_H = 76;
constexpr int ICON_ROW_W = 8 * ITEM_ICON;
// Rows of the item list, and its columns from the screen's middle: the icon, and the name and
// price just past the icon row's width.
constexpr int LIST_Y = 50, LIST_PITCH = 12;
constexpr int LIST_ICON_DX = -83, LIST_TEXT_DX = -73;
// The equipment frame's left edge and its lines, from the item panel's right edge.
constexpr int EQUIP_FRAME_DX = -15, EQUIP_TEXT_DX = 10;
constexpr int ANSWER_Y = 63, ANSWER_PITCH = 12;  // the question's cursor, below its top

// Reads the shop list into stock; a missing or damaged list is reported once (until it changes)
// and the shops not read keep what they sold.
void read_shop_list(int (&stock)[MAX_SHOPS][SHOP_ITEMS]) {
    std::string text, problem;
    if (!read_text_file(SHOP_LIST_FILE, text)) {
        problem = std::string("Error: couldn't read the shop list ") + SHOP_LIST_FILE + "; the shops stay as they were.";
    } else {
        int read = 0;
        const ListReadResult r = parse_shop_list(text, stock, read);
        if (r.ok()) {
            shop_list_problem.clear();
            return;
        }
        problem = std::string("Error: the shop list ") + SHOP_LIST_FILE + " is damaged (" + r.error + "); the shops from shop " +
                  std::to_string(read / SHOP_ITEMS) + " on stay as they were.";
    }
    if (problem != shop_list_problem) show_message("%s", problem.c_str());
    shop_list_problem = problem;
}

// The coins' chime of a purchase: read once, on the first shop's start-up or purchase, and kept
// for the run (a sample freed while it plays would cut it off).
const CSoundEffect& purchase_sound() {
    static const CSoundEffect* chime = new CSoundEffect(PURCHASE_SOUND);
    return *chime;
}

// The record of an item on sale, or null when the shop row names none: id 0, or an id the item
// list does not reach (the record was never read). Such a row is an empty line and sells nothing.
const CInv* item_on_sale(const CPlayer& p, int id) {
    if (id < 1 || id > MAX_ITEMS || p.items[id - 1].id != id) return nullptr;
    return &p.items[id - 1];
}

// One visit to a shop on the screen kit: the list of five items and "Exit", UP and DOWN to
// choose, SPACE to ask about buying the item under the cursor or to leave on "Exit".
class CShopScreen : public CScreen {
public:
    CShopScreen(const int (&row)[SHOP_ITEMS], CPlayer& shopper) : shopper_(shopper) { std::copy(row, row + SHOP_ITEMS, row_); }
    bool Tick() override;
    void Draw() override;
    ScreenView View() const override { return {SK_SHOP, cursor_}; }
    // The map, the item panel, the shopper's equipment and the purse: what both the list and
    // the purchase question show.
    void DrawList(BITMAP* page) const;

private:
    int row_[SHOP_ITEMS];
    CPlayer& shopper_;
    int cursor_ = 0;
    CScreenKey up_{GK_UP}, down_{GK_DOWN}, space_{GK_SPACE};
};

// The purchase question over the list: "yes" above "no" (in the picture), SPACE answers.
// A yes buys when the party's purse holds the price and the shopper has room.
class CPurchase : public CScreen {
public:
    CPurchase(const CShopScreen& list, CPlayer& shopper, const CInv& item) : list_(list), shopper_(shopper), item_(item) {}
    bool Tick() override;
    void Draw() override;
    ScreenView View() const override { return {SK_PURCHASE, answer_}; }

private:
    const CShopScreen& list_;
    CPlayer& shopper_;
    const CInv& item_;
    int answer_ = 0;  // 0 yes, 1 no
    CScreenKey up_{GK_UP}, down_{GK_DOWN}, space_{GK_SPACE};
    void Buy();
};

bool CShopScreen::Tick() {
    if (up_.Pressed()) cursor_ = std::max(0, cursor_ - 1);
    if (down_.Pressed()) cursor_ = std::min(ENTRY_EXIT, cursor_ + 1);
    if (!space_.Pressed()) return false;
    if (cursor_ == ENTRY_EXIT) return true;
    if (const CInv* item = item_on_sale(shopper_, row_[cursor_])) {
        CPurchase question(*this, shopper_, *item);
        RunScreen(question);
    }
    return false;
}

void CShopScreen::Draw() {
    BITMAP* page = Display.GetSurface();
    if (!page) return;
    DrawList(page);
    const int hw = screen_w() / 2;
    menu_text(page, hw - 75, LIST_Y + LIST_PITCH * ENTRY_EXIT, makecol(255, 0, 0), "%s", "Exit");
    draw_cursor(page, hw - 90, LIST_Y + LIST_PITCH * cursor_);
}

void CShopScreen::DrawList(BITMAP* page) const {
    // The field as it was shown behind the shop: the companion's own view is not kept up to date
    // while the hero walks, so the hero's is the one on the screen.
    map.DrawMap(0, (unsigned int)std::max(0, player[0].scroll_x), (unsigned int)std::max(0, player[0].scroll_y));
    const CMenuArt& art = menu_art;
    const int hw = screen_w() / 2;
    const int sw = art.shop_bmp ? art.shop_bmp->w : SHOP_PANEL_W;
    const int iw = art.item_icons ? art.item_icons->w : ICON_ROW_W;
    draw_picture(page, art.shop_bmp, hw - sw / 2, 0, SHOP_PANEL_W, SHOP_PANEL_H, false);
    draw_picture(page, art.choice, hw + sw / 2 + EQUIP_FRAME_DX, 125, EQUIP_FRAME_W, EQUIP_FRAME_H);

    const int black = makecol(0, 0, 0), red = makecol(255, 0, 0);
    shopper_.UpdateEquip();
    for (int t = 0; t < EQUIP_SLOTS; ++t)
        menu_text(page, hw + sw / 2 + EQUIP_TEXT_DX, 135 + 10 * t, black, EQUIP_LABELS[t], shopper_.equip[t].name.c_str());
    menu_text(page, hw - 75, 30, black, "%s", "Item Name Price(gp)");
    menu_text(page, hw - 95, 122, black, "Shopping for: %s", shopper_.name.c_str());
    menu_text(page, hw - 95, 132, black, "%s", "Your Gold: ");
    menu_text(page, hw + 9, 132, makecol(255, 255, 0), "%d", player[0].gold);
    for (int k = 0; k < SHOP_ITEMS; ++k) {
        const CInv* item = item_on_sale(shopper_, row_[k]);
        if (!item) continue;
        const int y = LIST_Y + LIST_PITCH * k;
        draw_item_icon(page, item->type, hw + LIST_ICON_DX, y);
        menu_text(page, hw + iw + LIST_TEXT_DX, y, red, "%s %d", item->name.c_str(), item->price);
    }
}

bool CPurchase::Tick() {
    if (up_.Pressed()) answer_ = 0;
    if (down_.Pressed()) answer_ = 1;
    if (!space_.Pressed()) return false;
    if (answer_ == 0) Buy();
    return true;
}

void CPurchase::Buy() {
    // The purse is the party's, whoever shops; the item goes to the shopper.
    if (player[0].gold < item_.price) {
        Talk("", "Hey, you can't afford that!");
        return;
    }
    // A full pack says so itself, and nothing is paid.
    if (!shopper_.AddObject(item_.id)) return;
    purchase_sound().Play(255, 128, 1000);
    player[0].gold -= item_.price;
}

void CPurchase::Draw() {
    BITMAP* page = Display.GetSurface();
    if (!page) return;
    list_.DrawList(page);
    const CMenuArt& art = menu_art;
    const int hw = screen_w() / 2, hh = screen_h() / 2;
    const int sw = art.shop_bmp ? art.shop_bmp->w : SHOP_PANEL_W;
    draw_picture(page, art.shop_select, hw - sw, hh, QUESTION_W, QUESTION_H, false);
    draw_cursor(page, hw + 10, hh + ANSWER_Y + ANSWER_PITCH * answer_);
    menu_text(page, hw - sw + 10, hh + 10, makecol(255, 0, 0), "Purchase %s for %dgp?", item_.name.c_str(), item_.price);
}

}  // namespace

int CShop::ListNameRoom(int price) {
    const int hw = GAME_W / 2;
    const int row = chars_before(hw + ICON_ROW_W + LIST_TEXT_DX, hw + SHOP_PANEL_W / 2 - PANEL_FRAME_W);
    return row - 1 - (int)std::to_string(price).size();  // " price"
}

int CShop::EquipNameRoom(int slot) {
    if (slot < 0 || slot >= EQUIP_SLOTS) return 0;
    const int panel_right = GAME_W / 2 + SHOP_PANEL_W / 2;
    const int frame_right = panel_right + EQUIP_FRAME_DX + EQUIP_FRAME_W - PANEL_FRAME_W;
    const int label = (int)std::string(EQUIP_LABELS[slot]).size() - 2;  // without its "%s"
    return chars_before(panel_right + EQUIP_TEXT_DX, frame_right) - label;
}

void CShop::Init() {
    menu_art.Load();
    purchase_sound();
    read_shop_list(stock);
}

void CShop::Shop(int number, CPlayer& p) {
    // The shop's number comes from a map file.
    if (number < 0 || number >= MAX_SHOPS) return;
    // Read on every visit, so an edited list shows at the next one.
    read_shop_list(stock);
    host->ForgetKeys();
    CShopScreen visit(stock[number], p);
    RunScreen(visit);
}
