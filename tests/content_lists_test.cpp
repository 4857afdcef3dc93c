// The shipped NPC, item and shop lists read cleanly and name only things that exist.
#include <gtest/gtest.h>

#include <set>

#include "CMap.h"
#include "MapTmx.h"
#include "TextLists.h"

namespace {

std::string ListFile(const char* name) {
    std::string here = __FILE__;
    std::string text;
    EXPECT_TRUE(read_text_file(here.substr(0, here.rfind('/')) + "/../content/lists/" + name, text)) << name;
    return text;
}

TEST(ContentLists, ItemListHasThirtyFiveItemsAndThePotionIsFour) {
    CInv items[MAX_ITEMS];
    int n = 0;
    ListReadResult r = parse_equip_list(ListFile("equip.txt"), items, n);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(n, MAX_ITEMS);
    EXPECT_EQ(items[HEALING_POTION - 1].type, IT_USABLE);
    for (const CInv& it : items) EXPECT_GE(it.price, 0) << it.name;
}

TEST(ContentLists, EveryShopSellsFiveRealItems) {
    int stock[MAX_SHOPS][SHOP_ITEMS] = {};
    int n = 0;
    ListReadResult r = parse_shop_list(ListFile("shops.txt"), stock, n);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(n, MAX_SHOPS * SHOP_ITEMS);
    for (auto& row : stock)
        for (int id : row) EXPECT_TRUE(id >= 1 && id <= MAX_ITEMS) << id;
}

TEST(ContentLists, NpcRecordsUseKnownKeywordsAndQuestsWithScripts) {
    std::vector<CNpcInfo> v;
    ListReadResult r = parse_npc_list(ListFile("npcs.txt"), v);
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_GE(v.size(), 2u);
    const std::set<std::string> keywords = {"none", "yesno", "setcheckquest", "checkquest", "setquest", "procquest"};
    const std::set<int> scripted = {0x2, 0x4, 0x8, 0x40, 0x100, 0x200, 0x400, 0x800, 0x4000, 0x8000,
                                    0x10000, 0x20000, 0x100000, 0x200000, 0x400000};
    for (size_t i = 0; i + 1 < v.size(); ++i) {
        const CNpcInfo& n = v[i];
        EXPECT_EQ(n.id, (int)i + 1) << "record numbers follow the order";
        EXPECT_TRUE(keywords.count(n.script)) << n.name << ": " << n.script;
        if (n.script == "procquest" || n.script == "setcheckquest") {
            EXPECT_TRUE(scripted.count(n.quest_next)) << n.name;
        }
        if (n.script == "yesno" || n.script == "checkquest") {
            EXPECT_TRUE(scripted.count(n.quest_flag)) << n.name;
        }
    }
    EXPECT_EQ(v.back().id, 1);  // the default entry after the records, and no empty one
    EXPECT_FALSE(v[v.size() - 2].name.empty());
}

// The home map's people are the home's own: the opening's elder first (row 3), Tobin and the
// wise old man with their quests, and only records that belong to Duskwing.
TEST(ContentLists, HomeMapPeopleMatchTheirRecords) {
    CMap m;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(tmx_to_map(std::string(MAPS_CONTENT_DIR) + "/duskwing.tmx", m, error, warnings)) << error;
    std::vector<CNpcInfo> v;
    ASSERT_TRUE(parse_npc_list(ListFile("npcs.txt"), v).ok());
    ASSERT_GE(m.npcs.size(), 3u);
    EXPECT_EQ(m.npcs[0].sprite, 3);
    EXPECT_EQ(v[m.npcs[0].id - 1].name, "House Elder");
    const std::set<std::string> home = {"House Elder", "Tobin", "Wise old man", "Villager", "Shopkeeper", "Child"};
    std::set<std::string> met;
    for (const CNpc& n : m.npcs) {
        ASSERT_TRUE(n.id >= 1 && (size_t)n.id < v.size()) << n.id;
        const CNpcInfo& r = v[n.id - 1];
        EXPECT_TRUE(home.count(r.name)) << r.name << " does not live in Duskwing";
        met.insert(r.name);
        if (r.name == "Tobin") {
            EXPECT_TRUE(r.script == "yesno" && r.quest_flag == 0x2);
        }
        if (r.name == "Wise old man") {
            EXPECT_TRUE(r.script == "setcheckquest" && r.quest_flag == 0x2 && r.quest_next == 0x4);
        }
    }
    EXPECT_TRUE(met.count("Tobin") && met.count("Wise old man"));
}

// The end-to-end talk test walks right from the hero's start to a villager who never wanders:
// no walkway next to him, and nothing blocking the way.
TEST(ContentLists, HomeMapHasAStandingVillagerRightOfTheStart) {
    CMap m;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(tmx_to_map(std::string(MAPS_CONTENT_DIR) + "/duskwing.tmx", m, error, warnings)) << error;
    const int row = m.p0_y;
    const CNpc* villager = nullptr;
    for (const CNpc& n : m.npcs)
        if ((int)n.y == row * 16 && (int)n.x > m.p0_x * 16 && (int)n.x <= (m.p0_x + 4) * 16 && n.sprite != 3)
            villager = &n;
    ASSERT_NE(villager, nullptr);
    const int col = (int)villager->x / 16;
    EXPECT_EQ(villager->x % 16, 0u);
    for (int c = m.p0_x; c <= col; ++c) EXPECT_FALSE(m.tiles[0][row][c].flags & TF_BLOCKED) << c;
    for (auto d : {std::make_pair(-1, 0), std::make_pair(1, 0), std::make_pair(0, -1), std::make_pair(0, 1)})
        EXPECT_FALSE(m.tiles[0][row + d.second][col + d.first].flags & TF_WALKWAY) << d.first << "," << d.second;
}

}  // namespace
