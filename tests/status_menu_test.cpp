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
    static void Join() { quest.flags |= QF_COMPANION; }
    // Taps each key in turn, then runs the menu until it closes or the script runs out.
    RunEnd Menu(const std::vector<int>& keys) {
        for (int k : keys) script.Tap(k);
        return Run([] { menu.DisplayStatus(); });
    }
    // From the status page to the item page of a slot, then these keys.
    RunEnd MenuOnItem(int slot, const std::vector<int>& then) {
        script.Tap(GK_LCONTROL);
        for (int i = 0; i < slot; ++i) script.Tap(GK_DOWN);
        script.Tap(GK_LCONTROL);
        return Menu(then);
    }
};

TEST_F(StatusMenu, StatusPageShowsEveryLineInItsColourAndThePartysGoldForEitherMember) {
    player[1] = player[0];
    player[1].name = "Miresa";
    player[1].str = 17;
    player[1].gold = 3;  // never shown: the purse is the hero's
    Join();
    for (int shown : {0, 1}) {
        SCOPED_TRACE(shown);
        App.selected_pc = shown;
        ASSERT_EQ(Menu({}), RunEnd::SCRIPT_END);
        const struct {
            int x, y;
            std::string text;
            int colour;
        } lines[] = {
            {15, 7, shown ? "Name: Miresa" : "Name: Arven", Black()},
            {70, 72, shown ? "Str 17" : "Str 11", Black()},
            {70, 86, "Wis 12", Black()},
            {70, 100, "Con 13", Black()},
            {70, 114, "Cha 14", Black()},
            {70, 128, "Int 15", Black()},
            {70, 156, "HP 7(10)", makecol(128, 128, 0)},
            {70, 170, "Mana 5(2)", makecol(0, 0, 128)},  // the maximum first
            {45, 190, "Gold 345", makecol(255, 255, 0)},
            {45, 200, "Experience 20", Black()},
            // The cap and the sword are carried, not worn.
            {45, 210, "Armor Class 0 (the higher the better)", Black()},
            {45, 220, "Damage 1", Black()},
            {45, 230, "Experience needed for next level: 5", Black()},
        };
        for (const auto& l : lines) EXPECT_TRUE(TextAt(l.x, l.y, l.text, l.colour));
        EXPECT_TRUE(CursorAt(320 - 140 + 120, 411));
        EXPECT_EQ(ScreenPixel(180, 400), Frame());  // the menu box, centred
        script.Clear();
    }
}

TEST_F(StatusMenu, StatusPageCountsWornItemsAtOnce) {
    player[0].WearObject(SWORD, 1);
    player[0].WearObject(CAP, 0);
    player[0].damage = player[0].ac = 0;  // stale: the page recomputes before it draws
    Menu({});
    EXPECT_TRUE(TextAt(45, 210, "Armor Class 2 (the higher the better)", Black()));
    EXPECT_TRUE(TextAt(45, 220, "Damage 4", Black()));
}

