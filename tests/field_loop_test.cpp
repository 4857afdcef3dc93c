// The field loop on scripted keys and ticks: piled-up ticks and the quit question.
#include <tuple>

#include "CDisplay.h"
#include "CMain.h"
#include "CMap.h"
#include "ScriptHost.h"
#include "Timing.h"

// Ticks piled up behind a slow frame all run before the next frame is drawn.
TEST_F(GameRig, PiledUpTicksAllRunBeforeTheNextFrame) {
    map.events.resize(map.num_events = 1);
    script.Down(GK_M).Burst(5).ReleaseAll();  // M lists the events: one message a tick
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

// ESC or the window's close button (the first value) asks; NO (1) plays on, YES (2) exits with status 0.
class QuitQuestion : public GameRig, public ::testing::WithParamInterface<std::tuple<bool, int>> {};

TEST_P(QuitQuestion, IsAskedAndOnlyYesQuits) {
    const auto [close_button, answer] = GetParam();
    script.AnswerAlert(answer);
    if (close_button) {
        script.Ticks(3);
        exit_callback();
    } else {
        script.Down(GK_ESC).Ticks(1).ReleaseAll().Ticks(2);
    }
    const RunEnd end = RunField();
    ASSERT_EQ(script.alerts.size(), 1u);
    EXPECT_EQ(script.alerts[0].line1, "Are you sure you want to quit?");
    EXPECT_EQ(script.alerts[0].button1, "NO");
    EXPECT_EQ(script.alerts[0].button2, "YES");
    EXPECT_EQ(end, answer == 2 ? RunEnd::EXITED : RunEnd::SCRIPT_END);
    EXPECT_EQ(exit_status, answer == 2 ? 0 : -1);
    EXPECT_EQ(Display.vscreen[0] == nullptr, answer == 2);  // Shutdown ran on the way out
    if (answer == 1) { EXPECT_EQ(frame_count.load(), 4); }  // NO played on
}

INSTANTIATE_TEST_SUITE_P(Field, QuitQuestion, ::testing::Combine(::testing::Bool(), ::testing::Values(1, 2)));
