// Shops: buying with enough gold, too little, a full pack, the companion shopping; the screen's lines; the shop list file.
#include <gtest/gtest.h>

#include <cstdio>
#include <tuple>

#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "MenuRig.h"
#include "Quests.h"
#include "TempDir.h"
#include "Timing.h"

namespace {

// Shop 0 sells the cap (8 gp), the sword (30 gp), the ring (25 gp), item4 and item5; shop 1 has
// rows naming no item around its sword.
class Shop : public MenuRig {
protected:
    TempDir dir{TempDir::AS_GAME_FOLDER};

    void SetUp() override {
        MenuRig::SetUp();
        MakeMap(10, 10);
        Priced(1, "Cap", IT_HEAD, 8);
        Priced(2, "Sword", IT_WEAPON, 30);
        Priced(3, "Ring", IT_RING, 25);
        List("1 2 3 4 5\n0 30 2 0 0\n");
    }
    static void Priced(int id, const std::string& name, int type, int price) {
        for (CPlayer& p : player) p.items[id - 1].name = name, p.items[id - 1].type = type, p.items[id - 1].price = price;
    }
    void List(const std::string& text) { write_file(dir.path("data/shops.txt"), text); }
    // SPACE on entry `to` of the list, its cursor coming from entry `from`; entry 5 is "Exit".
    void Choose(int to, int from = 0) {
        for (int i = from; i < to; ++i) script.Tap(GK_DOWN);
        script.Tap(GK_SPACE);
    }
    RunEnd Visit(int number, int shopper) { return Run([=] { player[shopper].shop.Shop(number, player[shopper]); }); }
};

// Each row buys the sword (30 gp, the second entry) `times` times in one visit, through a shop event.
TEST_F(Shop, BuyingThroughTheShopEvent) {
    const struct { const char* what; int gold; bool full, yes; int shopper, times, gold_after; const char* said; } cases[] = {
        {"exactly enough", 30, false, true, 0, 1, 0, nullptr},
        {"too little", 29, false, true, 0, 1, 29, "Hey, you can't afford that!"},
        {"a full pack", 100, true, true, 0, 1, 100, "You don't have any room in your inventory!"},
        {"too little and full", 29, true, true, 0, 1, 29, "Hey, you can't afford that!"},
        {"answered no", 100, false, false, 0, 1, 100, nullptr},
        {"the companion", 100, false, true, 1, 1, 70, nullptr},
        {"twice, each asked", 100, false, true, 0, 2, 40, nullptr},
    };
    const int e = AddEvent(3, 2, EV_SHOP, 0);
    map.events[e].speaker = "Clerk", map.events[e].text = "Welcome!";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        quest.flags = c.shopper ? (uint64_t)QF_COMPANION : 0;
        App.selected_pc = c.shopper;
        player[0].gold = c.gold, player[1].gold = 500;  // hers is never spent: the purse is the hero's
        CPlayer& p = player[c.shopper];
        for (CPlayer& q : player)
            for (CInv& s : q.inv) s.id = c.full && &q == &p ? 3 : 0;
        script.Clear().said.clear();
        sounds.clear();
        script.Space();  // the welcome
        for (int i = 0; i < c.times; ++i) {
            Choose(1, i);
            if (!c.yes) script.Tap(GK_DOWN);
            script.Tap(GK_SPACE);
            if (c.said) script.Space();
        }
        Choose(5, 1);
        ASSERT_EQ(Run([e] { HandleEvents(e); }), RunEnd::RETURNED);

        EXPECT_EQ(std::make_tuple(player[0].gold, player[1].gold), std::make_tuple(c.gold_after, 500));
        const int bought = (c.gold - c.gold_after) / 30;
        for (int k = 0; k < 2; ++k) EXPECT_EQ(p.inv[c.full ? 9 - k : k].id, c.full ? 3 : k < bought ? 2 : 0) << k;
        EXPECT_EQ(player[1 - c.shopper].inv[0].id, 0);
        EXPECT_EQ(sounds, std::vector<std::string>(bought, "./data/music/coinchime.wav"));
        decltype(script.said) said = {{"Clerk", "Welcome!"}};
        if (c.said) said.push_back({"", c.said});
        EXPECT_EQ(script.said, said);
    }
}

