// Drawing the current map: tile layers, NPCs and the translucent marks, window by window.
#include "CMap.h"

#include <cstdint>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "CDisplay.h"
#include "Grid.h"
#include "rtrans.h"

SheetCells sheet_cells(int pic_w, int pic_h, int cell_w, int cell_h) {
    if (pic_w <= 0 || pic_h <= 0 || cell_w <= 0 || cell_h <= 0) return {0, 0};
    return {(unsigned int)(pic_w / cell_w), (unsigned int)(pic_h / cell_h)};
}

// Where tile n (1-based) lies in a tileset of cells w x h pixels. Tiles are numbered
// row by row, so the row is (n - 1) div cells-per-row. False for tile 0, for numbers past
// the last cell and for a missing or degenerate tileset: nothing may be read then.
static bool tile_source(const BITMAP* set, unsigned int n, int w, int h, int* sx, int* sy) {
    if (!set || n == 0) return false;
    const SheetCells cells = sheet_cells(set->w, set->h, w, h);
    if (cells.across == 0 || n > cells.across * cells.down) return false;
    *sx = (int)((n - 1) % cells.across) * w;
    *sy = (int)((n - 1) / cells.across) * h;
    return true;
}

// Masked copy of one row: destination pixels stay where the source has the mask colour.
// Eight 16-bit or four 32-bit pixels at a time with SSE2 (always present on x86-64).
static void masked_row(uint16_t* d, const uint16_t* s, int w, uint16_t mask) {
    int i = 0;
#ifdef __SSE2__
    const __m128i m = _mm_set1_epi16((short)mask);
    for (; i + 8 <= w; i += 8) {
        __m128i sv = _mm_loadu_si128((const __m128i*)(s + i));
        __m128i dv = _mm_loadu_si128((const __m128i*)(d + i));
        __m128i hole = _mm_cmpeq_epi16(sv, m);
        _mm_storeu_si128((__m128i*)(d + i), _mm_or_si128(_mm_and_si128(hole, dv), _mm_andnot_si128(hole, sv)));
    }
#endif
    for (; i < w; ++i) d[i] = s[i] == mask ? d[i] : s[i];
}

static void masked_row(uint32_t* d, const uint32_t* s, int w, uint32_t mask) {
    int i = 0;
#ifdef __SSE2__
    const __m128i m = _mm_set1_epi32((int)mask);
    for (; i + 4 <= w; i += 4) {
        __m128i sv = _mm_loadu_si128((const __m128i*)(s + i));
        __m128i dv = _mm_loadu_si128((const __m128i*)(d + i));
        __m128i hole = _mm_cmpeq_epi32(sv, m);
        _mm_storeu_si128((__m128i*)(d + i), _mm_or_si128(_mm_and_si128(hole, dv), _mm_andnot_si128(hole, sv)));
    }
#endif
    for (; i < w; ++i) d[i] = s[i] == mask ? d[i] : s[i];
}

// Copies a w x h cell between two memory bitmaps of the same pixel size row by row.
template <typename Pixel>
static void copy_cell(BITMAP* src, int sx, int sy, BITMAP* dst, int dx, int dy, int w, int h, bool masked) {
    const Pixel mask = (Pixel)bitmap_mask_color(src);
    for (int r = 0; r < h; ++r) {
        const Pixel* s = (const Pixel*)src->line[sy + r] + sx;
        Pixel* d = (Pixel*)dst->line[dy + r] + dx;
        if (masked)
            masked_row(d, s, w, mask);
        else
            memcpy(d, s, (size_t)w * sizeof(Pixel));
    }
}

// Draws a cell of the tileset or spriteset. Cells lying wholly inside the page's clip area
// on memory bitmaps of one depth take the direct path; the rest go through the library,
// which clips.
static void draw_cell(BITMAP* src, int sx, int sy, BITMAP* dst, int dx, int dy, int w, int h, bool masked) {
    int depth = bitmap_color_depth(src);
    if (is_memory_bitmap(src) && is_memory_bitmap(dst) && depth == bitmap_color_depth(dst) && dx >= dst->cl &&
        dy >= dst->ct && dx + w <= dst->cr && dy + h <= dst->cb) {
        if (depth == 15 || depth == 16) {
            copy_cell<uint16_t>(src, sx, sy, dst, dx, dy, w, h, masked);
            return;
        }
        if (depth == 32) {
            copy_cell<uint32_t>(src, sx, sy, dst, dx, dy, w, h, masked);
            return;
        }
    }
    if (masked)
        masked_blit(src, dst, sx, sy, dx, dy, w, h);
    else
        blit(src, dst, sx, sy, dx, dy, w, h);
}

void CMap::DrawTile(unsigned int n, int x, int y) {
    BITMAP* page = Display.GetSurface();
    int sx, sy;
    if (!page || !tile_source(tileset, n, tile_w, tile_h, &sx, &sy)) return;
    draw_cell(tileset, sx, sy, page, x, y, tile_w, tile_h, false);
}

void CMap::DrawTileTrans(unsigned int n, int x, int y) {
    BITMAP* page = Display.GetSurface();
    int sx, sy;
    if (!page || !tile_source(tileset, n, tile_w, tile_h, &sx, &sy)) return;
    draw_cell(tileset, sx, sy, page, x, y, tile_w, tile_h, true);
}

