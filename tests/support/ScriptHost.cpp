// The scripted test host and the GameRig fixture.
#include "ScriptHost.h"

#include "CBattle.h"
#include "CCine.h"
#include "CDisplay.h"
#include "CMain.h"
#include "CMap.h"
#include "CMenu.h"
#include "CPlayer.h"
#include "GameState.h"
#include "Interaction.h"
#include "Quests.h"
#include "Rolls.h"
#include "Timing.h"

CScriptHost& CScriptHost::Press(int scancode) { return Hold(scancode, 1); }

CScriptHost& CScriptHost::Hold(int scancode, int ticks) { return Down(scancode).Ticks(ticks).Up(scancode); }

CScriptHost& CScriptHost::Down(int scancode) { steps_.push_back({KEY_DOWN, scancode}); return *this; }
CScriptHost& CScriptHost::Up(int scancode) { steps_.push_back({KEY_UP, scancode}); return *this; }
CScriptHost& CScriptHost::ReleaseAll() { steps_.push_back({RELEASE_ALL, 0}); return *this; }
CScriptHost& CScriptHost::Ticks(int n) { for (int i = 0; i < n; ++i) steps_.push_back({TICK, 1}); return *this; }
CScriptHost& CScriptHost::Burst(int n) { if (n > 0) steps_.push_back({TICK, n}); return *this; }
CScriptHost& CScriptHost::AnswerAlert(int button) { answers_.push_back(button); return *this; }
CScriptHost& CScriptHost::Held(int scancode) { down_.insert(scancode); return *this; }
CScriptHost& CScriptHost::Tap(int scancode) { return Ticks(1).Down(scancode).Ticks(2).Up(scancode).Ticks(1); }

CScriptHost& CScriptHost::Space(int n) { while (n-- > 0) Tap(GK_SPACE); return *this; }
CScriptHost& CScriptHost::Answer(bool yes) {
    Space();
    return (yes ? *this : Tap(GK_DOWN)).Space();
}

CScriptHost& CScriptHost::Close() { steps_.push_back({CLOSE, 0}); return *this; }
CScriptHost& CScriptHost::Grace(int n) { grace_ = n; return *this; }
CScriptHost& CScriptHost::Clear() {
    steps_.clear();
    down_.clear();
    forgotten_.clear();
    typed_.clear();
    return *this;
}

// The ASCII part of a typed key, as the library's readkey gives it.
static int ascii_of(int scancode) {
    switch (scancode) {
        case KEY_SPACE: return ' ';
        case KEY_ENTER: return '\r';
        case KEY_ESC: return 27;
        default:
            if (scancode >= KEY_A && scancode <= KEY_Z) return 'a' + (scancode - KEY_A);
            return 0;
    }
}

void CScriptHost::ApplyKeyChanges() {
    while (!steps_.empty() && steps_.front().kind != TICK) {
        Step s = steps_.front();
        steps_.pop_front();
        switch (s.kind) {
            case KEY_DOWN:
                if (down_.insert(s.value).second) typed_.push_back(s.value << 8 | ascii_of(s.value));
                break;
            case KEY_UP:
                down_.erase(s.value);
                forgotten_.erase(s.value);
                break;
            case RELEASE_ALL:
                down_.clear();
                forgotten_.clear();
                break;
            case CLOSE:
                exit_callback();  // what the library calls when the window's close button is pressed
                break;
            case TICK:
                break;
        }
    }
}

bool CScriptHost::KeyDown(int scancode) { return down_.count(scancode) && !forgotten_.count(scancode); }

void CScriptHost::Idle() {
    if (each_idle) each_idle();
    ApplyKeyChanges();
    int n = 1;
    if (!steps_.empty()) {
        n = steps_.front().value;
        steps_.pop_front();
    } else if (grace_ > 0) {
        --grace_;
        down_.clear();
        forgotten_.clear();
    } else {
        throw ScriptEnd{};
    }
    for (int i = 0; i < n; ++i) {
        increment_speed_counter();
        if (++ticks_run % LOGIC_RATE == 0) fps_proc();
    }
}

void CScriptHost::ForgetKeys() {
    ++forgets;
    forgotten_ = down_;
    typed_.clear();
}

void CScriptHost::FlushKeyBuffer() {
    ++flushes;
    typed_.clear();
}

int CScriptHost::ReadKey() {
    while (typed_.empty()) Idle();  // ScriptEnd when no key comes
    int k = typed_.front();
    typed_.pop_front();
    return k;
}

