// The one way into a map: read, apply the NPC list, place the party, re-centre, forget keys and ticks, settle the music.
#include "MapEntry.h"

#include <algorithm>

#include "CDisplay.h"
#include "CMap.h"
#include "CPlayer.h"
#include "Host.h"
#include "Timing.h"

namespace {

// A view carried over from another map, or from before a jump, means nothing here: start from
// the member's own centred view, kept on the map, so that where the walking rules keep the old
// view (exactly on a threshold) the kept one is sensible. Then the walking rules have the last word.
void centre_on(CPlayer& p) {
    const long long mw = (long long)map.GetWidth() * map.tile_w, mh = (long long)map.GetHeight() * map.tile_h;
    const long long sw = screen_w(), sh = screen_h();
    p.scroll_x = (int)std::clamp<long long>((long long)p.x - sw / 2, 0, std::max(0LL, mw - sw));
    p.scroll_y = (int)std::clamp<long long>((long long)p.y - sh / 2 - 1, 0, std::max(0LL, mh - sh - 1));
    p.UpdateMovement();  // with no step under way it only re-centres
}

// Ends the grid steps of both members and centres their views where they now stand.
void settle_party() {
    for (CPlayer& p : player) {
        p.moving = 0;
        p.move_x = p.move_y = 0;
        centre_on(p);
    }
}

}  // namespace

void place_party(unsigned int x, unsigned int y) {
    for (CPlayer& p : player) {
        p.x = x;
        p.y = y;
    }
    settle_party();
}

void place_party_on_start_tiles() {
    map.SetPositions();
    settle_party();
}

int enter_map(const std::string& path, Arrival where, int options) {
    const int read = map.LoadMap(path, (options & ENTRY_KEEP_ROW3_NPCS) != 0);
    if (read == 0) {
        map.LoadNpcs();
        if (where.kind == Arrival::START_TILES) place_party_on_start_tiles();
        if (where.kind == Arrival::AT_PIXEL) place_party(where.x, where.y);
    }
    // Keys held across the change (or the refusal's message box) are forgotten, and the ticks
    // spent reading or waiting on the message are dropped rather than run in one burst.
    if (read != 0 || !(options & ENTRY_KEEP_KEYS)) host->ForgetKeys();
    ResetTimers();
    if (read != 0) return -1;
    if (!(options & ENTRY_KEEP_MUSIC)) map.HandleMusic();
    return 0;
}
