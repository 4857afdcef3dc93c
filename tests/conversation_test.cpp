// NPC conversations: each script keyword with its quest bit clear and set, yes and no answers, and who speaks.
#include "CMain.h"
#include "CMap.h"
#include "PeopleRig.h"
#include "Quests.h"

namespace {

constexpr int PLAIN_FLAG = 0x200000;  // a quest whose script only sets its own bit

class Conversation : public PeopleRig {
protected:
    void SetUp() override {
        PeopleRig::SetUp();
        MakeMap(10, 10);
        map.npc_info.assign(3, CNpcInfo());
        PlaceNpc(32, 32);
    }
    // Talks to Bob, whose record has `keyword`, with `answer` 0 (none), 1 (yes) or 2 (no); returns the words said.
    std::string Converse(const char* keyword, int flag, int next, int answer) {
        CNpcInfo& r = map.npc_info[0] = CNpcInfo();
        r.name = "Bob", r.script = keyword, r.talk = "talk", r.yes_text = "yes", r.no_text = "no", r.done_text = "done";
        r.quest_flag = flag, r.quest_next = next;
        script.Clear().said.clear();
        (answer ? script.Answer(answer == 1) : script).Space();
        map.InteractNpcs(32, 32);
        std::string words;
        for (auto& s : script.said) words += (words.empty() ? "" : " ") + s.second;
        return words;
    }
};

TEST_F(Conversation, KeywordsWithTheirBitClearAndSet) {
    const struct { const char* keyword; int flag, next; uint64_t before; int answer; const char* said; uint64_t after; } cases[] = {
        {"none", 0x10, 0, 0, 0, "talk", 0},
        {"none", 0x10, 0, 0x10, 0, "done", 0x10},
        {"none", 0, 0, ~0ull, 0, "talk", ~0ull},
        {"yesno", PLAIN_FLAG, 0, 0, 2, "talk no", 0},
        {"yesno", PLAIN_FLAG, 0, 0, 1, "talk yes", PLAIN_FLAG},
        {"yesno", PLAIN_FLAG, 0, PLAIN_FLAG, 0, "done", PLAIN_FLAG},
        {"setcheckquest", 0x2, PLAIN_FLAG, 0, 0, "talk", 0},
        {"setcheckquest", 0x2, PLAIN_FLAG, 0x2, 0, "done", 0x2 | PLAIN_FLAG},
        {"checkquest", PLAIN_FLAG, 0, 0, 0, "done", PLAIN_FLAG},  // its quest sets its own bit first
        {"checkquest", 0x10, 0, 0, 0, "talk", 0},
        {"setquest", 0x30, 0, 0, 0, "talk", 0x30},
        {"setquest", -1, 0, 0, 0, "talk", ~0ull},  // a negative mask reaches the high bits
        {"procquest", 0, PLAIN_FLAG, 0, 0, "talk", PLAIN_FLAG},
        {"None", 0, 0, 0, 0, "", 0},
    };
    for (const auto& c : cases) {
        quest.flags = c.before;
        EXPECT_EQ(Converse(c.keyword, c.flag, c.next, c.answer), c.said) << c.keyword << " " << c.before;
        EXPECT_EQ(quest.flags, c.after) << c.keyword << " " << c.before;
    }
    for (int id : {0, 4, -5}) {  // id 0 and ids past the list say nothing
        map.npcs[0].id = id;
        EXPECT_EQ(Converse("none", 0, 0, 0), "") << id;
    }
}

}  // namespace
