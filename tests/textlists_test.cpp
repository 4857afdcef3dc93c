// The NPC, item and shop list readers on awkward files, and the loaders' reports of missing or damaged lists.
#include <gtest/gtest.h>

#include "TextLists.h"
#include "CDisplay.h"
#include "CMain.h"
#include "CMap.h"
#include "CMenu.h"
#include "CPlayer.h"
#include "Interaction.h"
#include "PeopleRig.h"
#include "Quests.h"
#include "TempDir.h"
#include "Timing.h"

namespace {

const char* const TWO_NPCS =
    "1\nTobin\nSpar?\nyesno\nGood!\nCoward.\n2\n0\nAgain?\n"
    "2\nOld man\nHello.\nnone\n\n\n0\n0\nBye.";

TEST(NpcList, TwoRecordsWithoutFinalLineFeedGiveOneDefaultAfter) {
    std::vector<CNpcInfo> v;
    ASSERT_TRUE(parse_npc_list(TWO_NPCS, v).ok());
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[0].name, "Tobin");
    EXPECT_EQ(v[0].script, "yesno");
    EXPECT_EQ(v[0].quest_flag, 2);
    EXPECT_EQ(v[0].done_text, "Again?");
    EXPECT_EQ(v[1].id, 2);
    EXPECT_EQ(v[1].done_text, "Bye.");
    EXPECT_EQ(v[2].id, 1);  // the default entry
    EXPECT_TRUE(v[2].name.empty());
}

TEST(NpcList, FinalLineFeedAddsAnEmptyEntryThenTheDefault) {
    std::vector<CNpcInfo> v;
    ASSERT_TRUE(parse_npc_list(std::string(TWO_NPCS) + "\n", v).ok());
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[1].done_text, "Bye.");
    EXPECT_EQ(v[2].id, 0);
    EXPECT_TRUE(v[2].script.empty());
    EXPECT_EQ(v[3].id, 1);
}

TEST(NpcList, CarriageReturnsAreDroppedAndNumbersReadAsFarAsTheirDigits) {
    std::vector<CNpcInfo> v;
    ASSERT_TRUE(parse_npc_list("7x\r\nA\r\nHi there\r\nnone\r\n\r\n\r\n  -12abc\r\n\r\nDone\r\n", v).ok());
    EXPECT_EQ(v[0].id, 7);
    EXPECT_EQ(v[0].name, "A");
    EXPECT_EQ(v[0].talk, "Hi there");
    EXPECT_EQ(v[0].script, "none");
    EXPECT_EQ(v[0].quest_flag, -12);
    EXPECT_EQ(v[0].quest_next, 0);
    EXPECT_EQ(v[0].done_text, "Done");
    EXPECT_EQ(parse_leading_int("99999999999999999999"), INT_MAX);
    EXPECT_EQ(parse_leading_int("+"), 0);
}

TEST(NpcList, EmptyFileGivesAnEmptyEntryAndTheDefault) {
    std::vector<CNpcInfo> v;
    ASSERT_TRUE(parse_npc_list("", v).ok());
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0].id, 0);
    EXPECT_EQ(v[1].id, 1);
}

TEST(NpcList, OverLongLinesStopTheReadingAtTheirLine) {
    std::vector<CNpcInfo> v;
    std::string name254(254, 'n'), talk1023(1023, 't');
    ASSERT_TRUE(parse_npc_list("1\n" + name254 + "\n" + talk1023 + "\nnone\n\n\n0\n0\nx", v).ok());
    EXPECT_EQ(v[0].name.size(), 254u);

    std::string text = std::string(TWO_NPCS) + "\n3\n" + std::string(255, 'n') + "\n";
    ListReadResult r = parse_npc_list(text, v);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.line, 20);
    EXPECT_EQ(v.size(), 2u);  // the records before it
    r = parse_npc_list("1\nA\n" + std::string(1024, 't') + "\n", v);
    EXPECT_EQ(r.line, 3);
}

TEST(EquipList, RecordsGetIdsInOrderAndTheRestStays) {
    CInv items[MAX_ITEMS];
    items[3].name = "kept";
    int n = 0;
    ASSERT_TRUE(parse_equip_list("Helm 0 0 2 10\nSword 4 3 0 25\r\nPotion 6 0 0 5\n", items, n).ok());
    EXPECT_EQ(n, 3);
    EXPECT_EQ(items[0].id, 1);
    EXPECT_EQ(items[1].name, "Sword");
    EXPECT_EQ(items[1].damage, 3);
    EXPECT_EQ(items[2].id, 3);
    EXPECT_EQ(items[2].price, 5);
    EXPECT_EQ(items[3].name, "kept");
    // Fields may be spread over lines; no final line feed is fine.
    ASSERT_TRUE(parse_equip_list("Ring\n3\n0\n1\n40", items, n).ok());
    EXPECT_EQ(n, 1);
    EXPECT_EQ(items[0].armour, 1);
}

