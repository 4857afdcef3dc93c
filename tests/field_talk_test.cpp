// Talking to an NPC from the real field loop: SPACE opens its box over the field, a fresh SPACE dismisses it.
#include <gtest/gtest.h>

#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "Grid.h"
#include "Interaction.h"
#include "PeopleRig.h"
#include "Timing.h"

namespace {

class FieldTalk : public PeopleRig {
protected:
    void SetUp() override {
        PeopleRig::SetUp();
        script.Grace(0);  // the field loop runs until the script ends
        MakeMap(10, 10);
        PlaceNpc(80, 64).dir = 7;  // stands still
        Talker(1, "Bob", "Nice day.");
        player[0].x = player[1].x = 64;
        player[0].y = player[1].y = 64;
        player[0].facing = DIR_RIGHT;
    }
};

TEST_F(FieldTalk, SpaceFacingAnNpcShowsItsBoxUntilAFreshSpace) {
    script.Ticks(2).Press(GK_SPACE).Ticks(5);
    EXPECT_EQ(RunField(), RunEnd::SCRIPT_END);  // the box still waits
    ASSERT_EQ(script.said.size(), 1u);
    EXPECT_EQ(ScreenPixel(5, 475), makecol16(192, 192, 192));
}

TEST_F(FieldTalk, TheBoxClosesAndTheFieldGoesOn) {
    script.Ticks(2).Press(GK_SPACE).Ticks(3).Press(GK_SPACE).Ticks(3);
    EXPECT_EQ(RunField(), RunEnd::SCRIPT_END);
    EXPECT_EQ(script.said.size(), 1u);
    EXPECT_NE(ScreenPixel(5, 475), makecol16(192, 192, 192));  // the field was drawn over it
}

}  // namespace
