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

// The close button pressed while a box or a menu waits asks the quit question; NO goes on with
// that screen where it was (a cursor moved before the question stays moved), YES ends the game
// with status 0.
TEST_F(ScreenKit, CloseButtonInsideABoxOrAMenuAsksThenNoGoesOnAndYesEnds) {
    bool chose = false;
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
            SCOPED_TRACE(::testing::Message() << c.screen << ", answer " << answer);
            script.Clear().alerts.clear();
            chose = false;
            c.before(script);
            script.Ticks(2).Close().AnswerAlert(answer).Ticks(2);
            c.after(script);
            EXPECT_EQ(Run(c.open), answer == 2 ? RunEnd::EXITED : RunEnd::RETURNED);
            EXPECT_EQ(script.alerts.size(), 1u);
            if (answer == 2) { EXPECT_EQ(exit_status, 0); }
            EXPECT_FALSE(chose);  // NO went on: the second entry
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
