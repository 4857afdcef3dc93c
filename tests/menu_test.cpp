// The yes/no and save menus over a dialogue box.
#include <gtest/gtest.h>

#include "CMain.h"
#include "CMenu.h"
#include "PeopleRig.h"
#include "Timing.h"

namespace {

using Menus = PeopleRig;

TEST_F(Menus, ChoiceAnswersYesOnTheFirstEntryAndNoOnTheSecond) {
    script.Tap(GK_SPACE);
    EXPECT_TRUE(menu.Choice(screen));
    script.Tap(GK_DOWN).Tap(GK_UP).Tap(GK_DOWN).Tap(GK_SPACE);
    EXPECT_FALSE(menu.Choice(screen));
    script.Tap(GK_DOWN).Tap(GK_SPACE);
    EXPECT_FALSE(menu.ClericChoice(screen));  // "Save"
    script.Tap(GK_SPACE);
    EXPECT_TRUE(menu.ClericChoice(screen));  // the cursor starts on "Leave" again
}

TEST_F(Menus, ASpaceStillHeldFromTheQuestionDoesNotAnswer) {
    // The question box just closed on this press, which is still down.
    script.Held(GK_SPACE).Ticks(4).Up(GK_SPACE).Tap(GK_DOWN).Tap(GK_SPACE);
    EXPECT_FALSE(menu.Choice(screen));
}

}  // namespace