// The part of the map under the camera: first cell, pixel shift and the number of cells to
// visit, cut to the map and to the rows and columns that really exist in the layers.
struct MapWindow {
    unsigned int c0, r0;   // first map column and row shown
    int ox, oy;            // how far the first cell sticks out past the screen's top-left
    unsigned int cols, rows;
};

static bool map_window(const CMap& m, unsigned int sx, unsigned int sy, MapWindow* w) {
    if (m.tile_w <= 0 || m.tile_h <= 0) return false;
    w->c0 = sx / (unsigned int)m.tile_w;
    w->ox = (int)(sx % (unsigned int)m.tile_w);
    w->r0 = sy / (unsigned int)m.tile_h;
    w->oy = (int)(sy % (unsigned int)m.tile_h);
    w->cols = w->c0 < m.width ? m.width - w->c0 : 0;
    w->rows = w->r0 < m.height ? m.height - w->r0 : 0;
    if (w->cols > m.view_cols) w->cols = m.view_cols;
    if (w->rows > m.view_rows) w->rows = m.view_rows;
    return w->cols > 0 && w->rows > 0;
}

// Whether every row of the window exists in this layer (guards maps whose lists are shorter
// than their stated size, so drawing never reads past them).
static bool layer_covers(const CMap& m, unsigned int layer, const MapWindow& w) {
    if (layer >= m.tiles.size() || layer >= m.layers) return false;
    const auto& rows = m.tiles[layer];
    if (rows.size() < w.r0 + w.rows) return false;
    for (unsigned int r = 0; r < w.rows; ++r)
        if (rows[w.r0 + r].size() < w.c0 + w.cols) return false;
    return true;
}

void CMap::DrawMap(unsigned char layer, unsigned int sx, unsigned int sy) {
    BITMAP* page = Display.GetSurface();
    MapWindow w;
    if (!page || !map_window(*this, sx, sy, &w)) return;
    bool base = layer_covers(*this, layer, w);
    bool over = layer_covers(*this, 1, w);
    if (!base && !over) return;
    for (unsigned int r = 0; r < w.rows; ++r) {
        int y = (int)r * tile_h - w.oy;
        const CTile* ground = base ? &tiles[layer][w.r0 + r][w.c0] : nullptr;
        const CTile* top = over ? &tiles[1][w.r0 + r][w.c0] : nullptr;
        for (unsigned int c = 0; c < w.cols; ++c) {
            int x = (int)c * tile_w - w.ox;
            if (ground) DrawTile((unsigned int)ground[c].tile, x, y);
            if (top && top[c].tile != 0) DrawTileTrans((unsigned int)top[c].tile, x, y);
        }
    }
}

void CMap::DrawMapTrans(unsigned char layer, unsigned int sx, unsigned int sy) {
    BITMAP* page = Display.GetSurface();
    MapWindow w;
    if (!page || !map_window(*this, sx, sy, &w) || !layer_covers(*this, layer, w)) return;
    for (unsigned int r = 0; r < w.rows; ++r) {
        int y = (int)r * tile_h - w.oy;
        const CTile* row = &tiles[layer][w.r0 + r][w.c0];
        for (unsigned int c = 0; c < w.cols; ++c)
            if (row[c].tile != 0) DrawTileTrans((unsigned int)row[c].tile, (int)c * tile_w - w.ox, y);
    }
}

void CMap::DrawObjects(unsigned char, unsigned int sx, unsigned int sy) {
    BITMAP* page = Display.GetSurface();
    if (!page || !spriteset || tile_w <= 0 || tile_h <= 0) return;
    for (unsigned int i = 0; i < num_npcs && i < npcs.size(); ++i) {
        const CNpc& n = npcs[i];
        int src_x = n.frame * CELL;  // sprite columns are the character grid
        int src_y = n.sprite * tile_h;
        // A look or frame past the sheet's edge has no picture.
        if (src_x + tile_w > spriteset->w || src_y + tile_h > spriteset->h) continue;
        draw_cell(spriteset, src_x, src_y, page, (int)(n.x - sx), (int)(n.y - sy), tile_w, tile_h, true);
    }
}

void CMap::RenderScene(int sx, int sy) {
    ::map.DrawMap(0, (unsigned int)sx, (unsigned int)sy);
    ::map.DrawMapTrans(1, (unsigned int)sx, (unsigned int)sy);
    ::map.DrawObjects(0, (unsigned int)sx, (unsigned int)sy);
}

void CMap::TransTileGfx(unsigned int on, int x, int y) {
    BITMAP* page = Display.GetSurface();
    if (!on || !page) return;
    blend_rect_trans(page, x, y, tile_w, tile_h, makecol(255, 0, 0), 150);
}

void CMap::TransTile(int on, unsigned int sx, unsigned int sy) {
    if (tile_w <= 0 || tile_h <= 0) return;
    int ox = (int)(sx % (unsigned int)tile_w);
    int oy = (int)(sy % (unsigned int)tile_h);
    for (unsigned int r = 0; r < view_rows && r <= height; ++r)
        for (unsigned int c = 0; c < view_cols && c <= width; ++c)
            TransTileGfx((unsigned int)on, (int)c * tile_w - ox, (int)r * tile_h - oy);
}
