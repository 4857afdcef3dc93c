// Shops: buying with enough gold, too little, a full pack, the companion shopping; the screen's lines; the shop list file.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "MenuRig.h"
#include "Quests.h"
#include "TempDir.h"
#include "Timing.h"

namespace {

const char* const CHIME = "./data/music/coinchime.wav";

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
    static void Priced(int id, const char* name, int type, int price) {
        for (CPlayer& p : player) {
            p.items[id - 1].name = name;
            p.items[id - 1].type = type;
            p.items[id - 1].price = price;
        }
    }
    void List(const std::string& text) { write_file(dir.path("data/shops.txt"), text); }
    // Moves the list's cursor from the top to entry k and presses SPACE there.
    void Choose(int k) {
        for (int i = 0; i < k; ++i) script.Tap(GK_DOWN);
        script.Tap(GK_SPACE);
    }
    // From entry k to "Exit", and out.
    void Leave(int k) { Choose(5 - k); }
    RunEnd Visit(int number, int shopper) {
        return Run([=] { player[shopper].shop.Shop(number, player[shopper]); });
    }
};

TEST_F(Shop, BuyingThroughTheShopEvent) {
    // Each row buys the sword (30 gp, the shop's second item) through a shop event on the map.
    const struct {
        const char* what;
        int gold;
        bool full, yes;
        int shopper, gold_after;  // bought when the gold went down
        const char* said;         // after the clerk's welcome
    } cases[] = {
        {"exactly enough", 30, false, true, 0, 0, nullptr},
        {"too little", 29, false, true, 0, 29, "Hey, you can't afford that!"},
        {"a full pack", 100, true, true, 0, 100, "You don't have any room in your inventory!"},
        {"too little and full", 29, true, true, 0, 29, "Hey, you can't afford that!"},
        {"answered no", 100, false, false, 0, 100, nullptr},
        {"the companion", 100, false, true, 1, 70, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        reset_game_state();
        MakeMap(10, 10);
        const int e = AddEvent(3, 2, EV_SHOP, 0);
        map.events[e].speaker = "Clerk";
        map.events[e].text = "Welcome!";
        quest.flags = c.shopper ? (uint64_t)QF_COMPANION : 0;
        App.selected_pc = c.shopper;
        player[0].gold = c.gold;
        player[1].gold = 500;  // never spent: the purse is the hero's
        CPlayer& p = player[c.shopper];
        if (c.full)
            for (CInv& s : p.inv) s.id = 3;
        script.Clear();
        script.said.clear();
        sounds.clear();
        script.Space();  // the welcome
        Choose(1);
        if (!c.yes) script.Tap(GK_DOWN);
        script.Tap(GK_SPACE);
        if (c.said) script.Space();
        Leave(1);
        ASSERT_EQ(Run([e] { HandleEvents(e); }), RunEnd::RETURNED);

        EXPECT_EQ(std::make_tuple(player[0].gold, player[1].gold), std::make_tuple(c.gold_after, 500));
        const bool bought = c.gold_after < c.gold;
        EXPECT_EQ(p.inv[c.full ? 9 : 0].id, c.full ? 3 : bought ? 2 : 0);
        EXPECT_EQ(player[1 - c.shopper].inv[0].id, 0);
        EXPECT_EQ(sounds, bought ? std::vector<std::string>{CHIME} : std::vector<std::string>{});
        std::vector<std::pair<std::string, std::string>> said = {{"Clerk", "Welcome!"}};
        if (c.said) said.push_back({"", c.said});
        EXPECT_EQ(script.said, said);
    }
}

TEST_F(Shop, TwoPurchasesInOneVisitEachAskAndEachChime) {
    player[0].gold = 100;
    for (int i = 0; i < 2; ++i) Choose(0), script.Tap(GK_SPACE);
    Leave(0);
    ASSERT_EQ(Visit(0, 0), RunEnd::RETURNED);
    EXPECT_EQ(std::make_tuple(player[0].gold, player[0].inv[0].id, player[0].inv[1].id), std::make_tuple(84, 1, 1));
    EXPECT_EQ(sounds.size(), 2u);
}

TEST_F(Shop, ListScreenAndPurchaseQuestion) {
    player[0].gold = 345;
    player[0].inv[0].id = 2;
    player[0].WearObject(2, 0);
    script.Tap(GK_DOWN).Tap(GK_DOWN).Tap(GK_UP);
    ASSERT_EQ(Visit(0, 0), RunEnd::SCRIPT_END);
    // Half the screen is 320; the panel is 260 wide and the icon row 64.
    EXPECT_EQ(ScreenPixel(190, 0), Parchment());
    EXPECT_EQ(ScreenPixel(435, 125), Frame());
    const struct {
        int x, y;
        std::string text;
        int colour;
    } lines[] = {
        {245, 30, "Item Name Price(gp)", Black()},
        {311, 50, "Cap 8", Red()},
        {311, 62, "Sword 30", Red()},
        {311, 74, "Ring 25", Red()},
        {311, 86, "item4 0", Red()},
        {245, 110, "Exit", Red()},
        {225, 122, "Shopping for: Arven", Black()},
        {225, 132, "Your Gold: ", Black()},
        {329, 132, "345", makecol(255, 255, 0)},
        {460, 135, "Head: ", Black()},
        {460, 175, "Weapon: Sword", Black()},
    };
    for (const auto& l : lines) EXPECT_TRUE(TextAt(l.x, l.y, l.text, l.colour));
    EXPECT_EQ(ScreenPixel(237, 50), Icon(IT_HEAD));
    EXPECT_EQ(ScreenPixel(244, 69), Icon(IT_WEAPON));
    EXPECT_TRUE(CursorAt(230, 62));

    script.Clear();
    script.Tap(GK_DOWN).Tap(GK_SPACE).Tap(GK_DOWN);
    ASSERT_EQ(Visit(0, 0), RunEnd::SCRIPT_END);
    EXPECT_EQ(ScreenPixel(60, 240), Frame());
    EXPECT_TRUE(TextAt(70, 250, "Purchase Sword for 30gp?", Red()));
    EXPECT_TRUE(CursorAt(330, 315));  // on "no"
    EXPECT_TRUE(TextAt(311, 62, "Sword 30", Red()));  // the list beneath it

    // Names as long as the content check lets them be keep off the frames' inner edges (the
    // list's at x 444, the equipment frame's at x 634): the character cell that would cross the
    // edge stays empty, until one character more fills it.
    for (int more : {0, 1}) {
        Priced(4, std::string((size_t)(CShop::ListNameRoom(0) + more), 'W').c_str(), IT_HEAD, 0);
        Priced(2, std::string((size_t)(CShop::EquipNameRoom(IT_WEAPON) + more), 'W').c_str(), IT_WEAPON, 30);
        script.Clear();
        ASSERT_EQ(Visit(0, 0), RunEnd::SCRIPT_END);
        EXPECT_EQ((bool)NoColourIn(439, 86, 8, 8, Red()), more == 0) << more;
        EXPECT_EQ((bool)NoColourIn(628, 175, 8, 8, Black()), more == 0) << more;
    }
}

TEST_F(Shop, ARowNamingNoItemIsAnEmptyLineThatSellsNothing) {
    player[1].items[29] = CInv();  // the companion's list stops before item 30
    player[1].gold = player[0].gold = 1000;
    // Shop 1 is 0 30 2 0 0.
    ASSERT_EQ(Visit(1, 1), RunEnd::SCRIPT_END);
    EXPECT_TRUE(NoColourIn(230, 50, 410, 24, Red()));
    EXPECT_TRUE(NoColourIn(230, 50, 16, 24, Icon(0)));
    EXPECT_TRUE(TextAt(311, 74, "Sword 30", Red()));
    // SPACE on the first two rows must open no question, or the keys after it would answer the
    // question instead of leaving.
    script.Clear();
    Choose(0);
    Choose(1);
    Leave(1);
    ASSERT_EQ(Visit(1, 1), RunEnd::RETURNED);
    EXPECT_EQ(player[0].gold, 1000);
    EXPECT_EQ(player[1].inv[0].id, 0);
}

TEST_F(Shop, TheListIsReadAtStartUpAndAtEveryVisitAndProblemsAreToldOnce) {
    List("1 2 3 4 5\n6 7 8 9 10\n");
    player[0].shop.Init();
    EXPECT_EQ(player[0].shop.stock[1][4], 10);
    List("11 2 3 4 5\n");
    Leave(0);
    ASSERT_EQ(Visit(0, 0), RunEnd::RETURNED);
    EXPECT_EQ(player[0].shop.stock[0][0], 11);
    EXPECT_EQ(player[0].shop.stock[1][0], 6);  // a shorter list leaves the rest as it was
    EXPECT_TRUE(script.messages.empty());

    List("1 2 3 4 5\n6 x 8 9 10\n");
    player[0].shop.Init();
    player[1].shop.Init();
    script.Clear();
    Leave(0);
    ASSERT_EQ(Visit(0, 0), RunEnd::RETURNED);
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_NE(script.messages[0].find("./data/shops.txt"), std::string::npos) << script.messages[0];
    EXPECT_NE(script.messages[0].find("line 2"), std::string::npos) << script.messages[0];
    EXPECT_EQ(player[1].shop.stock[0][0], 1);
    EXPECT_EQ(player[1].shop.stock[1][0], 0);  // the damaged shop keeps what it had

    std::remove(dir.path("data/shops.txt").c_str());
    player[0].shop.Init();
    player[1].shop.Init();
    ASSERT_EQ(script.messages.size(), 2u);
    EXPECT_NE(script.messages[1].find("couldn't read the shop list ./data/shops.txt"), std::string::npos);
    EXPECT_EQ(player[0].shop.stock[0][0], 1);
}

}  // namespace
