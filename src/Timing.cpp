// The logic clock, the frame counter and the key hold count.
#include "Timing.h"

#include <allegro.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "GameState.h"
#include "Host.h"

std::atomic<int> speed_counter{0};
std::atomic<int> frame_count{0};
std::atomic<int> fps{0};

namespace {
// Signalled by the timer at every tick; a resting loop waits on it.
std::mutex tick_mutex;
std::condition_variable tick_signal;
}  // namespace

void increment_speed_counter() {
    speed_counter.fetch_add(1, std::memory_order_relaxed);
    // Taking the lock between the count and the signal: a loop that has just found no tick due
    // is then already waiting when the signal comes, so no tick's signal is lost.
    { std::lock_guard<std::mutex> hold(tick_mutex); }
    tick_signal.notify_all();
}
END_OF_FUNCTION(increment_speed_counter)

void wait_for_tick(int max_ms) {
    std::unique_lock<std::mutex> lock(tick_mutex);
    tick_signal.wait_for(lock, std::chrono::milliseconds(max_ms), [] { return speed_counter > 0 || App.done; });
}

void fps_proc() {
    // One atomic swap: a frame counted by the game thread in between is not lost.
    fps = frame_count.exchange(0);
}
END_OF_FUNCTION(fps_proc)

void SetTimers() { SetTimers(LOGIC_RATE); }

void SetTimers(int bps) {
    if (bps <= 0 || bps > 1193181) bps = LOGIC_RATE;  // guards against a division by zero or a zero period
    host->StartTimers(bps);
    fps = 0;
    frame_count = 0;
}

void ResetTimers() {
    App.timer = 0;
    speed_counter = 0;
}

void update_key(int key_code, int* key_var) {
    if (host->KeyDown(key_code))
        *key_var += 1;
    else
        *key_var = 0;
}
