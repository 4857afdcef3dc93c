// The service menus over a dialogue box: their answers, what they draw, and the menu pictures' report.
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

using Menus = PeopleRig;

TEST_F(Menus, ChoiceAnswersYesOnTheFirstEntryAndNoOnTheSecond) {
    script.Tap(GK_SPACE);
    EXPECT_TRUE(menu.Choice(screen));
    script.Tap(GK_DOWN).Tap(GK_UP).Tap(GK_DOWN).Tap(GK_SPACE);
    EXPECT_FALSE(menu.Choice(screen));
    EXPECT_EQ(script.forgets, 2);
    script.Tap(GK_DOWN).Tap(GK_SPACE);
    EXPECT_FALSE(menu.ClericChoice(screen));  // "Save"
    script.Tap(GK_SPACE);
    EXPECT_TRUE(menu.ClericChoice(screen));  // the cursor starts on "Leave" again
}

TEST_F(Menus, ASpaceStillHeldFromTheQuestionDoesNotAnswer) {
    key_space = 1;  // the question box just closed on this press
    script.Held(GK_SPACE).Ticks(4).Up(GK_SPACE).Tap(GK_DOWN).Tap(GK_SPACE);
    EXPECT_FALSE(menu.Choice(screen));
}

TEST_F(Menus, DrawsTheQuestionBehindTheEntries) {
    menu.choice = create_bitmap(100, 50);
    clear_to_color(menu.choice, makecol(0, 0, 255));
    rectfill(screen, 0, 470, 10, 479, makecol(0, 255, 0));  // part of the box on the screen
    script.Ticks(3).Tap(GK_SPACE);
    menu.Choice(screen);
    EXPECT_EQ(getpixel(screen, 5, 475), makecol(0, 255, 0));
    EXPECT_EQ(getpixel(screen, 420 + 2, 290 + 2), makecol(0, 0, 255));
    bool yes_drawn = false;
    for (int x = 465; x < 465 + 24; ++x)
        for (int y = 305; y < 313; ++y) yes_drawn = yes_drawn || getpixel(screen, x, y) == makecol(0, 0, 0);
    EXPECT_TRUE(yes_drawn);
    destroy_bitmap(menu.choice);
    menu.choice = nullptr;
}

TEST_F(Menus, MissingPicturesAreListedOnceForStartUp) {
    TempDir dir(TempDir::AS_GAME_FOLDER);
    menu.Init();
    EXPECT_TRUE(script.messages.empty());
    EXPECT_NE(menu.missing_pictures.find("./data/choice.bmp"), std::string::npos);
    size_t first = menu.missing_pictures.find("status.tga");
    EXPECT_EQ(menu.missing_pictures.find("status.tga", first + 1), std::string::npos);
    EXPECT_EQ(menu.choice, nullptr);
}

}  // namespace
