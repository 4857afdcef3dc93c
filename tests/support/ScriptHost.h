// The scripted test host and the GameRig fixture: run the game's real loops on scripted keys and ticks.
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Host.h"

// Thrown when a loop asks for a tick, key or alert answer after the script is used up.
struct ScriptEnd {};
// Thrown by Exit: the game asked to end the process with this status.
struct ProcessExit {
    int status;
};

struct AlertRecord {
    std::string line1, line2, line3, button1, button2;
};

// A host whose keys and logic ticks follow a script. Each Idle() applies the key changes up to
// the next tick, then hands that tick out, so the logic tick reads exactly the keys set before
// it; fps_proc() runs every 60 ticks. Steps chain:
//   host.Down(GK_UP).Ticks(3).ReleaseAll();
class CScriptHost : public CHost {
public:
    CScriptHost& Press(int scancode);             // down for one tick, then up
    CScriptHost& Hold(int scancode, int ticks);   // down for this many ticks, then up
    CScriptHost& Down(int scancode);
    CScriptHost& Up(int scancode);
    CScriptHost& ReleaseAll();
    CScriptHost& Ticks(int n);                    // n ticks, one per Idle()
    CScriptHost& Burst(int n);                    // one Idle() making n ticks due, as after a blocking call
    CScriptHost& AnswerAlert(int button);         // the next alert box answers 1 or 2
    CScriptHost& Held(int scancode);              // already down when the code starts
    // One tick as the keys stand, the key down two ticks, up one: boxes waiting for a fresh press see one.
    CScriptHost& Tap(int scancode);
    CScriptHost& Space(int n = 1);                // n taps of SPACE
    CScriptHost& Answer(bool yes);                // SPACE, then "Yes" or "No" in the choice menu
    CScriptHost& Close();                         // the window's close button, pressed before the next tick
    CScriptHost& Grace(int n);                    // n keyless ticks after the script before ScriptEnd
    CScriptHost& Clear();                         // drops the rest of the script and lets every key go

    std::vector<AlertRecord> alerts;
    std::vector<std::string> messages;
    int ticks_run = 0;
    int forgets = 0;   // ForgetKeys() calls
    int flushes = 0;   // FlushKeyBuffer() calls
    std::vector<std::pair<std::string, std::string>> said;  // dialogue boxes as (speaker, words)
    std::vector<int> timer_rates;                           // StartTimers rates
    std::vector<std::string> songs;  // what the playlist asked the music to do: "play N", "loop N", "stop"
    bool song_on = false;            // the song asked for last is heard; a test clears it to end the song
    std::function<void()> each_idle;  // called at every Idle(): a test's look at the screen while a loop waits

    bool KeyDown(int scancode) override;
    void Idle() override;
    void ForgetKeys() override;
    void FlushKeyBuffer() override;
    int ReadKey() override;
    void Pause(int) override {}
    void Message(const std::string& text) override;
    int Alert(const std::string& line1, const std::string& line2, const std::string& line3,
              const std::string& button1, const std::string& button2) override;
    [[noreturn]] void Exit(int status) override;
    void StartTimers(int bps) override;
    void PlaySong(int n, bool looped) override;
    void StopSong() override;
    bool SongPlaying() override { return song_on; }

private:
    enum StepKind { KEY_DOWN, KEY_UP, RELEASE_ALL, CLOSE, TICK };
    struct Step {
        StepKind kind;
        int value;  // scancode, or the number of ticks of a TICK step
    };
    std::deque<Step> steps_;
    std::set<int> down_;
    std::set<int> forgotten_;   // held keys the game was told to forget
    std::deque<int> typed_;     // for ReadKey: scancode << 8 | ASCII
    std::deque<int> answers_;
    int grace_ = 0;

    void ApplyKeyChanges();
};

enum class RunEnd { RETURNED, SCRIPT_END, EXITED };

// Before each test: a 640 x 480 16-bit memory screen, fresh pages, `script` as the host, the
// rolls seeded with 1 (script_rolls queues results), the shared globals at their start values,
// dialogue boxes recorded in `script.said`.
class GameRig : public ::testing::Test {
protected:
    CScriptHost script;
    int exit_status = -1;  // of the last run that ended EXITED

    void SetUp() override;
    void TearDown() override;

    RunEnd Run(const std::function<void()>& fn);
    void RunUntilScriptEnd(const std::function<void()>& fn);  // fails unless the script ran out
    RunEnd RunField();

    int ScreenPixel(int x, int y) const { return getpixel(screen, x, y); }
    BITMAP* Page() const;  // the page being drawn this frame
    int PagePixel(int x, int y) const { return getpixel(Page(), x, y); }
    // Whether `text` stands at (x, y) of the shown screen in `colour`: every pixel of its letters
    // in that colour and none of the pixels between them.
    ::testing::AssertionResult TextAt(int x, int y, const std::string& text, int colour) const;
    // Whether no pixel of the shown screen's rectangle has `colour`.
    ::testing::AssertionResult NoColourIn(int x, int y, int w, int h, int colour) const;

private:
    CHost* saved_host_ = nullptr;
};
