// The field loop, the key counters, the display pages and the quit question, run on scripted keys and ticks.
#include <gtest/gtest.h>


#include <cstdlib>
#include <string>
#include <vector>

#include "CDisplay.h"
#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "ScriptHost.h"
#include "TempDir.h"
#include "Timing.h"

// ---------------------------------------------------------------- key counters and ticks

TEST_F(GameRig, KeyCounterCountsHeldTicksAndDropsToZeroOnRelease) {
    script.Hold(GK_SPACE, 100).Ticks(1);
    std::vector<int> seen;
    int counter = 0;
    int fired = 0;
    RunUntilScriptEnd([&] {
        for (;;) {
            host->Idle();
            update_key(GK_SPACE, &counter);
            seen.push_back(counter);
            if (counter == 1) ++fired;
        }
    });
    ASSERT_EQ(seen.size(), 101u);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(seen[i], i + 1);
    EXPECT_EQ(seen[100], 0);
    EXPECT_EQ(fired, 1);
}

TEST_F(GameRig, ForgottenKeysReadUpUntilPressedAgain) {
    script.Down(GK_RIGHT).Ticks(1).Ticks(1).Up(GK_RIGHT).Ticks(1).Down(GK_RIGHT).Ticks(1);
    std::vector<bool> seen;
    RunUntilScriptEnd([&] {
        host->Idle();
        seen.push_back(host->KeyDown(GK_RIGHT));
        host->ForgetKeys();
        for (;;) {
            host->Idle();
            seen.push_back(host->KeyDown(GK_RIGHT));
        }
    });
    EXPECT_EQ(seen, (std::vector<bool>{true, false, false, true}));
}

TEST_F(GameRig, ReadKeyWaitsForTheNextPressedKey) {
    script.Ticks(3).Press(GK_ENTER).Press(GK_SPACE);
    int first = 0, second = 0;
    Run([&] {
        first = host->ReadKey();
        second = host->ReadKey();
    });
    EXPECT_EQ(first, GK_ENTER << 8 | '\r');
    EXPECT_EQ(second, GK_SPACE << 8 | ' ');
    EXPECT_EQ(script.ticks_run, 5);  // three idle ticks, then the ticks of ENTER and of SPACE
}

TEST_F(GameRig, FpsShowsTheFramesOfTheLastWholeSecond) {
    script.Ticks(59);
    RunField();
    EXPECT_EQ(fps.load(), 0);  // during the first second
    script.Ticks(61);
    RunField();
    // One frame per tick: 60 frames a second, and 0 before the first second was over.
    EXPECT_EQ(fps.load(), 60);
    EXPECT_EQ(script.ticks_run, 120);
}

TEST_F(GameRig, SetTimersStartsTheClockAndZeroesTheFrameCounters) {
    fps = 12;
    frame_count = 7;
    SetTimers();
    SetTimers(30);
    SetTimers(0);  // a bad rate falls back to 60 instead of dividing by zero
    EXPECT_EQ(script.timer_rates, (std::vector<int>{60, 30, 60}));
    EXPECT_EQ(fps.load(), 0);
    EXPECT_EQ(frame_count.load(), 0);
}

TEST_F(GameRig, PiledUpTicksAllRunBeforeTheNextFrame) {
    map.events.resize(1);
    map.num_events = 1;
    script.Down(GK_M).Burst(5).ReleaseAll();
    int frames_before = 0;
    ASSERT_EQ(Run([&] {
                  FieldPass();  // nothing due yet: draws, then the Idle makes five ticks due
                  frames_before = frame_count;
                  FieldPass();  // runs the five, draws, and its Idle ends the script
              }),
              RunEnd::SCRIPT_END);
    EXPECT_EQ(frames_before, 1);
    EXPECT_EQ(script.messages.size(), 5u);  // the M listing ran in each of the five ticks...
    EXPECT_EQ(frame_count.load(), 2);       // ...inside a single pass that drew one frame
    EXPECT_EQ(speed_counter.load(), 0);
}

TEST_F(GameRig, HeroFrameTogglesOnlyOnTheLastPendingTick) {
    App.timer = 30;  // the NPC wander advances it; here it stands still
    script.Burst(3).Ticks(2);
    int frames[2] = {-1, -1};
    Run([&] {
        FieldPass();  // draws; its Idle makes three ticks due
        FieldPass();  // three ticks: only the last one toggles
        frames[0] = player[0].frame;
        FieldPass();  // one tick: toggles back
        frames[1] = player[0].frame;
    });
    EXPECT_EQ(frames[0], 1);
    EXPECT_EQ(frames[1], 0);
}

