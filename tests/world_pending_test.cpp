// Temporary stand-ins, for this test build only, for map, NPC and fill routines that other
// modules are still writing. Weak, so the real ones replace them as soon as they are linked.
#include "CDisplay.h"
#include "CMap.h"
#include "rtrans.h"

__attribute__((weak)) void CMap::InitMap(unsigned int w, unsigned int h, int tw, int th, unsigned int l) {
    width = w;
    height = h;
    tile_w = tw;
    tile_h = th;
    layers = (unsigned char)l;
    view_cols = (unsigned char)(screen_w() / tw + 1);
    view_rows = (unsigned char)(screen_h() / th + 1);
    tiles.assign(l, std::vector<std::vector<CTile>>(h, std::vector<CTile>(w)));
}

__attribute__((weak)) bool CMap::CheckNpcs(int x, int y) {
    for (unsigned int i = 0; i < num_npcs && i < npcs.size(); ++i) {
        unsigned int nx = npcs[i].x, ny = npcs[i].y;
        if ((unsigned)x < nx + tile_w && nx < (unsigned)x + tile_w && (unsigned)y < ny + tile_h && ny < (unsigned)y + tile_h)
            return true;
    }
    return false;
}

__attribute__((weak)) int CMap::LoadMap(std::string) { return 1; }
__attribute__((weak)) void CMap::LoadNpcs() {}
__attribute__((weak)) void blend_rect_trans(BITMAP*, int, int, int, int, int, int) {}
