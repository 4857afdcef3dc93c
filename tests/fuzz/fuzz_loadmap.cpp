// Fuzzing the map file reader: any bytes either load into a well-formed map or are refused with the map untouched.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "CMap.h"
#include "FuzzSupport.h"

namespace {

void check(bool ok) {
    if (!ok) abort();
}

// The invariants every loaded map keeps: counts equal list sizes, tiles shaped to the stated size.
void check_shape(const CMap& m) {
    check(m.num_portals == m.portals.size() && m.num_events == m.events.size() && m.num_npcs == m.npcs.size());
    check(m.tiles.size() == m.layers && m.layers >= 2);
    for (const auto& layer : m.tiles) {
        check(layer.size() == m.height);
        for (const auto& row : layer) check(row.size() == m.width);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CFuzzHost& quiet = fuzz_setup();

    // A map already in play, so that a refused file can be seen to leave it alone.
    static CMap live;
    live = CMap();
    live.InitMap(3, 2, 16, 16, 2);
    live.events.resize(2);
    live.num_events = 2;
    live.events[1].done = true;
    const std::string before = live.EncodeMap("live.map");

    bool keep_row3 = size > 0 && (data[size - 1] & 1);
    int messages = quiet.messages;
    if (live.LoadMapBytes("fuzz.map", data, size, keep_row3) != 0) {
        check(quiet.messages == messages + 1);  // one message naming the problem
        check(live.EncodeMap("live.map") == before);
        check(live.events[1].done && live.num_events == 2);
        return 0;
    }
    check_shape(live);
    if (!keep_row3)
        for (const CNpc& n : live.npcs) check(n.sprite != 3);

    // What is loaded saves and loads again to the same bytes.
    std::string saved = live.EncodeMap("fuzz.map");
    CMap again;
    check(again.LoadMapBytes("fuzz.map", (const unsigned char*)saved.data(), saved.size(), true) == 0);
    check_shape(again);
    check(again.EncodeMap("fuzz.map") == saved);
    return 0;
}