TEST_F(Shop, ListScreenAndPurchaseQuestion) {
    player[0].gold = 345;
    player[0].inv[0].id = 2;
    player[0].WearObject(2, 0);
    script.Tap(GK_DOWN).Tap(GK_DOWN).Tap(GK_UP);
    ASSERT_EQ(Visit(0, 0), RunEnd::SCRIPT_END);
    const struct { int x, y; std::string text; int colour; } lines[] = {
        {245, 30, "Item Name Price(gp)", Black()}, {311, 50, "Cap 8", Red()}, {311, 62, "Sword 30", Red()},
        {311, 74, "Ring 25", Red()}, {311, 86, "item4 0", Red()}, {245, 110, "Exit", Red()},
        {225, 122, "Shopping for: Arven", Black()}, {225, 132, "Your Gold: ", Black()},
        {329, 132, "345", makecol(255, 255, 0)}, {460, 135, "Head: ", Black()}, {460, 175, "Weapon: Sword", Black()},
    };
    for (const auto& l : lines) EXPECT_TRUE(TextAt(l.x, l.y, l.text, l.colour));
    EXPECT_EQ(ScreenPixel(244, 69), Icon(IT_WEAPON));
    EXPECT_TRUE(CursorAt(230, 62));

    script.Clear().Tap(GK_DOWN).Tap(GK_SPACE).Tap(GK_DOWN);
    ASSERT_EQ(Visit(0, 0), RunEnd::SCRIPT_END);
    EXPECT_TRUE(TextAt(70, 250, "Purchase Sword for 30gp?", Red()));
    EXPECT_TRUE(CursorAt(330, 315));                  // on "no"
    EXPECT_TRUE(TextAt(311, 62, "Sword 30", Red()));  // the list beneath it

    // The longest names keep off the frames' inner edges (the list's at x 444, the equipment's at
    // x 634), until one character more crosses them.
    for (int more : {0, 1}) {
        Priced(4, std::string((size_t)(CShop::ListNameRoom(0) + more), 'W'), IT_HEAD, 0);
        Priced(2, std::string((size_t)(CShop::EquipNameRoom(IT_WEAPON) + more), 'W'), IT_WEAPON, 30);
        script.Clear();
        ASSERT_EQ(Visit(0, 0), RunEnd::SCRIPT_END);
        EXPECT_EQ((bool)NoColourIn(439, 86, 8, 8, Red()), more == 0) << more;
        EXPECT_EQ((bool)NoColourIn(628, 175, 8, 8, Black()), more == 0) << more;
    }
}

// Shop 1 is "0 30 2 0 0": its first two rows show nothing, and SPACE there opens no question (the
// keys after it would answer that question instead of leaving).
TEST_F(Shop, ARowNamingNoItemIsAnEmptyLineThatSellsNothing) {
    player[1].items[29] = CInv();  // the companion's list stops before item 30
    player[1].gold = player[0].gold = 1000;
    Choose(0), Choose(1), Choose(5, 1);
    ASSERT_EQ(Visit(1, 1), RunEnd::RETURNED);
    EXPECT_TRUE(NoColourIn(230, 50, 410, 24, Red()));
    EXPECT_TRUE(NoColourIn(230, 50, 16, 24, Icon(0)));
    EXPECT_TRUE(TextAt(311, 74, "Sword 30", Red()));
    EXPECT_EQ(std::make_tuple(player[0].gold, player[1].inv[0].id), std::make_tuple(1000, 0));
}

// Read at each visit (and each member's start-up); a damaged or missing list is told once, and
// the shops not read keep what they sold.
TEST_F(Shop, TheListIsReadAtEveryVisitAndProblemsAreToldOnce) {
    const struct { const char* list; int first; const char* says; } cases[] = {
        {"11 2 3 4 5\n", 11, nullptr},
        {"1 2 3 4 5\n6 x 8 9 10\n", 1, "Error: the shop list ./data/shops.txt is damaged (line 2"},
        {nullptr, 1, "Error: couldn't read the shop list ./data/shops.txt"},
    };
    for (const auto& c : cases) {
        c.list ? List(c.list) : (void)std::remove(dir.path("data/shops.txt").c_str());
        script.Clear().messages.clear();
        player[1].shop.Init();
        Choose(5);
        ASSERT_EQ(Visit(0, 0), RunEnd::RETURNED);
        EXPECT_EQ(player[0].shop.stock[0][0], c.first);
        ASSERT_EQ(script.messages.size(), c.says ? 1u : 0u);
        for (const std::string& m : script.messages) EXPECT_EQ(m.find(c.says), 0u) << m;
    }
}

}  // namespace
