// Dialogue boxes: what is drawn where for short, one-row, one-page and two-page texts, and which key presses they wait for.
#include <gtest/gtest.h>

#include "CDisplay.h"
#include "CMain.h"
#include "CMap.h"
#include "CMenu.h"
#include "CPlayer.h"
#include "Interaction.h"
#include "PeopleRig.h"
#include "Quests.h"
#include "TempDir.h"
#include "Timing.h"

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
    // A red 30 x 10 arrow written as the game's data/arrow.bmp; the caller frees the bitmap.
    static BITMAP* WriteArrow() {
        BITMAP* arrow = create_bitmap(30, 10);
        clear_to_color(arrow, makecol(255, 0, 0));
        EXPECT_EQ(save_bitmap("data/arrow.bmp", arrow, nullptr), 0);
        return arrow;
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
    EXPECT_EQ(script.forgets, 1);
}

TEST_F(Dialogue, SeventyTwoCharactersAreSetOneByOneFromThirtyPlusABlank) {
    script.Space();
    std::string msg = Text(72);
    Talk("", msg);
    ExpectRows(msg, 0, 72, makecol(0, 0, 0), -1);
    EXPECT_EQ(Diff(), "");
}

TEST_F(Dialogue, ThreeHundredSixtyCharactersFillOnePageWithoutArrow) {
    TempDir dir(TempDir::AS_GAME_FOLDER);
    destroy_bitmap(WriteArrow());
    script.Space();  // one press is enough
    std::string msg = Text(360);
    Talk("", msg);
    ExpectRows(msg, 0, 360, makecol(0, 0, 0), -1);
    EXPECT_EQ(Diff(), "");
}

TEST_F(Dialogue, ThreeHundredSixtyOneCharactersTurnThePageOnAFreshPress) {
    TempDir dir(TempDir::AS_GAME_FOLDER);
    BITMAP* arrow = WriteArrow();
    std::string msg = Text(361);
    {
        script.Space();
        EXPECT_THROW(Talk("", msg), ScriptEnd);  // waits for a second press
    }
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

TEST_F(Dialogue, MissingArrowAndSoundStillWaitForThePageTurn) {
    TempDir dir(TempDir::AS_GAME_FOLDER);
    script.Space(2);
    Talk("", Text(400));
    EXPECT_GE(script.ticks_run, 5u);
    EXPECT_TRUE(script.messages.empty());
}

TEST_F(Dialogue, SpaceHeldIntoTheBoxDoesNotCloseIt) {
    script.Held(GK_SPACE).Ticks(5).Up(GK_SPACE).Ticks(2).Space();
    Talk("", "Hello");
    EXPECT_GE(script.ticks_run, 8u);
}

TEST_F(Dialogue, TalkfFillsThePlaceholderAndCutsAt254) {
    script.Space(2);
    Talkf("", "You find %s!", "Sword");
    Talkf("", "%s", Text(400).c_str());
    ASSERT_EQ(script.said.size(), 2u);
    EXPECT_EQ(script.said[0].second, "You find Sword!");
    EXPECT_EQ(script.said[1].second.size(), 254u);
}

TEST_F(Dialogue, QuestionBoxReturnsTheScreenAndKeepsTheKeyboard) {
    script.Space();
    EXPECT_EQ(Talk("", "Sure?", true), screen);
    EXPECT_EQ(script.forgets, 0);
    EXPECT_GE(script.flushes, 1);
}

TEST_F(Dialogue, SecondPageOfTheQuestionBoxIsWhiteOnBlack) {
    script.Space(2);
    std::string msg = Text(361);
    Talk("", msg, true);
    textout_ex(expected, font, "", 30, YSTART + 5, makecol(0, 0, 0), -1);
    ExpectRows(msg, 0, 360, makecol(0, 0, 0), -1);
    ExpectRows(msg, 360, 361, makecol(255, 255, 255), makecol(0, 0, 0));
    EXPECT_EQ(Diff(), "");
}

TEST_F(Dialogue, WithoutTheBoxPictureAPlainPanelHoldsTheWords) {
    destroy_bitmap(text_box);
    text_box = nullptr;
    script.Space();
    Talk("Tobin", "Hi");
    EXPECT_EQ(getpixel(screen, 300, YSTART + 40), makecol(192, 192, 192));
    clear_to_color(expected, makecol(0, 0, 0));
    rectfill(expected, 0, YSTART, 639, 479, makecol(192, 192, 192));
    rect(expected, 0, YSTART, 639, 479, makecol(64, 64, 64));
    textout_ex(expected, font, "Tobin", 30, YSTART + 5, makecol(25, 25, 25), -1);
    textout_ex(expected, font, "Hi", 30, YSTART + 15, makecol(0, 0, 0), -1);
    EXPECT_EQ(Diff(), "");
    text_box = create_bitmap(640, 80);  // for TearDown
}

}  // namespace
