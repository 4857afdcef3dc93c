// The one set of menu and shop pictures, loaded once for the whole run.
#include "MenuArt.h"

#include "DataFiles.h"

CMenuArt menu_art;

void CMenuArt::Load() {
    if (loaded) return;
    loaded = true;
    struct {
        BITMAP** slot;
        const char* file;
    } const pictures[] = {
        {&status_bmp, "./data/status.tga"},       {&selector, "./data/selector.bmp"},
        {&menu_choice, "./data/menuchoice.bmp"},  {&inv_choice, "./data/invchoice.bmp"},
        {&choice, "./data/choice.bmp"},           {&item_icons, "./data/items.bmp"},
        {&shop_bmp, "./data/shop.bmp"},           {&shop_select, "./data/shopselect.tga"},
    };
    missing.clear();
    for (const auto& p : pictures) {
        *p.slot = load_data_bitmap(p.file);
        if (!*p.slot) missing += std::string("\n  ") + p.file;
    }
    // The inventory page has the status page's picture: one copy serves both.
    inv_bmp = status_bmp;
}
