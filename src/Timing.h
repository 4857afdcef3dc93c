// Frame timing and key state shared by every loop: the 60 Hz logic clock, the frame counter and the key hold count.
#pragma once

#include <atomic>

#include "GameState.h"

// The library's scancodes for the keys the game reads.
enum GameKey {
    GK_M = 13,
    GK_ESC = 59,
    GK_ENTER = 67,
    GK_SPACE = 75,
    GK_LEFT = 82,
    GK_RIGHT = 83,
    GK_UP = 84,
    GK_DOWN = 85,
    GK_LCONTROL = 117,
    GK_RCONTROL = 118,
    GK_ALT = 119,
};

// Logic rate of the game in ticks per second.
constexpr int LOGIC_RATE = 60;

// Timer callback: one more logic tick is due; wakes a loop resting in wait_for_tick. Installed
// by SetTimers; scripted hosts call it too.
void increment_speed_counter();
// Rests until a logic tick is due (speed_counter above 0) or the window's close button was
// pressed, for max_ms at most; returns at once if one is due already. Called by the library
// host's Idle, so that no loop spins while nothing is due.
void wait_for_tick(int max_ms);
// Timer callback once a second: fps takes the frames drawn, frame_count starts again.
void fps_proc();
// Installs the two timer callbacks at 60 ticks a second; called once at start-up.
void SetTimers();
// The same at another logic rate (1193181 / bps hardware ticks); the battle calls SetTimers(60).
void SetTimers(int bps);
// Drops ticks that piled up during a blocking activity (also zeroes App.timer); called after map loads and portals.
void ResetTimers();
// Counts the polls a key has been held: +1 while down, 0 when up. Every screen's key handling goes through it.
void update_key(int key_code, int* key_var);