TEST_F(GameRig, HeroFrameStaysWhileTheAnimationTimerIsLow) {
    App.timer = 29;
    script.Ticks(10);
    RunField();
    EXPECT_EQ(player[0].frame, 0);
}

// ---------------------------------------------------------------- pages and the frame

TEST_F(GameRig, FieldFramesAlternateThePages) {
    std::vector<BITMAP*> pages;
    script.Ticks(4);
    RunUntilScriptEnd([&] {
        for (;;) {
            pages.push_back(Display.GetSurface());
            FieldPass();
        }
    });
    ASSERT_EQ(pages.size(), 5u);
    EXPECT_NE(pages[0], pages[1]);
    for (size_t i = 2; i < pages.size(); ++i) EXPECT_EQ(pages[i], pages[i - 2]);
    EXPECT_TRUE(pages[0] == Display.vscreen[0] || pages[0] == Display.vscreen[1]);
}

TEST_F(GameRig, OtherScreensKeepDrawingOnTheSamePage) {
    BITMAP* page = Display.GetSurface();
    Display.ShowPageKeep();
    Display.ShowPageKeep();
    EXPECT_EQ(Display.GetSurface(), page);
}

TEST_F(GameRig, StatusLineIsRedTextAtTheTopLeftOfTheShownScreen) {
    map.num_portals = 3;
    fps = 42;
    script.Ticks(1);
    Run([] { FieldPass(); });

    // The same text drawn by hand is the reference.
    BITMAP* expect = create_bitmap_ex(GAME_DEPTH, GAME_W, GAME_H);
    clear_bitmap(expect);
    textprintf_ex(expect, font, 0, 0, makecol16(255, 0, 0), -1, "%d fps %d", 3, 42);
    int red_pixels = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 120; ++x) {
            ASSERT_EQ(ScreenPixel(x, y), getpixel(expect, x, y)) << "at " << x << "," << y;
            if (ScreenPixel(x, y) == makecol16(255, 0, 0)) ++red_pixels;
        }
    destroy_bitmap(expect);
    EXPECT_GT(red_pixels, 20);
    // The page just shown was cleared for its next use.
    BITMAP* shown_page = Display.GetSurface() == Display.vscreen[0] ? Display.vscreen[1] : Display.vscreen[0];
    EXPECT_EQ(getpixel(shown_page, 1, 1), 0);
    EXPECT_EQ(getpixel(shown_page, 10, 3), 0);
}

// ---------------------------------------------------------------- the quit question

TEST_F(GameRig, EscAsksToQuitAndNoGoesOnWithTheSameTick) {
    player[0].x = 100;
    player[1].x = 7;  // the companion takes the hero's x when an arrow key is read
    script.AnswerAlert(1).Down(GK_ESC).Down(GK_RIGHT).Ticks(1).ReleaseAll().Ticks(2);
    EXPECT_EQ(RunField(), RunEnd::SCRIPT_END);

    ASSERT_EQ(script.alerts.size(), 1u);
    const AlertRecord& a = script.alerts[0];
    EXPECT_EQ(a.line1, "Are you sure you want to quit?");
    EXPECT_EQ(a.line2, "");
    EXPECT_EQ(a.line3, "");
    EXPECT_EQ(a.button1, "NO");
    EXPECT_EQ(a.button2, "YES");
    EXPECT_EQ(player[1].x, player[0].x);  // RIGHT was read in the tick that asked
    EXPECT_EQ(frame_count.load(), 4);     // and the game played on
}

TEST_F(GameRig, EscYesEndsTheGameWithStatusZeroThroughShutdown) {
    script.AnswerAlert(2).Down(GK_ESC).Ticks(1).ReleaseAll().Ticks(5);
    EXPECT_EQ(RunField(), RunEnd::EXITED);
    EXPECT_EQ(exit_status, 0);
    EXPECT_EQ(Display.vscreen[0], nullptr);  // Shutdown destroyed its page on the way out
    EXPECT_EQ(script.ticks_run, 1);
}

TEST_F(GameRig, HoldingEscAsksEveryTickUntilReleased) {
    script.AnswerAlert(1).AnswerAlert(1).AnswerAlert(1).Hold(GK_ESC, 3).Ticks(2);
    EXPECT_EQ(RunField(), RunEnd::SCRIPT_END);
    EXPECT_EQ(script.alerts.size(), 3u);
}

