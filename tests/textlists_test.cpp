// The NPC, item and shop list readers on awkward files, and the loaders' reports of missing or damaged lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <tuple>

#include "CMap.h"
#include "CPlayer.h"
#include "PeopleRig.h"
#include "TempDir.h"
#include "TextLists.h"

namespace {

const std::string TWO_NPCS = "1\nTobin\nSpar?\nyesno\nGood!\nCoward.\n2\n0\nAgain?\n"
                             "2\nOld man\nHello.\nnone\n\n\n0\n0\nBye.";

// Records, the default entry after a final line feed or not; carriage returns dropped, numbers
// read as far as their digits; over-long lines stop the reading at their line.
TEST(NpcList, AwkwardFilesReadAsTheGameExpects) {
    std::vector<CNpcInfo> v;
    for (auto [text, size, at, id] : {std::tuple{TWO_NPCS, 3u, 2, 1}, {TWO_NPCS + "\n", 4u, 2, 0}, {"", 2u, 1, 1}}) {
        ASSERT_TRUE(parse_npc_list(text, v).ok());
        ASSERT_EQ(v.size(), size);
        EXPECT_EQ(v[at].id, id) << size;  // 1: the default entry
    }
    ASSERT_TRUE(parse_npc_list("7x\r\nA\r\nHi there\r\nnone\r\n\r\n\r\n  -12abc\r\n\r\nDone\r\n", v).ok());
    EXPECT_EQ(v[0].id, 7);
    EXPECT_EQ(v[0].talk, "Hi there");
    EXPECT_EQ(v[0].quest_flag, -12);
    EXPECT_EQ(v[0].done_text, "Done");
    ASSERT_TRUE(parse_npc_list("1\n" + std::string(254, 'n') + "\n" + std::string(1023, 't') + "\nnone\n\n\n0\n0\nx", v).ok());
    ListReadResult r = parse_npc_list(TWO_NPCS + "\n3\n" + std::string(255, 'n') + "\n", v);
    EXPECT_EQ(r.line, 20);
    EXPECT_EQ(v.size(), 2u);  // the records before it
    EXPECT_EQ(parse_npc_list("1\nA\n" + std::string(1024, 't') + "\n", v).line, 3);
}

// A number past int is never saturated: 2147483648 as a quest mask would set every story bit.
TEST(NpcList, NumbersOutsideIntAreDamagedLinesNeverSaturated) {
    const struct { const char* text; bool ok; int value; } numbers[] = {
        {"2147483647", true, INT_MAX}, {"-2147483648", true, INT_MIN}, {" +00000000000000000007x", true, 7},
        {"", true, 0},                 {"x5", true, 0},                {"2147483648", false, 42},
        {"-2147483649", false, 42},    {"99999999999999999999", false, 42},
    };
    for (const auto& n : numbers) {
        int v = 42;
        EXPECT_EQ(parse_leading_int(n.text, v), n.ok) << n.text;
        EXPECT_EQ(v, n.value) << n.text;
    }
    // Record number, quest mask and next quest: the damaged line is named and the records before it kept.
    for (int line : {1, 7, 8}) {
        std::string rec[9] = {"3", "C", "Hi", "none", "", "", "0", "0", "Bye"}, third;
        rec[line - 1] = "2147483648";
        for (const std::string& l : rec) third += "\n" + l;
        std::vector<CNpcInfo> v;
        ListReadResult r = parse_npc_list(TWO_NPCS + third, v);
        EXPECT_EQ(r.line, 18 + line) << r.error;
        EXPECT_NE(r.error.find("2147483648"), std::string::npos) << r.error;
        EXPECT_EQ(v.size(), 2u);
    }
}

TEST(EquipList, RecordsGetIdsInOrderAndBadOnesStopWithTheLine) {
    CInv items[MAX_ITEMS];
    int n = 0;
    ASSERT_TRUE(parse_equip_list("Helm 0 0 2 10\nSword 4 3 0 25\r\nPotion 6 0 0 5", items, n).ok());
    EXPECT_EQ(n, 3);
    EXPECT_EQ(items[2].id, 3);
    EXPECT_EQ(parse_equip_list("Helm 0 0 2 10\nSword 4x 3 0 25\n", items, n).line, 2);
    EXPECT_EQ(n, 1);
    for (const std::string& bad : {std::string("Helm 0 0 2"), std::string(300, 'a') + " 0 0 0 0",
                                   std::string("Big 0 0 0 99999999999")})
        EXPECT_FALSE(parse_equip_list(bad, items, n).ok()) << bad;
    ListReadResult r = parse_equip_list("Helm 0 0 2 10\nRing 3 0 +0000000000001\n2147483648", items, n);
    EXPECT_EQ(r.line, 3);
    EXPECT_NE(r.error.find("the price of \"Ring\" is outside"), std::string::npos) << r.error;
    EXPECT_EQ(n, 1);
    EXPECT_EQ(items[1].name, "Sword");  // the damaged record is not stored
    std::string forty;
    for (int i = 0; i < 40; ++i) forty += "I" + std::to_string(i) + " 1 1 1 1\n";
    EXPECT_TRUE(parse_equip_list(forty, items, n).ok());
    EXPECT_EQ(n, MAX_ITEMS);
}

TEST(ShopList, RowsOfFiveAndADamagedShopKeepsWhatItSold) {
    int stock[MAX_SHOPS][SHOP_ITEMS] = {};
    int n = 0;
    ASSERT_TRUE(parse_shop_list("1 2 3 4 5\r\n6 7 8 9 10\n0 35", stock, n).ok());
    EXPECT_EQ(stock[1][4], 10);
    EXPECT_EQ(n, 12);
    for (const char* bad : {"36", "-1", "2147483648", "3x"}) {
        for (auto& row : stock) std::fill(row, row + SHOP_ITEMS, 9);
        ListReadResult r = parse_shop_list(std::string("1 2 3 4 5\n6 7 ") + bad + " 9 10\n11", stock, n);
        EXPECT_EQ(r.line, 2) << bad;
        EXPECT_NE(r.error.find(bad), std::string::npos) << r.error;
        EXPECT_EQ(n, 5) << bad;
        EXPECT_TRUE(stock[0][4] == 5 && stock[1][0] == 9 && stock[2][0] == 9) << bad;  // shop 1 on as it was
    }
}

// A missing list is reported once, a good read forgets that, and damage is named with the line.
using ListLoaders = PeopleRig;
TEST_F(ListLoaders, MissingOrDamagedNpcListIsReportedOnceAndKeepsTheRecords) {
    TempDir dir(TempDir::AS_GAME_FOLDER);
    write_file("data/npcs.txt", "");
    map.LoadNpcs();  // a good read forgets problems reported before
    unlink("data/npcs.txt");
    map.npc_info.assign(2, CNpcInfo());
    map.npc_info[0].name = "Held";
    map.LoadNpcs();
    map.LoadNpcs();
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(map.npc_info[0].name, "Held");
    for (const std::string& text : {TWO_NPCS, "1\n" + std::string(300, 'x') + "\n",
                                    TWO_NPCS + "\n3\nC\nHi\nnone\n\n\n2147483648\n0\nBye"}) {
        write_file("data/npcs.txt", text);
        map.LoadNpcs();
    }
    ASSERT_EQ(script.messages.size(), 3u);
    EXPECT_NE(script.messages[1].find("line 2"), std::string::npos);
    EXPECT_NE(script.messages[2].find("./data/npcs.txt"), std::string::npos);
    EXPECT_NE(script.messages[2].find("line 25"), std::string::npos) << script.messages[2];
    EXPECT_EQ(map.npc_info[0].name, "Tobin");
    EXPECT_EQ(map.npc_info.size(), 3u);  // the two records held, and the default entry
}

}  // namespace
