// The fixture of the status menu and shop tests.
#include "MenuRig.h"

#include "Sound.h"

namespace {

std::vector<std::string>* heard = nullptr;
void record_sound(const std::string& file) {
    if (heard) heard->push_back(file);
}

BITMAP* plain(int w, int h, int colour) {
    BITMAP* b = create_bitmap(w, h);
    clear_to_color(b, colour);
    return b;
}

}  // namespace

int MenuRig::Parchment() { return makecol(236, 224, 192); }
int MenuRig::Band() { return makecol(120, 120, 152); }
int MenuRig::Frame() { return makecol(32, 48, 112); }
int MenuRig::Selector() { return makecol(0, 200, 0); }
int MenuRig::Icon(int type) { return makecol(40 + 20 * type, 160, 100); }

void MenuRig::SetUp() {
    PeopleRig::SetUp();
    script.Grace(3);
    saved_ = menu_art;
    CMenuArt& a = menu_art;
    a.status_bmp = plain(640, 480, Parchment());
    rectfill(a.status_bmp, 0, 184, 639, 258, Band());
    a.inv_bmp = a.status_bmp;
    a.selector = plain(9, 9, Selector());
    a.menu_choice = plain(280, 56, Frame());
    a.inv_choice = plain(260, 56, Frame());
    a.choice = plain(205, 76, Frame());
    a.item_icons = create_bitmap(64, 8);
    for (int t = 0; t < 8; ++t) rectfill(a.item_icons, 8 * t, 0, 8 * t + 7, 7, Icon(t));
    a.shop_bmp = plain(260, 150, Parchment());
    a.shop_select = plain(380, 100, Frame());
    a.loaded = true;
    heard = &sounds;
    sound_watch = record_sound;
}

void MenuRig::TearDown() {
    sound_watch = nullptr;
    heard = nullptr;
    CMenuArt& a = menu_art;
    for (BITMAP* b : {a.status_bmp, a.selector, a.menu_choice, a.inv_choice, a.choice, a.item_icons, a.shop_bmp, a.shop_select})
        destroy_bitmap(b);
    menu_art = saved_;
    PeopleRig::TearDown();
}

::testing::AssertionResult MenuRig::CursorAt(int x, int y) const {
    for (int dy = -1; dy <= 9; ++dy)
        for (int dx = -1; dx <= 9; ++dx) {
            const bool inside = dx >= 0 && dx < 9 && dy >= 0 && dy < 9;
            if ((ScreenPixel(x + dx, y + dy) == Selector()) != inside)
                return ::testing::AssertionFailure() << "the cursor is not at " << x << "," << y << " (pixel " << x + dx
                                                     << "," << y + dy << ")";
        }
    return ::testing::AssertionSuccess();
}
