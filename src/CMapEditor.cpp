// The map editor view: one layer drawn opaque with the map's invisible information marked in red.
#include "CMap.h"

#include "CDisplay.h"

namespace {

// The label the editor prints for an event, chosen by its whole type value.
const char* event_label(int type) {
    switch (type) {
        case EV_STEP_MESSAGE: return "M";
        case EV_TALK: return "S";
        case EV_SHOP: return "SH";
        default: return nullptr;
    }
}

}  // namespace

void CMap::DrawMapEditor(unsigned char layer, unsigned int sx, unsigned int sy) {
    BITMAP* page = Display.GetSurface();
    if (!page || tile_w <= 0 || tile_h <= 0) return;
    // A layer the map does not have shows nothing (guards a wrong layer number from the tool).
    if (layer >= tiles.size() || layer >= layers) return;
    const int red = makecol_depth(bitmap_color_depth(page), 255, 0, 0);
    unsigned int c0 = sx / (unsigned int)tile_w, r0 = sy / (unsigned int)tile_h;
    int ox = (int)(sx % (unsigned int)tile_w), oy = (int)(sy % (unsigned int)tile_h);
    const bool has_overlay = tiles.size() > 1;

    for (unsigned int r = 0; r < view_rows; ++r) {
        unsigned int R = r0 + r;
        if (R >= height || R >= tiles[layer].size()) continue;
        const std::vector<CTile>& row = tiles[layer][R];
        for (unsigned int c = 0; c < view_cols; ++c) {
            unsigned int C = c0 + c;
            if (C >= width || C >= row.size()) continue;
            int x = (int)c * tile_w - ox, y = (int)r * tile_h - oy;
            const CTile& cell = row[C];
            DrawTile((unsigned int)cell.tile, x, y);
            if (cell.flags & TF_BLOCKED) {
                line(page, x, y, x + tile_w, y + 16, red);
                line(page, x, y + 16, x + tile_w, y, red);
            }
            if (layer == 1 && has_overlay && (cell.flags & TF_EVENT)) {
                for (unsigned int i = 0; i < num_events && i < events.size(); ++i) {
                    const CEvent& e = events[i];
                    if (e.x != (int)C || e.y != (int)R) continue;
                    if (const char* label = event_label(e.type)) textprintf_ex(page, font, x, y, red, -1, "%s", label);
                }
            }
            if (layer == 0 && (cell.flags & TF_MARK)) line(page, x, y + 8, x + 16, y + 8, red);
            if (layer == 0 && (cell.flags & TF_WALKWAY)) textprintf_ex(page, font, x, y, red, -1, ".");
            if ((int)C == p0_x && (int)R == p0_y) textprintf_ex(page, font, x, y, red, -1, "P0");
            if ((int)C == p1_x && (int)R == p1_y) textprintf_ex(page, font, x, y, red, -1, "P1");
        }
    }
}
