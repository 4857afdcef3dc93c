// The shipped NPC, item and shop lists read cleanly and name only things that exist.
#include <gtest/gtest.h>

#include <set>

#include "CMap.h"
#include "StoryFacts.h"
#include "TextLists.h"

namespace {

std::string ListFile(const char* name) {
    std::string here = __FILE__;
    std::string text;
    EXPECT_TRUE(read_text_file(here.substr(0, here.rfind('/')) + "/../content/lists/" + name, text)) << name;
    return text;
}

TEST(ContentLists, ItemAndShopListsReadAndShopsSellRealItems) {
    CInv items[MAX_ITEMS];
    int n = 0;
    ListReadResult r = parse_equip_list(ListFile("equip.txt"), items, n);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(items[HEALING_POTION - 1].type, IT_USABLE);
    int stock[MAX_SHOPS][SHOP_ITEMS] = {};
    r = parse_shop_list(ListFile("shops.txt"), stock, n);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(n, MAX_SHOPS * SHOP_ITEMS);
    for (auto& row : stock)
        for (int id : row) EXPECT_TRUE(id >= 1 && id <= MAX_ITEMS) << id;
}

TEST(ContentLists, NpcRecordsUseKnownKeywordsAndQuestsWithScripts) {
    std::vector<CNpcInfo> v;
    ListReadResult r = parse_npc_list(ListFile("npcs.txt"), v);
    ASSERT_TRUE(r.ok()) << r.error;
    const std::set<std::string> keywords = {"none", "yesno", "setcheckquest", "checkquest", "setquest", "procquest"};
    const std::set<int>& scripted = scripted_quests();
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
}

}  // namespace
