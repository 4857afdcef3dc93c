// The one source of random numbers, with the queue of scripted results the tests use.
#include "Rolls.h"

#include <cstdlib>
#include <deque>

namespace {
// Values queued by script_rolls, handed out before the generator is drawn again.
std::deque<int> scripted;
}  // namespace

void seed_rolls(unsigned int seed) { std::srand(seed); }

int roll_raw() {
    if (!scripted.empty()) {
        int v = scripted.front();
        scripted.pop_front();
        return v < 0 ? -v : v;  // a negative script value would give a negative remainder
    }
    return std::rand();
}

int roll(int n) { return n > 0 ? roll_raw() % n : 0; }

void script_rolls(std::initializer_list<int> values) { scripted.insert(scripted.end(), values); }

void clear_scripted_rolls() { scripted.clear(); }
