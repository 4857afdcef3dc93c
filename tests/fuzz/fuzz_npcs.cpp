// Fuzz target: the NPC list reader on arbitrary bytes; checks the shape of what it returns.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "TextLists.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<CNpcInfo> v;
    ListReadResult r = parse_npc_list(text, v);
    if (r.ok()) {
        // Always ends with the default entry.
        if (v.empty() || v.back().id != 1 || !v.back().name.empty()) abort();
    } else if (r.line < 1) {
        abort();
    }
    for (const CNpcInfo& n : v)
        if (n.name.size() > NPC_SHORT_LINE || n.talk.size() > NPC_LONG_LINE || n.done_text.size() > NPC_LONG_LINE)
            abort();
    return 0;
}
