// Fuzz target: the shop list reader on arbitrary bytes; every stored id must name an item or nothing.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "TextLists.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    int stock[MAX_SHOPS][SHOP_ITEMS];
    for (auto& row : stock)
        for (int& v : row) v = -7;  // marks entries the reader did not reach
    int read = -1;
    ListReadResult r = parse_shop_list(text, stock, read);
    if (!r.ok() && r.line < 1) abort();
    if (read < 0 || read > MAX_SHOPS * SHOP_ITEMS) abort();
    for (int k = 0; k < MAX_SHOPS * SHOP_ITEMS; ++k) {
        int v = stock[k / SHOP_ITEMS][k % SHOP_ITEMS];
        if (k < read && (v < 0 || v > MAX_ITEMS)) abort();
        if (k >= read && v != -7) abort();
    }
    return 0;
}
