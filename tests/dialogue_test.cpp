// Dialogue boxes: where the rows of a text land, the pages of long texts, the presses they wait for, and Talkf.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "CMain.h"
#include "Interaction.h"
#include "PeopleRig.h"
#include "TempDir.h"
#include "Timing.h"

namespace {

// A row of text as it must stand on the screen: characters [from, from + len) of the message,
// as one string whose first character is at (x, y).
struct Row {
    size_t from, len;
    int x, y;
};

class Dialogue : public PeopleRig {
protected:
    static constexpr int YSTART = 480 - 80;
    BITMAP* expected = nullptr;
    void SetUp() override {
        PeopleRig::SetUp();
        expected = create_bitmap(640, 480);
        clear_to_color(expected, makecol(0, 0, 0));
        masked_blit(text_box, expected, 0, 0, 0, YSTART, 640, 80);
    }
    void TearDown() override {
        destroy_bitmap(expected);
        PeopleRig::TearDown();
    }
    void ExpectRows(const std::string& msg, const std::vector<Row>& rows, int fg, int bg) {
        for (const Row& r : rows) textout_ex(expected, font, msg.substr(r.from, r.len).c_str(), r.x, r.y, fg, bg);
    }
    // The first pixel where the screen differs from the expected picture, or "" when none does.
    std::string Diff() {
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                if (getpixel(screen, x, y) != getpixel(expected, x, y))
                    return "differs at " + std::to_string(x) + "," + std::to_string(y);
        return "";
    }
    static std::string Text(size_t n) {
        std::string s;
        for (size_t i = 0; i < n; ++i) s += (char)('a' + i % 26);
        return s;
    }
};

// Up to 71 characters the text is one string at x 30; from 72 on it is set one character per
// blank width from x 38, 72 to a row, five rows to a page.
TEST_F(Dialogue, OneLineUpToSeventyOneCharactersThenRowsOfSeventyTwo) {
    const int Y0 = YSTART + 15;
    struct Case {
        size_t n;
        std::vector<Row> rows;
    } cases[] = {
        {71, {{0, 71, 30, Y0}}},
        {72, {{0, 72, 38, Y0}}},
        {150, {{0, 72, 38, Y0}, {72, 72, 38, Y0 + 10}, {144, 6, 38, Y0 + 20}}},
        {360, {{0, 72, 38, Y0}, {72, 72, 38, Y0 + 10}, {144, 72, 38, Y0 + 20}, {216, 72, 38, Y0 + 30},
               {288, 72, 38, Y0 + 40}}},
    };
    for (const Case& c : cases) {
        script.Clear();
        script.Space();
        clear_to_color(screen, makecol(0, 0, 0));
        clear_to_color(expected, makecol(0, 0, 0));
        masked_blit(text_box, expected, 0, 0, 0, YSTART, 640, 80);
        const std::string msg = Text(c.n);
        Talk("Tobin", msg);
        textout_ex(expected, font, "Tobin", 30, YSTART + 5, makecol(25, 25, 25), -1);
        ExpectRows(msg, c.rows, makecol(0, 0, 0), -1);
        EXPECT_EQ(Diff(), "") << c.n;
    }
}

// A text longer than a page goes on over as many pages as it needs, each turned by a fresh press
// (the yes/no box as well); the last page stands alone in the cleared area, under the arrow in
// the plain box, white on black in the yes/no box.
TEST_F(Dialogue, LongTextsTurnPageAfterPageUntilAllIsShown) {
    TempDir dir(TempDir::AS_GAME_FOLDER);
    BITMAP* arrow = create_bitmap(30, 10);
    clear_to_color(arrow, makecol(255, 0, 0));
    ASSERT_EQ(save_bitmap("data/arrow.bmp", arrow, nullptr), 0);
    const int Y0 = YSTART + 15;
    const std::vector<Row> third_page = {{720, 72, 38, Y0}, {792, 72, 38, Y0 + 10}, {864, 72, 38, Y0 + 20},
                                         {936, 72, 38, Y0 + 30}, {1008, 15, 38, Y0 + 40}};
    struct Case {
        size_t n;
        bool yesno;
        int pages;
        std::vector<Row> last_page;
    } cases[] = {
        {361, false, 2, {{360, 1, 38, Y0}}},
        {720, false, 2, {{360, 72, 38, Y0}, {432, 72, 38, Y0 + 10}, {504, 72, 38, Y0 + 20},
                         {576, 72, 38, Y0 + 30}, {648, 72, 38, Y0 + 40}}},
        {1023, false, 3, third_page},
        {1023, true, 3, third_page},
    };
    for (const Case& c : cases) {
        const std::string msg = Text(c.n);
        auto show = [&] { c.yesno ? (void)Talk("", msg, true) : Talk("", msg); };
        script.Clear();
        script.Space(c.pages - 1);
        EXPECT_EQ(Run(show), RunEnd::SCRIPT_END) << c.n << " waits for one more press";
        script.Clear();
        script.Space(c.pages);
        clear_to_color(screen, makecol(0, 0, 0));
        ASSERT_EQ(Run(show), RunEnd::RETURNED) << c.n;
        const int fg = c.yesno ? makecol(255, 255, 255) : makecol(0, 0, 0);
        const int bg = c.yesno ? makecol(0, 0, 0) : makecol(192, 192, 192);
        clear_to_color(expected, makecol(0, 0, 0));
        masked_blit(text_box, expected, 0, 0, 0, YSTART, 640, 80);
        if (!c.yesno) blit(arrow, expected, 0, 0, 600, YSTART + 62, 30, 10);
        rectfill(expected, 15, YSTART + 14, 615, YSTART + 70, bg);
        ExpectRows(msg, c.last_page, fg, bg);
        EXPECT_EQ(Diff(), "") << c.n << (c.yesno ? " yes/no" : "");
    }
    destroy_bitmap(arrow);
}

// A SPACE still down from the press that opened a box neither closes it nor turns its page;
// released and pressed again, it does.
TEST_F(Dialogue, SpaceHeldIntoABoxNeitherClosesItNorTurnsItsPage) {
    struct Case {
        const char* box;
        int presses;
        std::function<void()> open;
    } cases[] = {
        {"Talk", 1, [] { Talk("", "Hello"); }},
        {"Talk of two pages", 2, [] { Talk("", Text(361)); }},
        {"Talkf", 1, [] { Talkf("", "You find %s!", "a key"); }},
        {"yes/no", 1, [] { Talk("", "Stay the night?", true); }},
    };
    for (const Case& c : cases)
        for (int taps : {c.presses - 1, c.presses}) {
            script.Clear();
            script.Held(GK_SPACE).Ticks(30).Up(GK_SPACE).Space(taps).Grace(0);
            EXPECT_EQ(Run(c.open), taps < c.presses ? RunEnd::SCRIPT_END : RunEnd::RETURNED) << c.box << taps;
        }
}

TEST_F(Dialogue, TalkfFillsItsPlaceholdersAndCutsAt254Characters) {
    const std::string long_name(300, 'x');
    script.Space(2);
    Talkf("", "You find %s!", "Potion");
    Talkf("Tobin", "%s", long_name.c_str());
    ASSERT_EQ(script.said.size(), 2u);
    EXPECT_EQ(script.said[0], std::make_pair(std::string(""), std::string("You find Potion!")));
    EXPECT_EQ(script.said[1].first, "Tobin");
    EXPECT_EQ(script.said[1].second, long_name.substr(0, 254));
}

}  // namespace
