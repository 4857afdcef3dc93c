// The field loop on scripted keys and ticks: piled-up ticks, the quit question and walking.
#include <gtest/gtest.h>

#include "CDisplay.h"
#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "ScriptHost.h"
#include "Timing.h"

TEST_F(GameRig, PiledUpTicksAllRunBeforeTheNextFrame) {
    map.events.resize(1);
    map.num_events = 1;
    script.Down(GK_M).Burst(5).ReleaseAll();
    int frames_before = 0;
    ASSERT_EQ(Run([&] {
                  FieldPass();  // draws; its Idle makes five ticks due
                  frames_before = frame_count;
                  FieldPass();  // runs the five in one pass
              }),
              RunEnd::SCRIPT_END);
    EXPECT_EQ(frames_before, 1);
    EXPECT_EQ(script.messages.size(), 5u);
    EXPECT_EQ(frame_count.load(), 2);
    EXPECT_EQ(speed_counter.load(), 0);
}

// ESC or the close button asks; NO (1) plays on, YES (2) exits with status 0.
class QuitQuestion : public GameRig {
protected:
    RunEnd Ask(bool close_button, int answer) {
        script.AnswerAlert(answer);
        if (close_button) {
            script.Ticks(3);
            exit_callback();
        } else {
            script.Down(GK_ESC).Ticks(1).ReleaseAll().Ticks(2);
        }
        RunEnd end = RunField();
        EXPECT_EQ(script.alerts.size(), 1u);
        if (!script.alerts.empty()) {
            EXPECT_EQ(script.alerts[0].line1, "Are you sure you want to quit?");
            EXPECT_EQ(script.alerts[0].button1, "NO");
            EXPECT_EQ(script.alerts[0].button2, "YES");
        }
        return end;
    }
};

TEST_F(QuitQuestion, EscNoPlaysOn) {
    EXPECT_EQ(Ask(false, 1), RunEnd::SCRIPT_END);
    EXPECT_EQ(frame_count.load(), 4);
}

TEST_F(QuitQuestion, CloseButtonNoPlaysOn) {
    EXPECT_EQ(Ask(true, 1), RunEnd::SCRIPT_END);
    EXPECT_FALSE(App.done);
    EXPECT_EQ(frame_count.load(), 4);
}

TEST_F(QuitQuestion, EscYesExitsWithStatusZero) {
    EXPECT_EQ(Ask(false, 2), RunEnd::EXITED);
    EXPECT_EQ(exit_status, 0);
    EXPECT_EQ(Display.vscreen[0], nullptr);  // Shutdown ran on the way out
}

TEST_F(QuitQuestion, CloseButtonYesExitsWithStatusZero) {
    EXPECT_EQ(Ask(true, 2), RunEnd::EXITED);
    EXPECT_EQ(exit_status, 0);
    EXPECT_EQ(frame_count.load(), 0);
}

TEST_F(GameRig, ArrowKeysWalkOnePixelATickAndTheCompanionFollows) {
    map.InitMap(20, 20, 16, 16, 3);
    player[0].x = player[1].x = 64;
    player[0].y = player[1].y = 64;
    script.Hold(GK_RIGHT, 16).Down(GK_RIGHT).Down(GK_UP).Ticks(1).ReleaseAll().Ticks(5);
    RunField();
    EXPECT_EQ(player[0].x, 81u);
    EXPECT_EQ(player[0].y, 63u);
    EXPECT_EQ(player[1].x, 81u);
    EXPECT_EQ(player[1].y, 63u);
}
