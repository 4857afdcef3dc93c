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

// The close button or ESC asks; NO plays on, YES shuts down and exits with status 0.
TEST_F(GameRig, QuitQuestionIsAskedAndOnlyYesQuits) {
    script.AnswerAlert(1).Ticks(3);
    exit_callback();  // the close button
    EXPECT_EQ(RunField(), RunEnd::SCRIPT_END);
    EXPECT_EQ(frame_count.load(), 4);
    script.Clear().AnswerAlert(2).Down(GK_ESC).Ticks(1).ReleaseAll().Ticks(2);
    EXPECT_EQ(RunField(), RunEnd::EXITED);
    EXPECT_EQ(exit_status, 0);
    EXPECT_EQ(Display.vscreen[0], nullptr);  // Shutdown ran on the way out
    ASSERT_EQ(script.alerts.size(), 2u);
    for (const AlertRecord& a : script.alerts)
        EXPECT_EQ(std::make_tuple(a.line1, a.button1, a.button2), std::make_tuple("Are you sure you want to quit?", "NO", "YES"));
}
