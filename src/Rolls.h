// The game's one source of random numbers: every roll (music, wander, targets, attributes, battle) is drawn here.
#pragma once

#include <initializer_list>

// Seeds the rolls. Start-up seeds once with the time; tests and the playthrough seed a fixed number.
void seed_rolls(unsigned int seed);

// One raw roll in 0..RAND_MAX: the next scripted value if a test queued one, else the generator's.
int roll_raw();

// A roll in 0..n-1, taken as roll_raw() % n so that a seed gives the sequence it always gave;
// 0 without drawing when n <= 0.
int roll(int n);

// Test seam: the next raw rolls are these values, in order, before the generator is drawn again.
void script_rolls(std::initializer_list<int> values);

// Forgets scripted values not used yet. Called by the test rig between tests.
void clear_scripted_rolls();
