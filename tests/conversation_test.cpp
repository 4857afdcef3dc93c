// NPC conversations: every script keyword with its quest bit clear and set, yes and no answers, and who gets to speak.
#include <gtest/gtest.h>

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

using Said = std::vector<std::pair<std::string, std::string>>;
constexpr int PLAIN_FLAG = 0x200000;  // a quest whose script only sets its own bit

class Conversation : public PeopleRig {
protected:
    void SetUp() override {
        PeopleRig::SetUp();
        MakeMap(10, 10);
        map.npc_info.assign(3, CNpcInfo());
        PlaceNpc(32, 32);
    }
    CNpcInfo& Record(const char* script, int flag, int next = 0) {
        CNpcInfo& r = map.npc_info[0];
        r.name = "Bob";
        r.talk = "talk";
        r.script = script;
        r.yes_text = "yes";
        r.no_text = "no";
        r.done_text = "done";
        r.quest_flag = flag;
        r.quest_next = next;
        return r;
    }
    Said Converse(int presses) {
        script.said.clear();
        script.Clear();
        script.Space(presses);
        map.InteractNpcs(32, 32);
        return script.said;
    }
    static Said Words(std::initializer_list<const char*> w) {
        Said s;
        for (const char* t : w) s.push_back({"Bob", t});
        return s;
    }
};

TEST_F(Conversation, NoneSaysTalkUntilItsBitIsSet) {
    Record("none", 0x10);
    EXPECT_EQ(Converse(1), Words({"talk"}));
    quest.flags = 0x10;
    EXPECT_EQ(Converse(1), Words({"done"}));
    Record("none", 0);
    quest.flags = ~0ull;
    EXPECT_EQ(Converse(1), Words({"talk"}));
}

TEST_F(Conversation, YesNoRunsItsQuestOnYesAndAsksAgainAfterNo) {
    Record("yesno", PLAIN_FLAG);
    script.Clear();
    script.said.clear();
    script.Answer(false).Space();
    map.InteractNpcs(32, 32);
    EXPECT_EQ(script.said, Words({"talk", "no"}));
    EXPECT_EQ(quest.flags, 0u);

    script.said.clear();
    script.Clear();
    script.Answer(true).Space();
    map.InteractNpcs(32, 32);
    EXPECT_EQ(script.said, Words({"talk", "yes"}));
    EXPECT_EQ(quest.flags, (uint64_t)PLAIN_FLAG);

    EXPECT_EQ(Converse(1), Words({"done"}));
}

TEST_F(Conversation, SetCheckQuestRunsItsNextQuestOnceItsBitIsSet) {
    Record("setcheckquest", 0x2, PLAIN_FLAG);
    EXPECT_EQ(Converse(1), Words({"talk"}));
    EXPECT_EQ(quest.flags, 0u);
    quest.flags = 0x2;
    EXPECT_EQ(Converse(1), Words({"done"}));
    EXPECT_EQ(quest.flags, (uint64_t)(0x2 | PLAIN_FLAG));
}

TEST_F(Conversation, CheckQuestRunsItsQuestFirstThenTestsTheBitAgain) {
    Record("checkquest", PLAIN_FLAG);
    EXPECT_EQ(Converse(1), Words({"done"}));  // its quest set its own bit
    Record("checkquest", 0x10);               // no script sets 0x10
    quest.flags = 0;
    EXPECT_EQ(Converse(1), Words({"talk"}));
    quest.flags = 0x10;
    EXPECT_EQ(Converse(1), Words({"done"}));
}

TEST_F(Conversation, SetQuestSetsItsBitsAndAlwaysSaysTalk) {
    Record("setquest", 0x30);
    EXPECT_EQ(Converse(1), Words({"talk"}));
    EXPECT_EQ(quest.flags, 0x30u);
    EXPECT_EQ(Converse(1), Words({"talk"}));
    Record("setquest", -1);  // a negative mask reaches the high bits too
    Converse(1);
    EXPECT_EQ(quest.flags, ~0ull);
}

TEST_F(Conversation, ProcQuestRunsItsNextQuestThenSaysTalk) {
    Record("procquest", 0, PLAIN_FLAG);
    EXPECT_EQ(Converse(1), Words({"talk"}));
    EXPECT_EQ(quest.flags, (uint64_t)PLAIN_FLAG);
    quest.flags = ~0ull;
    EXPECT_EQ(Converse(1), Words({"talk"}));
}

TEST_F(Conversation, UnknownKeywordIdZeroAndIdsPastTheListSayNothing) {
    Record("None", 0);
    EXPECT_EQ(Converse(0), Said());
    Record("none", 0);
    map.npcs[0].id = 0;
    EXPECT_EQ(Converse(0), Said());
    map.npcs[0].id = 4;  // three records
    EXPECT_EQ(Converse(0), Said());
    map.npcs[0].id = -5;
    EXPECT_EQ(Converse(0), Said());
}

TEST_F(Conversation, EveryNpcAtThePointSpeaksInListOrder) {
    Record("none", 0);
    map.npc_info[1].name = "Ann";
    map.npc_info[1].script = "none";
    map.npc_info[1].talk = "hi";
    CNpc second = map.npcs[0];
    second.id = 2;
    second.x = 40;  // overlaps the point by 8 pixels
    map.npcs.push_back(second);
    CNpc far = second;
    far.x = 48;  // touches the point's square edge only
    map.npcs.push_back(far);
    map.num_npcs = 3;
    Said s = Converse(2);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].first, "Bob");
    EXPECT_EQ(s[1].first, "Ann");
}

TEST_F(Conversation, SquareTestAndNpcLookup) {
    EXPECT_FALSE(map.CheckNpcs(16, 32));  // a whole tile to the left
    EXPECT_TRUE(map.CheckNpcs(17, 32));
    EXPECT_TRUE(map.CheckNpcs(47, 47));
    EXPECT_FALSE(map.CheckNpcs(48, 32));
    EXPECT_FALSE(map.CheckNpcs(-1, 32));
    CNpc twin = map.npcs[0];
    map.npcs.push_back(twin);
    map.num_npcs = 2;
    EXPECT_EQ(map.GetNpcid(32, 32), 0);
    map.npcs[0].x = 0;
    EXPECT_EQ(map.GetNpcid(32, 32), 1);
    EXPECT_EQ(map.GetNpcid(5, 5), 0);
    map.num_npcs = 5;  // a count past the list is never followed
    EXPECT_FALSE(map.CheckNpcs(200, 200));
}

}  // namespace
