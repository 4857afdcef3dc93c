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

// Whether the w x h boxes with top-left corners (ax, ay) and (bx, by) overlap; boxes that only
// touch along an edge do not. Wide arithmetic: positions near the ends of their range cannot
// wrap round into a false overlap. Pixel positions are unsigned in the game: a caller holding
// one in an int passes it as its unsigned value, so a box poking past the map's top or left
// edge lies far to the right and below rather than on the characters at the edge.
inline bool boxes_overlap(long long ax, long long ay, long long bx, long long by, long long w, long long h) {
    return ax < bx + w && bx < ax + w && ay < by + h && by < ay + h;
}

// Whether the size x size squares with top-left corners (ax, ay) and (bx, by) overlap; squares
// that only touch along an edge do not. Wide arithmetic: positions near the ends of their
// range cannot wrap round into a false overlap.
inline bool squares_overlap(long long ax, long long ay, long long bx, long long by, long long size = CELL) {
    return boxes_overlap(ax, ay, bx, by, size, size);
}

// One pixel towards a direction: (0, -1) up, (0, 1) down, (1, 0) right, (-1, 0) left, (0, 0) otherwise.
struct Offset {
    int dx, dy;
};
inline Offset dir_offset(int d) {
    switch (d) {
    case DIR_UP: return {0, -1};
    case DIR_DOWN: return {0, 1};
    case DIR_RIGHT: return {1, 0};
    case DIR_LEFT: return {-1, 0};
    default: return {0, 0};
    }
}

// The cells a character square at pixel (x, y) covers: columns c0..c1 and rows r0..r1 (one or two each).
struct CellSpan {
    long long c0, c1, r0, r1;
};
inline CellSpan cells_under(long long x, long long y) {
    return {cell_of(x), cell_of(x + CELL - 1), cell_of(y), cell_of(y + CELL - 1)};
}
