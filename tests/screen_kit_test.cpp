// The screen kit and the field loop: the yes/no and cleric menus, the quit question in the field, a box or a menu, and ticks.
#include <functional>
#include <tuple>

#include "CDisplay.h"
#include "CMain.h"
#include "CMap.h"
#include "CMenu.h"
#include "Interaction.h"
#include "PeopleRig.h"
#include "Timing.h"

namespace {

using ScreenKit = PeopleRig;

// YES first, NO second; the cleric's menu starts on "Leave"; a SPACE still held from the question answers nothing.
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

// The close button in a box or a menu asks; NO goes on where it was (a moved cursor stays), YES exits with 0.
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

// Ticks piled up behind a slow frame all run before the next frame is drawn.
TEST_F(ScreenKit, PiledUpTicksAllRunBeforeTheNextFrame) {
    map.events.resize(map.num_events = 1);
    script.Grace(0).Down(GK_M).Burst(5).ReleaseAll();  // M lists the events: one message a tick
    int frames_before = 0;
    ASSERT_EQ(Run([&] {
                  FieldPass();  // draws; its Idle makes five ticks due
                  frames_before = frame_count;
                  FieldPass();
              }),
              RunEnd::SCRIPT_END);
    EXPECT_EQ(frames_before, 1);
    EXPECT_EQ(script.messages.size(), 5u);
    EXPECT_EQ(frame_count.load(), 2);
    EXPECT_EQ(speed_counter.load(), 0);
}

// The close button or ESC asks; NO plays on, YES shuts down and exits with status 0.
TEST_F(ScreenKit, QuitQuestionIsAskedAndOnlyYesQuits) {
    script.Grace(0).AnswerAlert(1).Ticks(3);
    exit_callback();  // the close button
    EXPECT_EQ(RunField(), RunEnd::SCRIPT_END);
    EXPECT_EQ(frame_count.load(), 4);
    script.Clear().AnswerAlert(2).Down(GK_ESC).Ticks(1).ReleaseAll().Ticks(2);
    EXPECT_EQ(RunField(), RunEnd::EXITED);
    EXPECT_EQ(exit_status, 0);
    EXPECT_EQ(Display.vscreen[0], nullptr);  // Shutdown ran on the way out
    ASSERT_EQ(script.alerts.size(), 2u);
    for (const AlertRecord& a : script.alerts)
        EXPECT_EQ(std::make_tuple(a.line1, a.button1, a.button2),
                  std::make_tuple("Are you sure you want to quit?", "NO", "YES"));
}

}  // namespace
