// The grid step and the following view shared by the party and the NPCs.
#pragma once

// Moves (x, y) one pixel on towards the end of a grid step. move_x and move_y count the pixels
// left, positive walking left or up; x is walked before y. Returns whether the step is over
// (nothing left on either axis). Called by CPlayer::UpdateMovement and CNpc::UpdateMovement.
inline bool advance_step(unsigned int& x, unsigned int& y, int& move_x, int& move_y) {
    if (move_x > 0) {
        --x;
        --move_x;
    } else if (move_x < 0) {
        ++x;
        ++move_x;
    } else if (move_y > 0) {
        --y;
        --move_y;
    } else if (move_y < 0) {
        ++y;
        ++move_y;
    }
    return move_x == 0 && move_y == 0;
}

// The view on one axis for a map of `size` pixels and a screen of `screen` pixels. A map no
// larger than the screen is shown from its top-left with no scrolling: the centring rules
// below would compute a view from before the map's start there. `bottom_gap` keeps the far
// edge one pixel further in, and `centre_shift` / `inclusive_far` are the small differences
// between the free walk and the grid step. Returns the new view, or `old` where the rules
// leave it alone (exactly on a threshold). Called by the party's and the NPCs' UpdateMovement.
inline int view_follow(unsigned int pos, unsigned int size, int screen, int old, int far_gap, int centre_shift,
                  bool inclusive_far) {
    if (screen <= 0 || size <= (unsigned int)screen) return 0;
    unsigned int half = (unsigned int)screen / 2;
    unsigned int far = size - half;
    bool before_far = inclusive_far ? pos <= far : pos < far;
    if (pos > half && before_far) return (int)(pos - half) - centre_shift;
    if (pos < half) return 0;
    if (pos > far) return (int)(size - (unsigned int)screen) - far_gap;
    return old;
}