TEST(EquipList, BadNumbersShortRecordsAndLongNamesStopWithTheLine) {
    CInv items[MAX_ITEMS];
    int n = 0;
    ListReadResult r = parse_equip_list("Helm 0 0 2 10\nSword 4x 3 0 25\n", items, n);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.line, 2);
    EXPECT_EQ(n, 1);
    EXPECT_TRUE(items[1].name.empty());
    r = parse_equip_list("Helm 0 0 2", items, n);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(n, 0);
    r = parse_equip_list(std::string(300, 'a') + " 0 0 0 0", items, n);
    EXPECT_FALSE(r.ok());
    r = parse_equip_list("Big 0 0 0 99999999999", items, n);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(parse_equip_list("", items, n).ok());
    EXPECT_EQ(n, 0);
}

TEST(EquipList, NoMoreThanThirtyFiveRecords) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "I" + std::to_string(i) + " 1 1 1 1\n";
    CInv items[MAX_ITEMS];
    int n = 0;
    EXPECT_TRUE(parse_equip_list(text, items, n).ok());
    EXPECT_EQ(n, MAX_ITEMS);
    EXPECT_EQ(items[34].name, "I34");
}

TEST(ShopList, RowsOfFiveAndIdsOutsideTheItemListRefused) {
    int stock[MAX_SHOPS][SHOP_ITEMS] = {};
    stock[2][0] = 9;
    int n = 0;
    ASSERT_TRUE(parse_shop_list("1 2 3 4 5\r\n6 7 8 9 10\n", stock, n).ok());
    EXPECT_EQ(n, 10);
    EXPECT_EQ(stock[1][4], 10);
    EXPECT_EQ(stock[2][0], 9);  // not reached: kept
    ListReadResult r = parse_shop_list("1 2 36 4 -1 6", stock, n);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(stock[0][2], 0);
    EXPECT_EQ(stock[0][4], 0);
    EXPECT_EQ(stock[1][0], 6);
    r = parse_shop_list("1 2\n3x 4", stock, n);
    EXPECT_EQ(r.line, 2);
    EXPECT_EQ(n, 2);
}

using ListLoaders = PeopleRig;

TEST_F(ListLoaders, MissingNpcListIsReportedOnceAndKeepsTheRecords) {
    TempDir dir(TempDir::AS_GAME_FOLDER);
    write_file("data/npcs.txt", "");
    map.LoadNpcs();  // a good read forgets problems reported before
    unlink("data/npcs.txt");
    map.npc_info.assign(2, CNpcInfo());
    map.npc_info[0].name = "Held";
    map.LoadNpcs();
    map.LoadNpcs();
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_NE(script.messages[0].find("npcs.txt"), std::string::npos);
    EXPECT_EQ(map.npc_info[0].name, "Held");

    write_file("data/npcs.txt", TWO_NPCS);
    map.LoadNpcs();
    EXPECT_EQ(map.npc_info.size(), 3u);
    EXPECT_EQ(map.npc_info[0].name, "Tobin");

    write_file("data/npcs.txt", "1\n" + std::string(300, 'x') + "\n");
    map.LoadNpcs();
    ASSERT_EQ(script.messages.size(), 2u);
    EXPECT_NE(script.messages[1].find("./data/npcs.txt"), std::string::npos);
    EXPECT_NE(script.messages[1].find("line 2"), std::string::npos);
    EXPECT_EQ(map.npc_info[0].name, "Tobin");
}

TEST_F(ListLoaders, ItemListReadForBothMembersReportsItsProblemOnce) {
    TempDir dir(TempDir::AS_GAME_FOLDER);
    write_file("data/equip.txt", "");
    player[0].GetInfo();
    unlink("data/equip.txt");
    player[0].items[0].name = "Old";
    player[0].GetInfo();
    player[1].GetInfo();
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_NE(script.messages[0].find("equip.txt"), std::string::npos);
    EXPECT_EQ(player[0].items[0].name, "Old");
    write_file("data/equip.txt", "Helm 0 0 2 10\nSword four 3 0 25\n");
    player[0].GetInfo();
    ASSERT_EQ(script.messages.size(), 2u);
    EXPECT_NE(script.messages[1].find("line 2"), std::string::npos);
    EXPECT_EQ(player[0].items[0].name, "Helm");
    EXPECT_EQ(player[0].items[1].name, "item2");
}

}  // namespace
