// Where a character fits on a decoded map and which tiles can be walked to, for the content check.
#include "ContentReach.h"

#include "Grid.h"

bool tile_on_map(const MapFileData& m, long long c, long long r) {
    return c >= 0 && r >= 0 && c < (long long)m.width && r < (long long)m.height;
}

bool tile_blocked(const MapFileData& m, long long c, long long r) {
    if (!tile_on_map(m, c, r) || m.tiles.empty()) return true;
    return (m.tiles[0][(size_t)r][(size_t)c].flags & TF_BLOCKED) != 0;
}

TileSpan tiles_under(const MapFileData& m, long long x, long long y) {
    // Pixels left of or above the map lie in negative tiles.
    auto tile = [](long long px, long long size) { return px >= 0 ? px / size : -((-px + size - 1) / size); };
    const long long tw = m.tile_w > 0 ? m.tile_w : CELL, th = m.tile_h > 0 ? m.tile_h : CELL;
    return {tile(x, tw), tile(x + CELL - 1, tw), tile(y, th), tile(y + CELL - 1, th)};
}

bool square_fits(const MapFileData& m, long long x, long long y) {
    const TileSpan s = tiles_under(m, x, y);
    for (long long c : {s.c0, s.c1})
        for (long long r : {s.r0, s.r1})
            if (tile_blocked(m, c, r)) return false;
    return true;
}

bool square_on_portal(const MapFileData& m, long long x, long long y) {
    for (const CPortal& p : m.portals)
        if (boxes_overlap(x, y, p.x, p.y, m.tile_w, m.tile_h)) return true;
    return false;
}

MapReach::MapReach(const MapFileData& m, const std::vector<std::pair<long long, long long>>& opened)
    : m_(m), open_((size_t)m.width * m.height, 0), reached_((size_t)m.width * m.height, 0) {
    for (long long r = 0; r < (long long)m.height; ++r)
        for (long long c = 0; c < (long long)m.width; ++c) open_[(size_t)(r * m.width + c)] = !tile_blocked(m, c, r);
    for (const auto& t : opened)
        if (tile_on_map(m, t.first, t.second)) open_[(size_t)(t.second * m.width + t.first)] = 1;
    for (const CNpc& n : m.npcs) {
        if (n.sprite == OPENING_SPRITE_ROW) continue;  // only the opening scene keeps them
        const TileSpan s = tiles_under(m, n.x, n.y);
        for (long long r = s.r0; r <= s.r1; ++r)
            for (long long c = s.c0; c <= s.c1; ++c)
                if (tile_on_map(m, c, r)) open_[(size_t)(r * m.width + c)] = 0;
    }
}

bool MapReach::Passable(long long c, long long r) const {
    return tile_on_map(m_, c, r) && open_[(size_t)(r * m_.width + c)];
}

bool MapReach::Reached(long long c, long long r) const {
    return tile_on_map(m_, c, r) && reached_[(size_t)(r * m_.width + c)];
}

bool MapReach::Beside(long long c, long long r) const {
    return Reached(c, r) || Reached(c + 1, r) || Reached(c - 1, r) || Reached(c, r + 1) || Reached(c, r - 1);
}

void MapReach::Enter(long long x, long long y) {
    const TileSpan s = tiles_under(m_, x, y);
    for (long long r = s.r0; r <= s.r1; ++r)
        for (long long c = s.c0; c <= s.c1; ++c)
            if (Passable(c, r) && !Reached(c, r)) {
                reached_[(size_t)(r * m_.width + c)] = 1;
                todo_.push_back(r * m_.width + c);
            }
}

void MapReach::Spread() {
    while (!todo_.empty()) {
        const long long at = todo_.back();
        todo_.pop_back();
        const long long c = at % m_.width, r = at / m_.width;
        const long long next[4][2] = {{c + 1, r}, {c - 1, r}, {c, r + 1}, {c, r - 1}};
        for (const auto& n : next)
            if (Passable(n[0], n[1]) && !Reached(n[0], n[1])) {
                reached_[(size_t)(n[1] * m_.width + n[0])] = 1;
                todo_.push_back(n[1] * m_.width + n[0]);
            }
    }
}
