// The battle grid: the movement range and the attack areas, marked and tinted red, the free movement inside them, and the battle's frame.
#include "CBattle.h"

#include <algorithm>
#include <cmath>

#include "CDisplay.h"
#include "CMap.h"
#include "CPlayer.h"
#include "Grid.h"
#include "Host.h"
#include "Timing.h"

std::vector<CellOffset> movement_range_shape(int range) {
    std::vector<CellOffset> cells;
    if (range <= 0) return cells;
    // Every ray stays within range - 1 cells of the centre.
    const int side = 2 * range - 1;
    std::vector<bool> seen((size_t)side * (size_t)side, false);
    for (int a = 1; a < 360; ++a) {
        const float theta = (float)a / 180.0f * 3.14f;
        const float c = cosf(theta), s = sinf(theta);
        for (int r = 0; r < range; ++r) {
            const int dx = (int)(c * (float)r), dy = (int)(s * (float)r);
            const size_t at = (size_t)(dy + range - 1) * (size_t)side + (size_t)(dx + range - 1);
            if (seen[at]) continue;
            seen[at] = true;
            cells.push_back({dx, dy});
        }
    }
    return cells;
}

bool in_attack_area(long long dx, long long dy, int reach) {
    if (reach < 1) return false;
    if (reach == 1) return (dx == 0 && (dy == -1 || dy == 0 || dy == 1)) || (dy == 0 && (dx == -1 || dx == 1));
    const long long r = reach;
    return dx * dx + dy * dy < r * r;
}

void CBattle::ShapeGrid() {
    grid.assign(map.height, std::vector<CCoord>(map.width));
}

void CBattle::ClearGrid() {
    for (auto& row : grid)
        for (CCoord& c : row) c.marked = false;
}

bool CBattle::Marked(long long c, long long r) const {
    if (r < 0 || c < 0 || r >= (long long)grid.size() || c >= (long long)grid[(size_t)r].size()) return false;
    return grid[(size_t)r][(size_t)c].marked;
}

void CBattle::DrawGrid(int pc, int range) {
    if (map.tile_w <= 0 || map.tile_h <= 0) return;
    // A ray longer than the map's diagonal leaves the map for good: a larger range marks nothing
    // more, and its shape is not worked out.
    const int reach_cap = (int)std::ceil(std::hypot((double)map.width, (double)map.height)) + 2;
    const int effective = std::min(range, reach_cap);
    if (effective != range_of_) {
        range_cells_ = movement_range_shape(effective);
        range_of_ = effective;
    }
    const CPlayer& p = player[pc];
    const long long cx = origin_x / map.tile_w, cy = origin_y / map.tile_h;
    for (const CellOffset& o : range_cells_) {
        const long long c = cx + o.dx, r = cy + o.dy;
        // Column 0 and row 0 never take part.
        if (c <= 0 || r <= 0 || c >= (long long)map.width || r >= (long long)map.height) continue;
        if (Marked(c, r) || (size_t)r >= grid.size() || (size_t)c >= grid[(size_t)r].size()) continue;
        map.TransTileGfx(1, origin_x + o.dx * CELL - p.scroll_x, origin_y + o.dy * CELL - p.scroll_y);
        grid[(size_t)r][(size_t)c].marked = true;
    }
}

void CBattle::MarkAttackArea(long long cx, long long cy, int reach, bool fill, int cam_x, int cam_y) {
    if (reach < 1) return;
    // Only the cells of the area that lie on the map are visited: the area's box cut to the map.
    const long long span = reach - 1 > 1 ? reach - 1 : 1;
    const long long rows = (long long)grid.size();
    const long long r0 = std::max(cy - span, 0LL), r1 = std::min(cy + span, rows - 1);
    for (long long r = r0; r <= r1; ++r) {
        auto& row = grid[(size_t)r];
        const long long c0 = std::max(cx - span, 0LL), c1 = std::min(cx + span, (long long)row.size() - 1);
        for (long long c = c0; c <= c1; ++c) {
            if (!in_attack_area(c - cx, r - cy, reach)) continue;
            row[(size_t)c].marked = true;
            if (fill) map.TransTileGfx(1, (int)(c * CELL - cam_x), (int)(r * CELL - cam_y));
        }
    }
}

void CBattle::HandlePlayerMovement(int pc) {
    CPlayer& p = player[pc];
    if (map.tile_w > 0 && map.tile_h > 0) {
        const long long c = p.x / (unsigned int)map.tile_w, r = p.y / (unsigned int)map.tile_h;
        static const struct {
            int key, dir, dx, dy;
        } arrows[4] = {{GK_RIGHT, DIR_RIGHT, 1, 0}, {GK_LEFT, DIR_LEFT, -1, 0}, {GK_UP, DIR_UP, 0, -1},
                       {GK_DOWN, DIR_DOWN, 0, 1}};
        for (const auto& a : arrows)
            if (host->KeyDown(a.key) && Marked(c + a.dx, r + a.dy)) p.MoveBlock(map, a.dir);
    }
    p.UpdateMovement();
}

void CBattle::DrawField(int cam_x, int cam_y, int pinned, unsigned int pin_x, unsigned int pin_y) {
    map.RenderScene(cam_x, cam_y);
    BITMAP* page = Display.GetSurface();
    if (!page) return;
    for (int i = 0; i < 2; ++i) {
        const CPlayer& p = player[i];
        if (i == 1 && !companion_joined()) break;
        if (!p.sprite) continue;
        const int x = (int)(i == pinned ? pin_x : p.x), y = (int)(i == pinned ? pin_y : p.y);
        masked_blit(p.sprite, page, p.frame * CELL, p.facing * CELL, x - cam_x, y - cam_y, CELL, CELL);
    }
}

void CBattle::DrawTurnFrame() {
    ClearGrid();
    // The side whose turn it is lends its camera; the monsters' is the map's, which the walking
    // monster drags along. The companion's turn without her lasts one pass and shows the same.
    const bool party = turn == TURN_HERO || (turn == TURN_COMPANION && companion_joined());
    const int cam_x = party ? player[turn].scroll_x : map.scroll_x;
    const int cam_y = party ? player[turn].scroll_y : map.scroll_y;
    DrawField(cam_x, cam_y);
    if (party) DrawGrid(turn, player[turn].move_range);
}
