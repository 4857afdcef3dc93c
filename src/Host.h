// The seam between the game's loops and the outside world: keys, ticks, pauses, message boxes, music and process exit.
#pragma once

#include <string>

#include "GameState.h"

// Every loop of the game reaches the keyboard, the passing of time, the library's
// message and alert boxes, the music player and the end of the process through the active host.
// In play the host is the library itself (CLibraryHost); tests install a scripted
// host that sets key states and hands out logic ticks one at a time, so that the
// real loop code runs with no timer thread and no sleeping.
class CHost {
public:
    virtual ~CHost() = default;

    // Whether the key with this library scancode is down now. Called by update_key and key polls.
    virtual bool KeyDown(int scancode) = 0;

    // A loop has nothing to do until the next logic tick: called at the end of every pass of
    // the screen kit's loop (after the frame is shown). The library host rests until a tick is
    // due (at once if one is); a scripted host advances its script by one tick, never sleeping.
    virtual void Idle() = 0;

    // Forget every key held now (the library's remove_keyboard + install_keyboard).
    virtual void ForgetKeys() = 0;

    // Empty the buffer of typed keys (the library's clear_keybuf).
    virtual void FlushKeyBuffer() = 0;

    // Wait for a typed key and return it (the library's readkey).
    virtual int ReadKey() = 0;

    // Pause for a number of milliseconds (the library's rest).
    virtual void Pause(int ms) = 0;

    // Show a message box with this text and wait for it to be closed (allegro_message).
    virtual void Message(const std::string& text) = 0;

    // Ask with the library's alert box; returns 1 for the first button, 2 for the second.
    // ESC inside the box answers with the first button; the box returns once ESC is up.
    virtual int Alert(const std::string& line1, const std::string& line2, const std::string& line3,
                      const std::string& button1, const std::string& button2) = 0;

    // End the process with this status; never returns.
    [[noreturn]] virtual void Exit(int status) = 0;

    // Start (or re-rate) the logic clock at bps ticks a second and the once-a-second fps timer.
    // Called by SetTimers only. The library host installs the timer callbacks; hosts without a
    // clock (tools, fuzzers) keep this default, and the scripted host only records the rate.
    virtual void StartTimers(int /*bps*/) {}

    // Start playlist song n (1 to FIELD_SONGS, Music.h) from its beginning, looped or once, cutting
    // whatever plays. Called by play_song only. Hosts without sound (tools, fuzzers) keep these
    // defaults: nothing plays and nothing is ever heard.
    virtual void PlaySong(int /*n*/, bool /*looped*/) {}
    // Stop the music. Called by stop_song only.
    virtual void StopSong() {}
    // Whether the song started last is still heard (a song played once ends by itself). Called by song_heard only.
    virtual bool SongPlaying() { return false; }
};

// The library's own keyboard, timer, dialogs and exit: the host of a real game.
class CLibraryHost : public CHost {
public:
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
    // Without a sound card nothing plays and nothing is heard.
    void PlaySong(int n, bool looped) override;
    void StopSong() override;
    bool SongPlaying() override;
};

// A host with no keyboard, no clock and nobody to answer: keys are never down, nothing waits,
// messages are counted instead of shown and alerts take their first button. The host of the
// map tools and the benchmarks; the tools print what it counts, the fuzz targets make waiting a fault.
class CQuietHost : public CHost {
public:
    int messages = 0;  // messages the game code showed so far
    bool KeyDown(int) override { return false; }
    void Idle() override {}
    void ForgetKeys() override {}
    void FlushKeyBuffer() override {}
    int ReadKey() override { return 0; }
    void Pause(int) override {}
    void Message(const std::string&) override { ++messages; }
    int Alert(const std::string&, const std::string&, const std::string&, const std::string&,
              const std::string&) override {
        return 1;
    }
    // Ends the process with this status at once (no library shutdown: nothing was shown).
    [[noreturn]] void Exit(int status) override;
};

// Shows a message box with printf-style text through the active host; used by loaders to report bad files.
void show_message(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
