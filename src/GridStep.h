// The grid step shared by the party and the NPCs: one pixel of a step under way per tick.
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
