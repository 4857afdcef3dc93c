// Temporary stand-ins, for this test build only, for NPC routines that their module is still
// writing. Weak, so the real ones replace them as soon as they are linked.
#include "CMap.h"

__attribute__((weak)) bool CMap::CheckNpcs(int x, int y) {
    for (unsigned int i = 0; i < num_npcs && i < npcs.size(); ++i) {
        unsigned int nx = npcs[i].x, ny = npcs[i].y;
        if ((unsigned)x < nx + tile_w && nx < (unsigned)x + tile_w && (unsigned)y < ny + tile_h && ny < (unsigned)y + tile_h)
            return true;
    }
    return false;
}

__attribute__((weak)) void CMap::LoadNpcs() {}