TEST_F(GameRig, CloseButtonAsksTheSameQuestionAndNoKeepsPlaying) {
    script.AnswerAlert(1).Ticks(3);
    exit_callback();
    EXPECT_EQ(RunField(), RunEnd::SCRIPT_END);
    ASSERT_EQ(script.alerts.size(), 1u);
    EXPECT_EQ(script.alerts[0].line1, "Are you sure you want to quit?");
    EXPECT_EQ(script.alerts[0].button2, "YES");
    EXPECT_FALSE(App.done);
    EXPECT_EQ(frame_count.load(), 4);
}

TEST_F(GameRig, CloseButtonYesEndsWithStatusZero) {
    script.AnswerAlert(2).Ticks(3);
    exit_callback();
    EXPECT_EQ(RunField(), RunEnd::EXITED);
    EXPECT_EQ(exit_status, 0);
    EXPECT_EQ(frame_count.load(), 0);  // asked at the top of the first pass, before drawing
}

// ---------------------------------------------------------------- walking through the loop

// An open 20 x 20 map with the party at (64, 64).
static void open_field() {
    map.InitMap(20, 20, 16, 16, 3);
    player[0].x = player[1].x = 64;
    player[0].y = player[1].y = 64;
}

TEST_F(GameRig, HoldingRightWalksOnePixelATickAndTheCompanionFollows) {
    open_field();
    script.Hold(GK_RIGHT, 16).Ticks(5);
    RunField();
    EXPECT_EQ(player[0].x, 80u);
    EXPECT_EQ(player[0].y, 64u);
    EXPECT_EQ(player[0].facing, 3);
    EXPECT_EQ(player[1].x, 80u);
}

TEST_F(GameRig, RightAndUpTogetherMoveBothWaysInTheSameTick) {
    open_field();
    script.Down(GK_RIGHT).Down(GK_UP).Ticks(1).ReleaseAll();
    RunField();
    EXPECT_EQ(player[0].x, 65u);
    EXPECT_EQ(player[0].y, 63u);
    EXPECT_EQ(player[1].x, 65u);
    EXPECT_EQ(player[1].y, 63u);
}

// ---------------------------------------------------------------- the M listing

TEST_F(GameRig, MListsEveryEventOncePerTickWhileHeld) {
    map.events.resize(2);
    map.events[0].x = 1;
    map.events[0].y = 2;
    map.events[0].type = EV_OBJECT;
    map.events[1].x = 30;
    map.events[1].y = 4;
    map.events[1].type = EV_TALK | EV_CHEST;
    map.num_events = 2;
    script.Hold(GK_M, 2).Ticks(1);
    RunField();
    EXPECT_EQ(script.messages, (std::vector<std::string>{
                                   " num  0 ::: 1 2 8 (Imax 2)",
                                   " num  1 ::: 30 4 129 (Imax 2)",
                                   " num  0 ::: 1 2 8 (Imax 2)",
                                   " num  1 ::: 30 4 129 (Imax 2)",
                               }));
}

TEST_F(GameRig, MListingStopsAtTheEndOfTheListWhenTheCountIsWrong) {
    map.events.resize(1);
    map.num_events = 5;  // a damaged count must not read past the list
    script.Press(GK_M);
    RunField();
    EXPECT_EQ(script.messages.size(), 1u);
}

// ---------------------------------------------------------------- start-up without content

TEST_F(GameRig, StartUpWithNoDataNamesTheMissingFilesOnceAndGoesOn) {
    player[0].x = 80;
    player[0].y = 96;
    {
        TempDir empty(TempDir::AS_GAME_FOLDER);  // data/ holds nothing
        StartUp();
    }

    EXPECT_EQ(player[1].name, "Miresa");
    EXPECT_EQ(player[1].x, 80u);
    EXPECT_EQ(player[1].y, 96u);
    ASSERT_GE(script.messages.size(), 1u);
    const std::string& m = script.messages.back();
    EXPECT_NE(m.find("./data/text.bmp"), std::string::npos);
    EXPECT_NE(m.find("./data/character2.bmp"), std::string::npos);
    EXPECT_NE(m.find("./data/music/confirm.wav"), std::string::npos);
    EXPECT_NE(m.find("./data/music/tribalbeat.mid"), std::string::npos);

    // And the field loop runs on with nothing loaded.
    script.Hold(GK_RIGHT, 10).Press(GK_SPACE).Press(GK_LCONTROL).Ticks(5);
    EXPECT_EQ(RunField(), RunEnd::SCRIPT_END);
}
