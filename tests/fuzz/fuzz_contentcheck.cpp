// Fuzzing the content check: any map that decodes, standing in for the story's maps, is checked
// without a crash, and every problem names a file and says what is wrong.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ContentCheck.h"
#include "FuzzSupport.h"

namespace {

// Lists the check reads besides the maps: three people, a potion among four items, one shop.
ContentSet& lists() {
    static ContentSet base = [] {
        ContentSet s;
        s.npc_list.text = "1\nElder\nHello\nnone\n\n\n0\n0\n\n2\nOld woman\nMy locket!\nprocquest\n\n\n0\n8\n\n"
                          "3\nGuard\nHalt\nyesno\nGo on\nStay\n2\n0\nGone";
        s.npc_list.ok = parse_npc_list(s.npc_list.text, s.people).ok();
        s.people.resize(3);
        s.item_list.text = "Dagger 4 1 0 5\nLocket 3 0 1 0\nHerb 7 0 0 0\nPotion 6 0 0 3";
        s.item_list.word_lines = list_word_lines(s.item_list.text);
        CInv items[MAX_ITEMS];
        int n = 0;
        s.item_list.ok = parse_equip_list(s.item_list.text, items, n).ok();
        s.items.assign(items, items + n);
        s.shop_list.text = "1 2 0 0 4";
        s.shop_list.word_lines = list_word_lines(s.shop_list.text);
        int read = 0;
        s.shop_list.ok = parse_shop_list(s.shop_list.text, s.stock, read).ok();
        s.shops_read = read / SHOP_ITEMS;
        return s;
    }();
    return base;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_setup();
    ContentMap m;
    std::string error;
    if (!decode_map_file(data, size, m.data, error)) return 0;
    m.tiles = 256;
    m.looks = 41;
    ContentSet set = lists();
    // The same map as a plain map and as the ones the story's rules look at most closely.
    for (const char* name : {"fuzz.map", "duskwing.map", "brightmere.map", "ruins.map", "worldmap.map", "castle.map"}) {
        m.file = name;
        set.maps[content_key(name)] = m;
    }
    for (const CheckProblem& p : check_content(set))
        if (p.file.empty() || p.what.empty()) abort();
    return 0;
}
