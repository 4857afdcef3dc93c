// Whole-map pictures: the game's window drawing run over the map piece by piece onto one big bitmap.
#include "MapRender.h"

#include <algorithm>

#include "CDisplay.h"

namespace {
// Cells per piece: the game's view counts are bytes, so the map is drawn in windows of this size.
constexpr unsigned int PIECE = 128;
constexpr long long MAX_SIDE_PX = 32768;
constexpr long long MAX_PIXELS = 128ll << 20;
}  // namespace

BITMAP* render_map(CMap& m, int editor_layer, std::string& error) {
    long long w = (long long)m.width * m.tile_w, h = (long long)m.height * m.tile_h;
    if (w <= 0 || h <= 0 || w > MAX_SIDE_PX || h > MAX_SIDE_PX || w * h > MAX_PIXELS) {
        error = "the picture would be " + std::to_string(w) + " x " + std::to_string(h) + " pixels, too large to draw";
        return nullptr;
    }
    BITMAP* big = create_bitmap_ex(16, (int)w, (int)h);
    if (!big) {
        error = "no memory for a " + std::to_string(w) + " x " + std::to_string(h) + " picture";
        return nullptr;
    }
    clear_to_color(big, 0);

    BITMAP* old_page = Display.vscreen[2];
    unsigned char old_cols = m.view_cols, old_rows = m.view_rows;
    for (unsigned int r0 = 0; r0 < m.height; r0 += PIECE) {
        for (unsigned int c0 = 0; c0 < m.width; c0 += PIECE) {
            unsigned int cols = std::min(PIECE, m.width - c0), rows = std::min(PIECE, m.height - r0);
            BITMAP* piece = create_sub_bitmap(big, (int)c0 * m.tile_w, (int)r0 * m.tile_h, (int)cols * m.tile_w,
                                              (int)rows * m.tile_h);
            if (!piece) continue;
            Display.vscreen[2] = piece;
            m.view_cols = (unsigned char)cols;
            m.view_rows = (unsigned char)rows;
            unsigned int sx = c0 * (unsigned int)m.tile_w, sy = r0 * (unsigned int)m.tile_h;
            if (editor_layer >= 0)
                m.DrawMapEditor((unsigned char)editor_layer, sx, sy);
            else
                m.DrawMap(0, sx, sy);
            destroy_bitmap(piece);
        }
    }
    if (editor_layer < 0) {
        Display.vscreen[2] = big;
        m.DrawObjects(0, 0, 0);
    }
    Display.vscreen[2] = old_page;
    m.view_cols = old_cols;
    m.view_rows = old_rows;
    return big;
}
