// Fuzz target: the item list reader on arbitrary bytes; checks ids, the record limit and untouched records.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "TextLists.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    CInv items[MAX_ITEMS];
    for (CInv& it : items) it.name = "untouched";
    int count = -1;
    ListReadResult r = parse_equip_list(text, items, count);
    if (count < 0 || count > MAX_ITEMS) abort();
    if (!r.ok() && r.line < 1) abort();
    for (int k = 0; k < MAX_ITEMS; ++k) {
        if (k < count && (items[k].id != k + 1 || items[k].name.empty() || items[k].name.size() > EQUIP_MAX_WORD))
            abort();
        if (k >= count && items[k].name != "untouched") abort();
    }
    return 0;
}
