// The screen kit: the yes/no and cleric menus, the window's close button inside a box or a menu, and the caller's ticks.
#include <gtest/gtest.h>

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

// The close button pressed while a box or a menu waits asks the quit question; NO goes on with
// that screen where it was (a cursor moved before the question stays moved), YES ends the game
// with status 0.
TEST_F(ScreenKit, CloseButtonInsideABoxOrAMenuAsksThenNoGoesOnAndYesEnds) {
    bool chose = true;
    struct Case {
        const char* screen;
        std::function<void(CScriptHost&)> before, after;  // keys around the question
        std::function<void()> open;
    } cases[] = {
        {"dialogue box", [](CScriptHost&) {}, [](CScriptHost& s) { s.Space(); }, [] { Talk("Tobin", "Well fought."); }},
        {"yes/no", [](CScriptHost& s) { s.Tap(GK_DOWN); }, [](CScriptHost& s) { s.Space(); },
         [&] { chose = menu.Choice(screen); }},
        {"trainer", [](CScriptHost& s) { s.Tap(GK_DOWN); }, [](CScriptHost& s) { s.Space(2); },
         [&] { chose = menu.TrainerChoice(screen); }},
    };
    for (const Case& c : cases)
        for (int answer : {1, 2}) {
            script.Clear();
            script.alerts.clear();
            chose = true;
            c.before(script);
            script.Ticks(2).Close().AnswerAlert(answer).Ticks(2);
            c.after(script);
            const RunEnd end = Run(c.open);
            ASSERT_EQ(script.alerts.size(), 1u) << c.screen;
            EXPECT_EQ(script.alerts[0].line1, "Are you sure you want to quit?");
            EXPECT_EQ(script.alerts[0].button2, "YES");
            if (answer == 2) {
                EXPECT_EQ(end, RunEnd::EXITED) << c.screen;
                EXPECT_EQ(exit_status, 0) << c.screen;
            } else {
                EXPECT_EQ(end, RunEnd::RETURNED) << c.screen;
                EXPECT_FALSE(App.done);
                if (c.screen != std::string("dialogue box")) {
                    EXPECT_FALSE(chose) << c.screen;  // the second entry
                }
            }
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
