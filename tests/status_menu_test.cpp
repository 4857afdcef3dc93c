// The status and inventory menu: every line of its three pages, its keys, and wearing, giving and dropping items.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "CMain.h"
#include "CMap.h"
#include "CMenu.h"
#include "CPlayer.h"
#include "MenuRig.h"
#include "Quests.h"
#include "Timing.h"

namespace {

// Items of the tests' database.
enum { CAP = 1, SWORD = 2, RING = 3, POTION = 4 };

// WCAG contrast ratio of two 16-bit colours.
double Contrast(int a, int b) {
    auto lin = [](int v) { return v <= 10 ? v / 255.0 / 12.92 : std::pow((v / 255.0 + 0.055) / 1.055, 2.4); };
    auto lum = [&](int c) { return 0.2126 * lin(getr16(c)) + 0.7152 * lin(getg16(c)) + 0.0722 * lin(getb16(c)); };
    const double la = lum(a), lb = lum(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The hero carries Cap, Sword, -, Potion (none worn) and his statistics all differ.
class StatusMenu : public MenuRig {
protected:
    void SetUp() override {
        MenuRig::SetUp();
        MakeMap(10, 10);
        Item(CAP, "Cap", IT_HEAD, 0, 2);
        Item(SWORD, "Sword", IT_WEAPON, 3, 0);
        Item(RING, "Ring", IT_RING, 1, 1);
        Item(POTION, "Potion", IT_USABLE, 0, 0);
        for (CPlayer& p : player) p.x = p.y = 32;
        CPlayer& h = player[0];
        h.str = 11, h.wis = 12, h.con = 13, h.cha = 14, h.intel = 15;
        h.hp = 7, h.max_hp = 10, h.mana = 2, h.max_mana = 5;
        h.exp = 20, h.level = 2, h.gold = 345;
        Carry(h, {CAP, SWORD, 0, POTION});
    }
    // Fills the first slots with these ids (0 leaves a slot empty).
    static void Carry(CPlayer& p, std::initializer_list<int> ids) {
        int i = 0;
        for (int id : ids) p.inv[i++].id = id;
        p.UpdateInventory();
    }
    // Taps the keys of `keys` in turn (c and r: left and right CONTROL, a ALT, u UP, d DOWN,
    // s SPACE), then runs the menu until it closes or the script runs out.
    RunEnd Menu(const std::string& keys) {
        for (char k : keys)
            script.Tap(k == 'c' ? GK_LCONTROL : k == 'r' ? GK_RCONTROL : k == 'a' ? GK_ALT : k == 'u' ? GK_UP
                       : k == 'd' ? GK_DOWN : GK_SPACE);
        return Run([] { menu.DisplayStatus(); });
    }
};

// Both members' pages (hers with the cap and the sword worn, their totals stale until the page
// recomputes them); the gold is always the hero's.
TEST_F(StatusMenu, StatusPageShowsEveryLineInItsColourForEitherMember) {
    player[1] = player[0];
    player[1].name = "Miresa";
    player[1].str = 17;
    player[1].gold = 3;
    player[1].WearObject(SWORD, 1);
    player[1].WearObject(CAP, 0);
    player[1].damage = player[1].ac = 0;
    quest.flags |= QF_COMPANION;
    for (int shown : {0, 1}) {
        SCOPED_TRACE(shown);
        App.selected_pc = shown;
        ASSERT_EQ(Menu(""), RunEnd::SCRIPT_END);
        const struct { int x, y; std::string text; int colour; } lines[] = {
            {15, 7, shown ? "Name: Miresa" : "Name: Arven", Black()}, {70, 72, shown ? "Str 17" : "Str 11", Black()},
            {70, 86, "Wis 12", Black()}, {70, 100, "Con 13", Black()}, {70, 114, "Cha 14", Black()},
            {70, 128, "Int 15", Black()}, {70, 156, "HP 7(10)", makecol(128, 128, 0)},
            {70, 170, "Mana 5(2)", makecol(0, 0, 128)},  // the maximum first
            {45, 190, "Gold 345", makecol(255, 255, 0)}, {45, 200, "Experience 20", Black()},
            {45, 210, shown ? "Armor Class 2 (the higher the better)" : "Armor Class 0 (the higher the better)", Black()},
            {45, 220, shown ? "Damage 4" : "Damage 1", Black()}, {45, 230, "Experience needed for next level: 5", Black()},
        };
        for (const auto& l : lines) EXPECT_TRUE(TextAt(l.x, l.y, l.text, l.colour));
        EXPECT_TRUE(CursorAt(320 - 140 + 120, 411));
        script.Clear();
    }
}

// A member ready to level is told in red, set off from the page's mid-tone band as well as
// ordinary text needs; past the eleventh level there is no line.
TEST_F(StatusMenu, NextLevelLineByLevelAndExperience) {
    const std::string ready = "Experience needed for next level: You may level!";
    const struct { int level, exp; std::string text; bool red; } cases[] = {
        {3, 100, ready, true}, {3, 90, "Experience needed for next level: 10", false},
        {1, 5, "Experience needed for next level: 1", false}, {1, 6, ready, true}, {10, 0, ready, true}, {11, 99999, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level * 100000 + c.exp);
        player[0].level = c.level, player[0].exp = c.exp;
        script.Clear();
        Menu("");
        if (c.text.empty()) {
            EXPECT_TRUE(NoColourIn(45, 230, 400, 8, Black()) && NoColourIn(45, 230, 400, 8, Red()));
            continue;
        }
        EXPECT_TRUE(TextAt(45, 230, c.text, c.red ? Red() : Black()));
        for (int y = 228; c.red && y < 240; ++y)
            for (int x = 43; x < 45 + text_length(font, c.text.c_str()) + 2; ++x)
                ASSERT_TRUE(ScreenPixel(x, y) == Red() || Contrast(ScreenPixel(x, y), Red()) >= 4.5) << x << "," << y;
    }
}

// The keys of the status page, the inventory list and the item page: where each road ends and
// where the cursor then stands (the list's shows only while no item page is open).
TEST_F(StatusMenu, EntriesAndTheirKeys) {
    const struct { bool joined; const char* keys; RunEnd end; int shown, cursor_x, cursor_y; } cases[] = {
        {false, "a", RunEnd::RETURNED, 0, 0, 0},
        {false, "ddr", RunEnd::RETURNED, 0, 0, 0},  // "Close"
        {false, "dddd", RunEnd::SCRIPT_END, 0, 300, 439},  // stops on the last entry
        {false, "duu", RunEnd::SCRIPT_END, 0, 300, 411},   // and on the first
        {false, "dc", RunEnd::SCRIPT_END, 0, 300, 425},    // no companion: no switch
        {true, "dc", RunEnd::SCRIPT_END, 1, 300, 425},
        {true, "dcr", RunEnd::SCRIPT_END, 0, 300, 425},    // and back
        {true, "da", RunEnd::RETURNED, 0, 0, 0},
        {false, "c", RunEnd::SCRIPT_END, 0, 245, 220},     // the inventory list
        {false, "cdddddddddddd", RunEnd::SCRIPT_END, 0, 245, 320},  // stops on "Exit"
        {false, "cddddddddddddr", RunEnd::RETURNED, 0, 0, 0},       // which closes the menu
        {false, "cda", RunEnd::RETURNED, 0, 0, 0},
        {false, "cddc", RunEnd::SCRIPT_END, 0, 245, 240},         // slot 2 is empty: no item page
        {false, "cdddca", RunEnd::SCRIPT_END, 0, 245, 220},       // ALT leaves the item page for the list's top
        {false, "cdddcdddc", RunEnd::SCRIPT_END, 0, 245, 220},    // and so does "Back"
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        quest.flags = c.joined ? (uint64_t)QF_COMPANION : 0;
        App.selected_pc = 0;
        script.Clear();
        EXPECT_EQ(Menu(c.keys), c.end);
        EXPECT_EQ(App.selected_pc, c.shown);
        EXPECT_TRUE(c.end != RunEnd::SCRIPT_END || CursorAt(c.cursor_x, c.cursor_y));
    }
}

TEST_F(StatusMenu, InventoryListAndItemPageShowTheirLines) {
    player[0].WearObject(CAP, 0);
    ASSERT_EQ(Menu("cdcdd"), RunEnd::SCRIPT_END);  // the sword's page, the cursor on "Drop"
    const struct { int x, y; std::string text; int colour; } lines[] = {
        {270, 150, "Head: Cap", Black()}, {270, 160, "Arms: ", Black()}, {270, 170, "Legs: ", Black()},
        {270, 180, "Ring: ", Black()}, {270, 190, "Weapon: ", Black()}, {270, 210, "Inventory: ", Black()},
        {280, 220, "0. Cap (equipped)", Black()}, {280, 230, "1. Sword", Black()}, {280, 240, "2. ", Black()},
        {280, 250, "3. Potion", Black()}, {280, 310, "9. ", Black()}, {270, 320, "Exit", Black()},
        {15, 190, "Information:", White()}, {35, 210, "Name: Sword", White()}, {35, 220, "Damage: 3", White()},
        {35, 230, "Armour: 0", White()}, {35, 240, "Type: Weapon", White()}, {315, 408, "Wear", White()},
        {315, 418, "Give to Other PC", White()}, {315, 428, "Drop", White()}, {315, 438, "Back", White()},
    };
    for (const auto& l : lines) EXPECT_TRUE(TextAt(l.x, l.y, l.text, l.colour));
    EXPECT_EQ(ScreenPixel(270, 230), Icon(IT_WEAPON));
    EXPECT_EQ(ScreenPixel(277, 257), Icon(IT_USABLE));
    EXPECT_NE(ScreenPixel(270, 240), Icon(0));  // no icon on an empty slot
    EXPECT_TRUE(CursorAt(300, 425));
    EXPECT_TRUE(NoColourIn(245, 220, 9, 110, Selector()));  // the list's cursor is hidden
}

// Each case starts from the hero carrying Cap, Sword, -, Potion and wearing the sword; then Wear
// is chosen again on the emptied slot, which does nothing more.
TEST_F(StatusMenu, WearGiveAndDrop) {
    CPlayer &h = player[0], &m = player[1];
    const struct { const char* what; bool joined, full; int slot; const char* action; int damage, ac, left, hers; } cases[] = {
        {"wear the cap", false, false, 0, "c", 4, 2, CAP, 0},
        {"give without her", false, false, 1, "dc", 4, 0, SWORD, 0},
        {"give the worn sword", true, false, 1, "dc", 1, 0, 0, SWORD},
        {"give to a full pack", true, true, 1, "dcs", 4, 0, SWORD, RING},
        {"drop the worn sword", false, false, 1, "ddc", 1, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        reset_game_state();
        MakeMap(10, 10);
        h.x = h.y = m.x = m.y = 32;
        Carry(h, {CAP, SWORD, 0, POTION});
        h.WearObject(SWORD, 1);
        if (c.joined) quest.flags |= QF_COMPANION;
        for (CInv& s : m.inv) s.id = c.full ? RING : 0;
        script.Clear().said.clear();
        ASSERT_EQ(Menu("c" + std::string(c.slot, 'd') + "c" + c.action + "uuc"), RunEnd::SCRIPT_END);

        EXPECT_EQ(std::make_tuple(h.damage, h.ac, h.inv[c.slot].id, m.inv[0].id), std::make_tuple(c.damage, c.ac, c.left, c.hers));
        EXPECT_EQ(h.equip[IT_WEAPON].id, c.damage > 1 ? SWORD : 0);
        const bool dropped = c.action == std::string("ddc");
        ASSERT_EQ(map.events.size(), dropped ? 1u : 0u);
        if (dropped) {
            EXPECT_EQ(std::make_tuple(map.events[0].type, map.events[0].quest, map.events[0].x, map.tiles[1][2][2].tile),
                      std::make_tuple(EV_OBJECT, SWORD, 2, OBJECT_TILE));
        }
        const decltype(script.said) full = {{"", "The other player's inventory is full!"}};
        EXPECT_EQ(script.said, c.full ? full : decltype(full)());
    }
}

TEST_F(StatusMenu, TheCompanionsOwnItemsWhenSheIsShown) {
    quest.flags |= QF_COMPANION;
    App.selected_pc = 1;
    Carry(player[1], {RING});
    ASSERT_EQ(Menu("ccdc"), RunEnd::SCRIPT_END);  // give the ring to the hero
    EXPECT_EQ(std::make_tuple(player[1].inv[0].id, player[0].inv[2].id), std::make_tuple(0, (int)RING));  // his first free slot
}

TEST_F(StatusMenu, ControlInTheFieldOpensTheMenuAndTheCloseButtonIsAnswered) {
    script.Ticks(2).Tap(GK_RCONTROL).Close().AnswerAlert(1).Ticks(3);
    ASSERT_EQ(RunField(), RunEnd::SCRIPT_END);
    ASSERT_EQ(script.alerts.size(), 1u);
    EXPECT_EQ(script.alerts[0].line1, "Are you sure you want to quit?");
    EXPECT_TRUE(TextAt(15, 7, "Name: Arven", Black()));  // NO: still in the menu
    script.Clear().Close().AnswerAlert(2).Ticks(2);
    EXPECT_EQ(Menu(""), RunEnd::EXITED);
    EXPECT_EQ(exit_status, 0);
}

}  // namespace
