// Dialogue boxes: what is drawn where for 71, 72, 360 and 361 characters, and which key presses they wait for.
#include <gtest/gtest.h>

#include "CMain.h"
#include "Interaction.h"
#include "PeopleRig.h"
#include "Timing.h"
#include "TempDir.h"

namespace {

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
    void ExpectRows(const std::string& msg, size_t from, size_t to, int fg, int bg) {
        int row = 0, col = 0;
        for (size_t i = from; i < to; ++i) {
            ++col;
            char ch[2] = {msg[i], 0};
            textout_ex(expected, font, ch, 30 + col * 8, YSTART + 15 + 10 * row, fg, bg);
            if ((i + 1) % 72 == 0) ++row, col = 0;
        }
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

TEST_F(Dialogue, SeventyOneCharactersAreOneStringAtThirty) {
    script.Space();
    std::string msg = Text(71);
    Talk("Tobin", msg);
    textout_ex(expected, font, "Tobin", 30, YSTART + 5, makecol(25, 25, 25), -1);
    textout_ex(expected, font, msg.c_str(), 30, YSTART + 15, makecol(0, 0, 0), -1);
    EXPECT_EQ(Diff(), "");
}

TEST_F(Dialogue, SeventyTwoToThreeHundredSixtyCharactersAreSetOneByOneOnOnePage) {
    for (size_t n : {72, 360}) {
        script.Clear();
        script.Space();
        std::string msg = Text(n);
        Talk("", msg);
        ExpectRows(msg, 0, n, makecol(0, 0, 0), -1);
        EXPECT_EQ(Diff(), "") << n;
    }
}

TEST_F(Dialogue, ThreeHundredSixtyOneCharactersTurnThePageOnAFreshPress) {
    TempDir dir(TempDir::AS_GAME_FOLDER);
    BITMAP* arrow = create_bitmap(30, 10);
    clear_to_color(arrow, makecol(255, 0, 0));
    ASSERT_EQ(save_bitmap("data/arrow.bmp", arrow, nullptr), 0);
    std::string msg = Text(361);
    script.Space();
    EXPECT_THROW(Talk("", msg), ScriptEnd);  // waits for a second press
    script.Clear();
    clear_to_color(screen, makecol(0, 0, 0));
    script.Space(2);
    Talk("", msg);
    blit(arrow, expected, 0, 0, 600, YSTART + 62, 30, 10);
    rectfill(expected, 15, YSTART + 14, 615, YSTART + 70, makecol(192, 192, 192));
    ExpectRows(msg, 360, 361, makecol(0, 0, 0), makecol(192, 192, 192));
    EXPECT_EQ(Diff(), "");
    destroy_bitmap(arrow);
}

TEST_F(Dialogue, SpaceHeldIntoTheBoxDoesNotCloseIt) {
    script.Held(GK_SPACE).Ticks(5).Up(GK_SPACE).Ticks(2).Space();
    Talk("", "Hello");
    EXPECT_GE(script.ticks_run, 8u);
}

}  // namespace