// WCAG contrast ratio of two 16-bit colours.
double Contrast(int a, int b) {
    auto lin = [](int v) { return v <= 10 ? v / 255.0 / 12.92 : std::pow((v / 255.0 + 0.055) / 1.055, 2.4); };
    auto lum = [&](int c) { return 0.2126 * lin(getr16(c)) + 0.7152 * lin(getg16(c)) + 0.0722 * lin(getb16(c)); };
    const double la = lum(a), lb = lum(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST_F(StatusMenu, NextLevelLineByLevelAndExperience) {
    const std::string ready = "Experience needed for next level: You may level!";
    const struct {
        int level, exp;
        std::string text;  // empty: no line
        bool red;
    } cases[] = {
        {3, 100, ready, true},  {3, 90, "Experience needed for next level: 10", false},
        {1, 5, "Experience needed for next level: 1", false}, {1, 6, ready, true},
        {10, 0, ready, true},  // the eleventh level needs nothing more
        {11, 99999, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level * 100000 + c.exp);
        player[0].level = c.level;
        player[0].exp = c.exp;
        script.Clear();
        Menu({});
        if (c.text.empty()) {
            EXPECT_TRUE(NoColourIn(45, 230, 400, 8, Black()));
            EXPECT_TRUE(NoColourIn(45, 230, 400, 8, Red()));
            continue;
        }
        EXPECT_TRUE(TextAt(45, 230, c.text, c.red ? Red() : Black()));
        if (!c.red) continue;
        // The red line stands on the picture's mid-tone band; whatever lies around its letters must
        // set them off as well as ordinary text needs.
        const int w = text_length(font, c.text.c_str());
        for (int y = 228; y < 240; ++y)
            for (int x = 43; x < 45 + w + 2; ++x) {
                const int px = ScreenPixel(x, y);
                if (px == Red()) continue;
                ASSERT_GE(Contrast(px, Red()), 4.5) << "at " << x << "," << y;
            }
    }
}

TEST_F(StatusMenu, StatusEntriesAndTheirKeys) {
    const struct {
        bool joined;
        std::vector<int> keys;
        RunEnd end;
        int shown;     // App.selected_pc afterwards
        int cursor_y;  // where the cursor stands while the menu is still open
    } cases[] = {
        {false, {GK_ALT}, RunEnd::RETURNED, 0, 0},
        {false, {GK_DOWN, GK_DOWN, GK_RCONTROL}, RunEnd::RETURNED, 0, 0},            // "Close"
        {false, {GK_DOWN, GK_DOWN, GK_DOWN, GK_DOWN}, RunEnd::SCRIPT_END, 0, 439},  // stops on the last entry
        {false, {GK_DOWN, GK_UP, GK_UP}, RunEnd::SCRIPT_END, 0, 411},               // and on the first
        {false, {GK_DOWN, GK_LCONTROL}, RunEnd::SCRIPT_END, 0, 425},                // no companion: no switch
        {true, {GK_DOWN, GK_LCONTROL}, RunEnd::SCRIPT_END, 1, 425},
        {true, {GK_DOWN, GK_LCONTROL, GK_RCONTROL}, RunEnd::SCRIPT_END, 0, 425},    // and back
        {true, {GK_DOWN, GK_ALT}, RunEnd::RETURNED, 0, 0},
    };
    int row = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(row++);
        quest.flags = c.joined ? (uint64_t)QF_COMPANION : 0;
        App.selected_pc = 0;
        script.Clear();
        for (int k : c.keys) script.Tap(k);
        EXPECT_EQ(Run([] { menu.DisplayStatus(); }), c.end);
        EXPECT_EQ(App.selected_pc, c.shown);
        if (c.end == RunEnd::SCRIPT_END) {
            EXPECT_TRUE(CursorAt(300, c.cursor_y));
            EXPECT_TRUE(TextAt(15, 7, c.shown ? "Name: Miresa" : "Name: Arven", Black()));
        }
    }
}

TEST_F(StatusMenu, InventoryListsEquipmentAndSlotsAndExitCloses) {
    player[0].WearObject(CAP, 0);
    ASSERT_EQ(Menu({GK_LCONTROL}), RunEnd::SCRIPT_END);
    const int x = 270;
    const struct {
        int y;
        std::string text;
    } lines[] = {
        {150, "Head: Cap"}, {160, "Arms: "}, {170, "Legs: "}, {180, "Ring: "}, {190, "Weapon: "},
        {210, "Inventory: "},
    };
    for (const auto& l : lines) EXPECT_TRUE(TextAt(x, l.y, l.text, Black()));
    EXPECT_TRUE(TextAt(280, 220, "0. Cap (equipped)", Black()));
    EXPECT_TRUE(TextAt(280, 230, "1. Sword", Black()));
    EXPECT_TRUE(TextAt(280, 240, "2. ", Black()));
    EXPECT_TRUE(TextAt(280, 250, "3. Potion", Black()));
    EXPECT_TRUE(TextAt(280, 310, "9. ", Black()));
    EXPECT_TRUE(TextAt(x, 320, "Exit", Black()));
    EXPECT_EQ(ScreenPixel(x, 230), Icon(IT_WEAPON));
    EXPECT_EQ(ScreenPixel(x + 7, 257), Icon(IT_USABLE));
    EXPECT_NE(ScreenPixel(x, 240), Icon(0));  // no icon on an empty slot
    EXPECT_TRUE(CursorAt(245, 220));

    // The cursor stops on "Exit", which closes the menu like ALT does.
    std::vector<int> to_exit(13, GK_DOWN);
    to_exit[0] = GK_LCONTROL;
    script.Clear();
    ASSERT_EQ(Menu(to_exit), RunEnd::SCRIPT_END);
    EXPECT_TRUE(CursorAt(245, 320));
    to_exit.push_back(GK_RCONTROL);
    script.Clear();
    EXPECT_EQ(Menu(to_exit), RunEnd::RETURNED);
    script.Clear();
    EXPECT_EQ(Menu({GK_LCONTROL, GK_DOWN, GK_ALT}), RunEnd::RETURNED);
}

TEST_F(StatusMenu, OnlyAFilledSlotOpensTheItemPageAndBackOrAltReturnToTheListsTop) {
    const struct {
        int slot;
        std::vector<int> then;
        int cursor_y;  // on the list, whose cursor shows only while no item page is open
    } cases[] = {
        {2, {}, 240},  // slot 2 is empty
        {3, {GK_ALT}, 220},
        {3, {GK_DOWN, GK_DOWN, GK_DOWN, GK_LCONTROL}, 220},  // "Back"
    };
    for (const auto& c : cases) {
        script.Clear();
        ASSERT_EQ(MenuOnItem(c.slot, c.then), RunEnd::SCRIPT_END);
        EXPECT_TRUE(CursorAt(245, c.cursor_y)) << c.then.size();
        EXPECT_TRUE(NoColourIn(315, 408, 40, 40, White())) << c.then.size();
    }
}

TEST_F(StatusMenu, ItemPageShowsTheItemAndItsActions) {
    ASSERT_EQ(MenuOnItem(1, {GK_DOWN, GK_DOWN}), RunEnd::SCRIPT_END);
    const struct {
        int x, y;
        std::string text;
    } lines[] = {
        {15, 190, "Information:"}, {35, 210, "Name: Sword"}, {35, 220, "Damage: 3"}, {35, 230, "Armour: 0"},
        {35, 240, "Type: Weapon"}, {315, 408, "Wear"}, {315, 418, "Give to Other PC"}, {315, 428, "Drop"},
        {315, 438, "Back"},
    };
    for (const auto& l : lines) EXPECT_TRUE(TextAt(l.x, l.y, l.text, White()));
    EXPECT_TRUE(CursorAt(300, 425));
    EXPECT_EQ(ScreenPixel(200, 400), Frame());
    EXPECT_TRUE(TextAt(280, 230, "1. Sword", Black()));  // the list stays beneath, without its cursor
    EXPECT_TRUE(NoColourIn(245, 220, 9, 110, Selector()));

    const char* const types[] = {"Type: Head Armor", "Type: Arm Armor", "Type: Leg Armor", "Type: Rings",
                                 "Type: Weapon",     "Type: Other",     "Type: Other(usable)", "Type: Other"};
    for (int t = 0; t < 8; ++t) {
        Item(SWORD, "Sword", t, 3, 0);
        script.Clear();
        MenuOnItem(1, {});
        EXPECT_TRUE(TextAt(35, 240, types[t], White())) << t;
    }
}

TEST_F(StatusMenu, WearGiveAndDrop) {
    CPlayer& h = player[0];
    CPlayer& m = player[1];
    const int WEAR = 0, GIVE = 1, DROP = 2;
    // Each case starts from the hero carrying Cap, Sword, -, Potion and wearing the sword.
    const struct {
        const char* what;
        bool joined;
        bool companion_full;
        int slot, action;
        int hero_damage, hero_ac;
        int slot_after;           // id left in the slot
        int companion_first_free;  // id in the companion's first slot afterwards, when it was free
        bool dropped;
        const char* said;
    } cases[] = {
        {"wear the cap", false, false, 0, WEAR, 4, 2, CAP, 0, false, nullptr},
        {"give without her", false, false, 1, GIVE, 4, 0, SWORD, 0, false, nullptr},
        {"give the worn sword", true, false, 1, GIVE, 1, 0, 0, SWORD, false, nullptr},
        {"give to a full pack", true, true, 1, GIVE, 4, 0, SWORD, 0, false, "The other player's inventory is full!"},
        {"drop the worn sword", false, false, 1, DROP, 1, 0, 0, 0, true, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        reset_game_state();
        MakeMap(10, 10);
        h.x = h.y = m.x = m.y = 32;
        Carry(h, {CAP, SWORD, 0, POTION});
        h.WearObject(SWORD, 1);
        if (c.joined) Join();
        if (c.companion_full)
            for (CInv& s : m.inv) s.id = RING;
        script.Clear();
        script.said.clear();
        std::vector<int> keys(c.action, GK_DOWN);
        keys.push_back(GK_LCONTROL);
        if (c.said) keys.push_back(GK_SPACE);
        // Once the slot is empty, Wear does nothing more.
        keys.insert(keys.end(), {GK_UP, GK_UP, GK_LCONTROL});
        ASSERT_EQ(MenuOnItem(c.slot, keys), RunEnd::SCRIPT_END);

        EXPECT_EQ(h.damage, c.hero_damage);
        EXPECT_EQ(h.ac, c.hero_ac);
        EXPECT_EQ(h.inv[c.slot].id, c.slot_after);
        EXPECT_EQ(h.equip[IT_WEAPON].id, c.hero_damage > 1 ? SWORD : 0);
        EXPECT_EQ(m.inv[0].id, c.companion_full ? RING : c.companion_first_free);
        EXPECT_EQ(map.events.size(), c.dropped ? 1u : 0u);
        if (c.dropped) {
            EXPECT_EQ(map.events[0].type, EV_OBJECT);
            EXPECT_EQ(map.events[0].quest, SWORD);
            EXPECT_EQ(map.events[0].x, 2);
            EXPECT_EQ(map.tiles[1][2][2].tile, OBJECT_TILE);
        }
        ASSERT_EQ(script.said.size(), c.said ? 1u : 0u);
        if (c.said) {
            EXPECT_EQ(script.said[0].second, c.said);
        }
    }
}

TEST_F(StatusMenu, TheCompanionsOwnItemsWhenSheIsShown) {
    Join();
    App.selected_pc = 1;
    Carry(player[1], {RING});
    ASSERT_EQ(MenuOnItem(0, {GK_DOWN, GK_LCONTROL}), RunEnd::SCRIPT_END);  // give the ring to the hero
    EXPECT_EQ(player[1].inv[0].id, 0);
    EXPECT_EQ(player[0].inv[2].id, RING);  // his first free slot
}

TEST_F(StatusMenu, ControlInTheFieldOpensTheMenuAndTheCloseButtonIsAnswered) {
    script.Ticks(2).Tap(GK_RCONTROL).Close().AnswerAlert(1).Ticks(3);
    ASSERT_EQ(RunField(), RunEnd::SCRIPT_END);
    ASSERT_EQ(script.alerts.size(), 1u);
    EXPECT_EQ(script.alerts[0].line1, "Are you sure you want to quit?");
    EXPECT_TRUE(TextAt(15, 7, "Name: Arven", Black()));  // NO: still in the menu
    script.Clear();
    script.Close().AnswerAlert(2).Ticks(2);
    EXPECT_EQ(Menu({}), RunEnd::EXITED);
    EXPECT_EQ(exit_status, 0);
}

}  // namespace
