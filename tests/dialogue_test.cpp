// Dialogue boxes: where the rows of a text land, the pages of long texts, the presses they wait for, and Talkf.
#include <gtest/gtest.h>

#include <functional>

#include "CMain.h"
#include "Interaction.h"
#include "PeopleRig.h"
#include "TempDir.h"
#include "Timing.h"

namespace {

const int YSTART = 480 - 80, Y0 = YSTART + 15;

std::string Text(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += (char)('a' + i % 26);
    return s;
}

// The first pixel where the screen differs from `want`, or "" when none does.
std::string Diff(BITMAP* want) {
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            if (getpixel(screen, x, y) != getpixel(want, x, y)) return std::to_string(x) + "," + std::to_string(y);
    return "";
}

using Dialogue = PeopleRig;

// Up to 71 characters a text is one string at x 30; longer, it is set one character per blank width
// from x 38, 72 to a row, five rows to a page, and each page waits for a fresh press. The last
// page stands alone in the cleared area: under the arrow in the plain box, white on black in the
// yes/no box.
TEST_F(Dialogue, RowsAndPagesOfATextLandWhereTheyMust) {
    TempDir dir(TempDir::AS_GAME_FOLDER);
    BITMAP* arrow = create_bitmap(30, 10);
    clear_to_color(arrow, makecol(255, 0, 0));
    ASSERT_EQ(save_bitmap("data/arrow.bmp", arrow, nullptr), 0);
    BITMAP* want = create_bitmap(640, 480);
    const struct { size_t n; bool yesno; int pages; } cases[] = {
        {71, false, 1}, {72, false, 1}, {150, false, 1}, {360, false, 1},
        {361, false, 2}, {720, false, 2}, {1023, false, 3}, {1023, true, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.n) + (c.yesno ? " yes/no" : ""));
        const std::string msg = Text(c.n), who = c.pages == 1 ? "Tobin" : "";
        auto show = [&] { c.yesno ? (void)Talk(who, msg, true) : Talk(who, msg); };
        script.Clear().Space(c.pages - 1);
        EXPECT_EQ(Run(show), RunEnd::SCRIPT_END) << "waits for one more press";
        script.Clear().Space(c.pages);
        clear_to_color(screen, makecol(0, 0, 0));
        ASSERT_EQ(Run(show), RunEnd::RETURNED);

        const int fg = c.yesno ? makecol(255, 255, 255) : makecol(0, 0, 0);
        const int bg = c.pages == 1 ? -1 : c.yesno ? makecol(0, 0, 0) : makecol(192, 192, 192);
        clear_to_color(want, makecol(0, 0, 0));
        masked_blit(text_box, want, 0, 0, 0, YSTART, 640, 80);
        if (c.pages == 1) textout_ex(want, font, "Tobin", 30, YSTART + 5, makecol(25, 25, 25), -1);
        if (c.pages > 1 && !c.yesno) blit(arrow, want, 0, 0, 600, YSTART + 62, 30, 10);
        if (c.pages > 1) rectfill(want, 15, YSTART + 14, 615, YSTART + 70, bg);
        if (c.n <= 71) textout_ex(want, font, msg.c_str(), 30, Y0, fg, bg);
        for (size_t at = 360 * (c.pages - 1), row = 0; c.n > 71 && at < c.n && row < 5; at += 72, ++row)
            textout_ex(want, font, msg.substr(at, 72).c_str(), 38, Y0 + 10 * (int)row, fg, bg);
        EXPECT_EQ(Diff(want), "");
    }
    destroy_bitmap(want);
    destroy_bitmap(arrow);
}

// A SPACE still down from the press that opened a box neither closes it nor turns its page;
// released and pressed again, it does.
TEST_F(Dialogue, SpaceHeldIntoABoxNeitherClosesItNorTurnsItsPage) {
    const struct { const char* box; int presses; std::function<void()> open; } cases[] = {
        {"Talk", 1, [] { Talk("", "Hello"); }},
        {"Talk of two pages", 2, [] { Talk("", Text(361)); }},
        {"Talkf", 1, [] { Talkf("", "You find %s!", "a key"); }},
        {"yes/no", 1, [] { Talk("", "Stay the night?", true); }},
    };
    for (const auto& c : cases)
        for (int taps : {c.presses - 1, c.presses}) {
            script.Clear().Held(GK_SPACE).Ticks(30).Up(GK_SPACE).Space(taps).Grace(0);
            EXPECT_EQ(Run(c.open), taps < c.presses ? RunEnd::SCRIPT_END : RunEnd::RETURNED) << c.box << taps;
        }
}

TEST_F(Dialogue, TalkfFillsItsPlaceholdersAndCutsAt254Characters) {
    const std::string long_name(300, 'x');
    script.Space(2);
    Talkf("", "You find %s!", "Potion");
    Talkf("Tobin", "%s", long_name.c_str());
    const decltype(script.said) want = {{"", "You find Potion!"}, {"Tobin", long_name.substr(0, 254)}};
    EXPECT_EQ(script.said, want);
}

}  // namespace
