// The host the automated player plays through: its keys are what the player holds, one logic tick per rest, no clock.
#pragma once

#include <set>
#include <string>

#include "Host.h"

// Thrown when the game ends the process (host->Exit): the run's caller catches it.
struct GameExit {
    int status;
};

// Thrown to stop the game from inside any of its loops: the player gave up (stuck, out of ticks,
// a message box from the game). The run's caller reports it.
struct PlayStop {
    std::string reason;
};

// Who decides what the host's keys are: the automated player.
class CPlayerMind {
public:
    virtual ~CPlayerMind() = default;
    // A loop rests before the next tick: set the keys held during that tick (CBotHost::Hold).
    virtual void Decide() = 0;
    // The game asks with an alert box; returns the button (1 or 2).
    virtual int Answer(const std::string& line1) = 0;
};

// A host whose keys are held by the automated player and whose clock runs only when a loop
// rests: each Idle() asks the player for the keys of the next tick and hands that tick out.
// Keys the game forgot (ForgetKeys) read as up until the player lets them go and presses them
// again, as the library's keyboard does: a key still held is lifted for one tick and pressed again. Invariant: every key in `down_` is one the player holds.
class CBotHost : public CHost {
public:
    explicit CBotHost(long long tick_budget) : budget_(tick_budget) {}
    void SetMind(CPlayerMind* mind) { mind_ = mind; }

    // The keys the player holds for the next tick (called by the mind from Decide).
    void Hold(const std::set<int>& keys) { want_ = keys; }
    // Whether a key is down as the game sees it now.
    bool Down(int scancode) const { return down_.count(scancode) != 0; }
    // Whether any key is held.
    bool AnyDown() const { return !want_.empty(); }
    // Whether the last tick handed out ran (a loop may throw ticks away by setting the counter below zero).
    bool LastTickRan() const { return last_ran_; }
    // Logic ticks handed out so far.
    long long Ticks() const { return ticks_; }
    // Whether the game waits in ReadKey for a typed key.
    bool ReadingKey() const { return reading_key_; }

    bool KeyDown(int scancode) override { return Down(scancode); }
    void Idle() override;
    void ForgetKeys() override;
    void FlushKeyBuffer() override { typed_ = 0; }
    int ReadKey() override;
    void Pause(int) override {}
    // A message box means a file the game could not read or a number it refused: the run stops.
    void Message(const std::string& text) override;
    int Alert(const std::string& line1, const std::string& line2, const std::string& line3,
              const std::string& button1, const std::string& button2) override;
    [[noreturn]] void Exit(int status) override;

private:
    CPlayerMind* mind_ = nullptr;
    long long budget_;
    long long ticks_ = 0;
    bool last_ran_ = false;
    bool reading_key_ = false;
    std::set<int> want_;       // what the player holds
    std::set<int> down_;       // what the game reads as down
    std::set<int> forgotten_;  // held keys the game was told to forget
    int typed_ = 0;            // the last key typed (scancode << 8), 0 when none waits
};