void CScriptHost::Message(const std::string& text) { messages.push_back(text); }

int CScriptHost::Alert(const std::string& line1, const std::string& line2, const std::string& line3,
                       const std::string& button1, const std::string& button2) {
    alerts.push_back({line1, line2, line3, button1, button2});
    if (answers_.empty()) throw ScriptEnd{};  // an unscripted question ends the run; the test sees it in alerts
    int a = answers_.front();
    answers_.pop_front();
    return a;
}

void CScriptHost::Exit(int status) { throw ProcessExit{status}; }

void CScriptHost::StartTimers(int bps) { timer_rates.push_back(bps); }

void CScriptHost::PlaySong(int n, bool looped) {
    songs.push_back((looped ? "loop " : "play ") + std::to_string(n));
    song_on = true;
}

void CScriptHost::StopSong() {
    songs.push_back("stop");
    song_on = false;
}

static CScriptHost* recording = nullptr;
static void record_box(const std::string& from, const std::string& msg) {
    if (recording) recording->said.push_back({from, msg});
}

// The game's state back at its start (the game's own reset), and what a run would keep too
// (the party's item databases, the menu pictures) and the clock: before each test, and after
// it so that tests without the rig never see what a rig test left behind.
static void reset_globals() {
    reset_game_state();
    player[0] = CPlayer();
    player[1] = CPlayer();
    menu = CMenu();
    App.done = false;
    speed_counter = 0;
    frame_count = 0;
    fps = 0;
}

void GameRig::SetUp() {
    saved_host_ = host;
    host = &script;
    set_color_depth(GAME_DEPTH);
    screen = create_bitmap_ex(GAME_DEPTH, GAME_W, GAME_H);
    ASSERT_NE(screen, nullptr);
    clear_bitmap(screen);
    Display.CreatePages(GAME_W, GAME_H);
    seed_rolls(1);
    clear_scripted_rolls();

    reset_globals();
    recording = &script;
    talk_watch = record_box;
}

void GameRig::TearDown() {
    talk_watch = nullptr;
    recording = nullptr;
    reset_globals();
    for (int i = 0; i < 2; ++i)
        if (Display.vscreen[i]) destroy_bitmap(Display.vscreen[i]);
    Display.vscreen[0] = Display.vscreen[1] = Display.vscreen[2] = nullptr;
    if (screen) destroy_bitmap(screen);
    screen = nullptr;
    host = saved_host_;
}

RunEnd GameRig::Run(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const ScriptEnd&) {
        return RunEnd::SCRIPT_END;
    } catch (const ProcessExit& e) {
        exit_status = e.status;
        return RunEnd::EXITED;
    }
    return RunEnd::RETURNED;
}

void GameRig::RunUntilScriptEnd(const std::function<void()>& fn) {
    RunEnd end = Run(fn);
    EXPECT_EQ(end, RunEnd::SCRIPT_END) << "the code under test ended before its script";
}

::testing::AssertionResult GameRig::TextAt(int x, int y, const std::string& text, int colour) const {
    const int w = text_length(font, text.c_str()), h = text_height(font);
    BITMAP* ink = create_bitmap(w, h);
    clear_to_color(ink, 0);
    textout_ex(ink, font, text.c_str(), 0, 0, 1, -1);
    ::testing::AssertionResult result = ::testing::AssertionSuccess();
    for (int dy = 0; dy < h && result; ++dy)
        for (int dx = 0; dx < w && result; ++dx) {
            const bool letter = getpixel(ink, dx, dy) == 1, coloured = ScreenPixel(x + dx, y + dy) == colour;
            if (letter != coloured)
                result = ::testing::AssertionFailure() << "\"" << text << "\" at " << x << "," << y << ": pixel " << x + dx
                                                      << "," << y + dy << (letter ? " of a letter is not" : " between letters is")
                                                      << " the text's colour";
        }
    destroy_bitmap(ink);
    return result;
}

::testing::AssertionResult GameRig::NoColourIn(int x, int y, int w, int h, int colour) const {
    for (int dy = 0; dy < h; ++dy)
        for (int dx = 0; dx < w; ++dx)
            if (ScreenPixel(x + dx, y + dy) == colour)
                return ::testing::AssertionFailure() << "the colour is at " << x + dx << "," << y + dy;
    return ::testing::AssertionSuccess();
}

BITMAP* GameRig::Page() const { return Display.GetSurface(); }

RunEnd GameRig::RunField() { return Run([] { FieldLoop(); }); }
