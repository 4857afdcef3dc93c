// The screen kit: the yes/no and cleric menus, the window's close button inside a box or a menu, and the caller's ticks.
#include <functional>

#include "CMain.h"
#include "CMenu.h"
#include "Interaction.h"
#include "PeopleRig.h"
#include "Timing.h"

namespace {

using ScreenKit = PeopleRig;

// YES is the first entry and NO the second; the cleric's menu starts on "Leave" every time; a
// SPACE still held from the question box answers nothing.
TEST_F(ScreenKit, ChoiceMenusAnswerByEntryAndWaitForAFreshSpace) {
    script.Tap(GK_SPACE);
    EXPECT_TRUE(menu.Choice(screen));
    script.Tap(GK_DOWN).Tap(GK_UP).Tap(GK_DOWN).Tap(GK_SPACE);
    EXPECT_FALSE(menu.Choice(screen));
    script.Tap(GK_DOWN).Tap(GK_SPACE);
    EXPECT_FALSE(menu.ClericChoice(screen));  // "Save"
    script.Tap(GK_SPACE);
    EXPECT_TRUE(menu.ClericChoice(screen));
    script.Held(GK_SPACE).Ticks(4).Up(GK_SPACE).Tap(GK_DOWN).Tap(GK_SPACE);
    EXPECT_FALSE(menu.Choice(screen));
}

// The close button pressed while a box or a menu waits asks the quit question; NO goes on with that
// screen where it was (a cursor moved before the question stays moved), YES ends the game with status 0.
TEST_F(ScreenKit, CloseButtonInsideABoxOrAMenuAsksThenNoGoesOnAndYesEnds) {
    bool chose = false;
    const struct {
        const char* screen;
        bool menu;  // DOWN before the question
        int spaces;  // after it
        std::function<void()> open;
    } cases[] = {{"dialogue box", false, 1, [] { Talk("Tobin", "Well fought."); }},
                 {"yes/no", true, 1, [&] { chose = menu.Choice(screen); }},
                 {"trainer", true, 2, [&] { chose = menu.TrainerChoice(screen); }}};
    for (const auto& c : cases)
        for (int answer : {1, 2}) {
            script.Clear().alerts.clear();
            chose = false;
            if (c.menu) script.Tap(GK_DOWN);
            script.Ticks(2).Close().AnswerAlert(answer).Ticks(2).Space(c.spaces);
            EXPECT_EQ(Run(c.open), answer == 2 ? RunEnd::EXITED : RunEnd::RETURNED) << c.screen << answer;
            EXPECT_EQ(script.alerts.size(), 1u) << c.screen << answer;
            EXPECT_FALSE(chose) << c.screen << answer;  // NO went on: the second entry
            if (answer == 2) { EXPECT_EQ(exit_status, 0); }
        }
}

// A box opened from inside a field tick does not eat the ticks that were due to the field.
TEST_F(ScreenKit, TicksDueWhenAScreenOpensAreTheCallersAgainWhenItCloses) {
    speed_counter = 3;
    script.Space();
    Talk("", "Hello");
    EXPECT_EQ(speed_counter, 3);
}

}  // namespace
