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

// Thrown by the scripted host when a loop asks for a tick (or a key, or an alert answer)
// after the script is used up. Lets a test run an endless game loop until its script ends.
struct ScriptEnd {};

// Thrown by the scripted host's Exit: the game asked to end the process with this status.
struct ProcessExit {
    int status;
};

// One alert box the game showed.
struct AlertRecord {
    std::string line1, line2, line3, button1, button2;
};

// A host whose keys and logic ticks follow a script instead of the keyboard and the timer.
//
// The script is a list of steps: key changes and ticks. Each call of Idle() applies the key
// changes up to the next tick and then hands that tick out (speed_counter += 1), so the logic
// tick that follows reads exactly the keys the script set before it. Key changes written after
// the last tick are applied by the Idle() that finds the script used up and throws ScriptEnd.
// Every 60 ticks fps_proc() runs, as the once-a-second timer would.
//
//   host.Press(GK_SPACE);             // SPACE down for one tick, then up
//   host.Hold(GK_RIGHT, 16);          // RIGHT down for 16 ticks, then up
//   host.Down(GK_UP).Ticks(3).ReleaseAll();
//   host.AnswerAlert(2);              // the next alert box answers with its second button
//
// Invariant: ticks_run counts the ticks handed out; no key is down that the script did not put down.
class CScriptHost : public CHost {
public:
    // --- Writing the script (each returns *this so steps chain) ---
    // Key down for one tick, then up.
    CScriptHost& Press(int scancode);
    // Key down for this many ticks, then up.
    CScriptHost& Hold(int scancode, int ticks);
    // Key goes down (and stays down).
    CScriptHost& Down(int scancode);
    // Key goes up.
    CScriptHost& Up(int scancode);
    // Every key goes up.
    CScriptHost& ReleaseAll();
    // This many ticks with the keys as they stand, one tick per Idle().
    CScriptHost& Ticks(int n);
    // One Idle() that makes n ticks due at once, as after a long blocking call.
    CScriptHost& Burst(int n);
    // Queues the answer (1 or 2) of the next alert box.
    CScriptHost& AnswerAlert(int button);
    // Key already down when the code under test starts: takes effect at once, not at the next Idle().
    CScriptHost& Held(int scancode);
    // A press as a person makes it: one tick as the keys stand, the key down for two ticks,
    // then up for one tick. Boxes and menus that wait for a fresh press see exactly one.
    CScriptHost& Tap(int scancode);
    // n taps of SPACE: closes n dialogue boxes.
    CScriptHost& Space(int n = 1);
    // Closes a question's box with SPACE, then picks "Yes" (the first option) or "No" in the choice menu.
    CScriptHost& Answer(bool yes);
    // Once the script is used up, up to n more ticks with every key up before ScriptEnd: for
    // tests that call a screen directly and only script the keys it must see.
    CScriptHost& Grace(int n);
    // Drops what is left of the script and lets every key go; what was recorded stays.
    CScriptHost& Clear();

    // --- What the game did ---
    std::vector<AlertRecord> alerts;    // alert boxes shown, in order
    std::vector<std::string> messages;  // message boxes shown, in order
    std::vector<int> pauses;            // Pause(ms) calls, in order
    int ticks_run = 0;                  // ticks handed out by Idle()
    int idles = 0;                      // calls of Idle() that handed out ticks
    int forgets = 0;                    // calls of ForgetKeys()
    int flushes = 0;                    // calls of FlushKeyBuffer()
    // Every dialogue box shown while the rig runs, as (speaker, words), in order.
    std::vector<std::pair<std::string, std::string>> said;
    std::vector<int> timer_rates;       // rates passed to StartTimers (SetTimers), in order

    // Whether the script has no ticks left.
    bool Finished() const;
    // Keys down as the game sees them now (test helper; forgotten keys read as up).
    bool IsDown(int scancode) const { return KeyDownNow(scancode); }

    // --- CHost ---
    bool KeyDown(int scancode) override;
    void Idle() override;
    void ForgetKeys() override;
    void FlushKeyBuffer() override;
    int ReadKey() override;
    void Pause(int ms) override;
    void Message(const std::string& text) override;
    int Alert(const std::string& line1, const std::string& line2, const std::string& line3,
              const std::string& button1, const std::string& button2) override;
    [[noreturn]] void Exit(int status) override;
    void StartTimers(int bps) override;

private:
    enum StepKind { KEY_DOWN, KEY_UP, RELEASE_ALL, TICK };
    struct Step {
        StepKind kind;
        int value;  // scancode, or the number of ticks of a TICK step
    };
    std::deque<Step> steps_;
    std::set<int> down_;        // keys held by the script
    std::set<int> forgotten_;   // held keys the game was told to forget
    std::deque<int> typed_;     // typed keys for ReadKey: scancode << 8 | ASCII
    std::deque<int> answers_;   // queued alert answers
    int grace_ = 0;             // ticks left to hand out after the script ends

    // Applies the key changes at the head of the script, up to the next tick.
    void ApplyKeyChanges();
    bool KeyDownNow(int scancode) const;
};

// What ended a run of game code under the rig.
enum class RunEnd {
    RETURNED,     // the code returned by itself
    SCRIPT_END,   // the script ran out (ScriptEnd)
    EXITED,       // the game ended the process (ProcessExit); see exit_status
};

// Fixture for tests that run game loops. Before each test: a 640 x 480, 16-bit memory bitmap
// stands in for the library's screen, Display has fresh pages, `host` is a fresh CScriptHost
// (`script`), rand is seeded with 1, and the shared globals are back at their start values
// (App, the timing counters and key counters, the field's SPACE counter, map, both party
// members, menu, quest, cine, battle). Every dialogue box is recorded in `script.said`.
// After each test the pages and the screen are freed and `host` is restored.
class GameRig : public ::testing::Test {
protected:
    CScriptHost script;
    int exit_status = -1;  // status passed to Exit by the last run that ended with EXITED

    void SetUp() override;
    void TearDown() override;

    // Runs fn and tells what ended it; ProcessExit and ScriptEnd are caught here.
    RunEnd Run(const std::function<void()>& fn);
    // Runs fn until the script is used up; fails the test if fn ended otherwise.
    void RunUntilScriptEnd(const std::function<void()>& fn);
    // Runs the real field loop (FieldLoop) on the script; returns what ended it.
    RunEnd RunField();

    // Colour of the pixel at (x, y) of the shown screen.
    int ScreenPixel(int x, int y) const { return getpixel(screen, x, y); }
    // The page being drawn this frame (what the map's drawing calls paint on).
    BITMAP* Page() const;
    // Colour of the pixel at (x, y) of that page.
    int PagePixel(int x, int y) const { return getpixel(Page(), x, y); }

private:
    CHost* saved_host_ = nullptr;
};
