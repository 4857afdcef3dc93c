// Talking to an NPC from the real field loop: SPACE opens its box over the field, a fresh SPACE dismisses it.
#include <gtest/gtest.h>

#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "Interaction.h"
#include "ScriptHost.h"
#include "Timing.h"

namespace {

std::vector<std::string> words;
void keep_words(const std::string&, const std::string& msg) { words.push_back(msg); }

class FieldTalk : public GameRig {
protected:
    void SetUp() override {
        GameRig::SetUp();
        words.clear();
        talk_watch = keep_words;
        text_box = create_bitmap(640, 80);
        clear_to_color(text_box, makecol(192, 192, 192));
        map.width = map.height = 10;
        map.layers = 2;
        map.tiles.assign(2, std::vector<std::vector<CTile>>(10, std::vector<CTile>(10)));
        CNpc n;
        n.x = 80;
        n.y = 64;
        n.id = 1;
        n.dir = 7;  // stands still
        map.npcs.push_back(n);
        map.num_npcs = 1;
        map.npc_info.assign(2, CNpcInfo());
        map.npc_info[0].name = "Bob";
        map.npc_info[0].script = "none";
        map.npc_info[0].talk = "Nice day.";
        player[0].x = player[1].x = 64;
        player[0].y = player[1].y = 64;
        player[0].facing = 3;
    }
    void TearDown() override {
        talk_watch = nullptr;
        destroy_bitmap(text_box);
        text_box = nullptr;
        GameRig::TearDown();
    }
};

TEST_F(FieldTalk, SpaceFacingAnNpcShowsItsBoxUntilAFreshSpace) {
    script.Ticks(2).Press(GK_SPACE).Ticks(5);
    EXPECT_EQ(RunField(), RunEnd::SCRIPT_END);  // the box still waits
    ASSERT_EQ(words, std::vector<std::string>{"Nice day."});
    EXPECT_EQ(ScreenPixel(5, 475), makecol16(192, 192, 192));
    bool text = false;
    for (int x = 30; x < 30 + 9 * 8; ++x)
        for (int y = 415; y < 423; ++y) text = text || ScreenPixel(x, y) == makecol16(0, 0, 0);
    EXPECT_TRUE(text);
}

TEST_F(FieldTalk, TheBoxClosesAndTheFieldGoesOn) {
    script.Ticks(2).Press(GK_SPACE).Ticks(3).Press(GK_SPACE).Ticks(3);
    EXPECT_EQ(RunField(), RunEnd::SCRIPT_END);
    EXPECT_EQ(words.size(), 1u);
    EXPECT_NE(ScreenPixel(5, 475), makecol16(192, 192, 192));  // the field was drawn over it
}

}  // namespace
