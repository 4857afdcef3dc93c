// The screen kit: the loop every modal screen and the field run on, and the quit question.
#include "ScreenKit.h"

#include "CDisplay.h"
#include "Host.h"
#include "Timing.h"

namespace {
const CScreen* resting = nullptr;  // the screen whose pass called host->Idle() last
}  // namespace

const CScreen* resting_screen() { return resting; }

bool CScreenKey::Pressed() {
    update_key(code_, &count_);
    return count_ == 1;
}

void AskQuit() {
    if (host->Alert("Are you sure you want to quit?", "", "", "NO", "YES") == 2) Display.Shutdown();
}

bool ScreenPass(CScreen& s) {
    // The close button asks the same question as ESC in the field; "NO" goes on with this screen.
    if (App.done.exchange(false)) AskQuit();
    while (speed_counter > 0) {
        const bool finished = s.Tick();
        speed_counter--;
        if (finished) return true;
    }
    s.Draw();
    const ShowMode mode = s.Shown();
    if (mode == SHOW_FLIP)
        Display.ShowPage();
    else if (mode == SHOW_PAGE)
        Display.ShowPageKeep();
    resting = &s;
    host->Idle();
    resting = nullptr;
    return false;
}

namespace {

// Puts the caller's due ticks aside while a screen runs and hands them back when it closes,
// however it closes.
class TicksAside {
public:
    TicksAside() : carried_(speed_counter.exchange(0)) {}
    ~TicksAside() { speed_counter += carried_; }
    TicksAside(const TicksAside&) = delete;
    TicksAside& operator=(const TicksAside&) = delete;

private:
    int carried_;
};

// Waits for a fresh press of one key over whatever the screen shows.
class CPressWait : public CScreen {
public:
    explicit CPressWait(int scancode) : code_(scancode), key_(scancode) {}
    bool Tick() override { return key_.Pressed(); }
    ShowMode Shown() const override { return SHOW_NOTHING; }
    ScreenView View() const override {
        ScreenView v;
        v.kind = SK_WAIT_KEY;
        v.key = code_;
        return v;
    }

private:
    int code_;
    CScreenKey key_;
};

// Waits for a fresh press of any key over whatever the screen shows.
class CAnyKeyWait : public CScreen {
public:
    CAnyKeyWait() {
        for (bool& d : was_down_) d = true;  // a key held as the wait opens must come up first
    }
    bool Tick() override {
        bool pressed = false;
        for (int k = 1; k < KEY_MAX; ++k) {
            const bool down = host->KeyDown(k);
            if (down && !was_down_[k]) pressed = true;
            was_down_[k] = down;
        }
        return pressed;
    }
    ShowMode Shown() const override { return SHOW_NOTHING; }
    ScreenView View() const override { return {SK_WAIT_ANY_KEY}; }

private:
    bool was_down_[KEY_MAX];
};

}  // namespace

void RunScreen(CScreen& s) {
    TicksAside aside;
    while (!ScreenPass(s)) {
    }
}

void WaitForPress(int scancode) {
    CPressWait wait(scancode);
    RunScreen(wait);
}

void WaitForAnyKey() {
    CAnyKeyWait wait;
    RunScreen(wait);
}
