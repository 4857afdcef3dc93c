// The automated player's host: the keys it holds, one tick per rest, alerts it answers, the end of the game.
#include "BotHost.h"

#include "Timing.h"

void CBotHost::Idle() {
    if (++ticks_ > budget_) throw PlayStop{"the run used up its " + std::to_string(budget_) + " ticks"};
    if (mind_) mind_->Decide();
    // A key the game forgot must come up before it counts as down again: the player lifts it
    // for this tick and, still wanting it, presses it again for the next.
    std::set<int> now;
    for (int k : want_) {
        if (forgotten_.count(k)) continue;
        if (!down_.count(k)) typed_ = k << 8;
        now.insert(k);
    }
    forgotten_.clear();
    down_ = now;
    increment_speed_counter();
    if (ticks_ % LOGIC_RATE == 0) fps_proc();
    last_ran_ = speed_counter > 0;
}

void CBotHost::ForgetKeys() {
    forgotten_ = down_;
    down_.clear();
    typed_ = 0;
}

int CBotHost::ReadKey() {
    reading_key_ = true;
    typed_ = 0;
    while (typed_ == 0) Idle();
    reading_key_ = false;
    const int k = typed_;
    typed_ = 0;
    return k;
}

void CBotHost::Message(const std::string& text) { throw PlayStop{"the game showed a message: " + text}; }

int CBotHost::Alert(const std::string& line1, const std::string&, const std::string&, const std::string&,
                    const std::string&) {
    return mind_ ? mind_->Answer(line1) : 1;
}

void CBotHost::Exit(int status) { throw GameExit{status}; }
