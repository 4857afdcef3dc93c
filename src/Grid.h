// The character grid: the 16-pixel square of every character, the direction codes, cells of pixels and the overlap test.
#pragma once

// Pixels across a character square and across one grid step (party, NPCs, monsters, the use
// action and the battle), whatever the map's own tile size.
constexpr int CELL = 16;

// Direction codes shared by the party, the NPCs and the battle. Sprite sheets keep one row per
// code; row 0 is the look before the first move.
enum Direction { DIR_NONE = 0, DIR_UP = 1, DIR_DOWN = 2, DIR_RIGHT = 3, DIR_LEFT = 4 };

// Whether d is one of the four walking directions.
inline bool is_direction(int d) { return d >= DIR_UP && d <= DIR_LEFT; }

// The grid cell holding pixel coordinate px (pixels left of or above 0 lie in negative cells).
inline long long cell_of(long long px) { return px >= 0 ? px / CELL : -((-px + CELL - 1) / CELL); }

// Whether the size x size squares with top-left corners (ax, ay) and (bx, by) overlap; squares
// that only touch along an edge do not. Wide arithmetic: positions near the ends of their
// range cannot wrap round into a false overlap.
inline bool squares_overlap(long long ax, long long ay, long long bx, long long by, long long size = CELL) {
    return ax < bx + size && bx < ax + size && ay < by + size && by < ay + size;
}
