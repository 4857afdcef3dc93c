// Dialogue boxes: the text box at the bottom of the screen, its page break and the wait for SPACE.
#include "Interaction.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "CDisplay.h"
#include "DataFiles.h"
#include "Host.h"
#include "ScreenKit.h"
#include "Timing.h"

BITMAP* text_box = nullptr;
void (*talk_watch)(const std::string& from, const std::string& msg) = nullptr;

namespace {

// Text layout of the box, relative to its top edge.
constexpr int TEXT_X = 30;          // left edge of the speaker and of one-line text
constexpr int NAME_DY = 5;          // speaker name below the box's top edge
constexpr int TEXT_DY = 15;         // first text row below the box's top edge
constexpr int ROW_PITCH = 10;
constexpr size_t ROW_CHARS = 72;    // hard break after every 72nd character
constexpr size_t PAGE_CHARS = 360;  // five rows on the first page
constexpr size_t ONE_LINE = 71;     // drawn as one string up to this length
constexpr int ARROW_X = 600, ARROW_DY = 62;
constexpr int CLEAR_X1 = 15, CLEAR_DY1 = 14, CLEAR_X2 = 615, CLEAR_DY2 = 70;

// How the three kinds of box differ.
struct BoxStyle {
    int speaker;       // speaker colour
    int first_page;    // multi-row text colour on the first page
    int second_fg;     // second page text colour
    int second_bg;     // second page text background
    bool talk_break;   // page break with arrow and sound (Talk only); every box clears the text area
};

// Height of the plain box drawn when the box picture is missing, the size of the usual picture.
constexpr int PLAIN_BOX_H = 80;

int box_top() { return screen_h() - (text_box ? text_box->h : PLAIN_BOX_H); }

// Waits until SPACE goes down afresh: a SPACE still down from the press that opened the box
// (or turned its page) does not count. The box stays on the screen as drawn; the window's close
// button asks whether to quit meanwhile.
void wait_for_space() { WaitForPress(GK_SPACE); }

// Characters [from, to) of msg in rows of 72, each character one blank-width apart.
void draw_rows(const std::string& msg, size_t from, size_t to, int ystart, int fg, int bg) {
    const int font_width = text_length(font, " ");
    int row = 0, col = 0;
    char ch[2] = {0, 0};
    for (size_t i = from; i < to; ++i) {
        ++col;
        ch[0] = msg[i];
        textout_ex(screen, font, ch, TEXT_X + col * font_width, ystart + TEXT_DY + ROW_PITCH * row, fg, bg);
        if ((i + 1) % ROW_CHARS == 0) {
            ++row;
            col = 0;
        }
    }
}

// The page break of the plain Talk: arrow, confirm sound, fresh SPACE, cleared text area.
void talk_page_break(int ystart) {
    BITMAP* arrow = load_data_bitmap("./data/arrow.bmp");
    host->FlushKeyBuffer();
    if (arrow) blit(arrow, screen, 0, 0, ARROW_X, ystart + ARROW_DY, arrow->w, arrow->h);
    SAMPLE* chime = load_data_sample("./data/music/confirm.wav");
    if (chime) play_sample(chime, 85, 128, 1000, 0);
    wait_for_space();
    if (chime) destroy_sample(chime);
    if (arrow) destroy_bitmap(arrow);
    rectfill(screen, CLEAR_X1, ystart + CLEAR_DY1, CLEAR_X2, ystart + CLEAR_DY2, makecol(192, 192, 192));
}

// Draws the box and its text and waits for SPACE on each page.
void show_box(const std::string& from, const std::string& msg, const BoxStyle& st) {
    if (talk_watch) talk_watch(from, msg);
    if (!screen) return;  // nothing to draw on (no display): the box cannot be shown
    const int ystart = box_top();
    if (text_box) {
        masked_blit(text_box, screen, 0, 0, 0, ystart, text_box->w, text_box->h);
    } else {
        // Without its picture the box is a plain panel, so the words stay readable.
        rectfill(screen, 0, ystart, screen_w() - 1, screen_h() - 1, makecol(192, 192, 192));
        rect(screen, 0, ystart, screen_w() - 1, screen_h() - 1, makecol(64, 64, 64));
    }
    textout_ex(screen, font, from.c_str(), TEXT_X, ystart + NAME_DY, st.speaker, -1);
    const int black = makecol(0, 0, 0);
    if (msg.size() <= ONE_LINE) {
        textout_ex(screen, font, msg.c_str(), TEXT_X, ystart + TEXT_DY, black, -1);
    } else {
        draw_rows(msg, 0, std::min(msg.size(), PAGE_CHARS), ystart, st.first_page, -1);
        // Five rows fill the box: a longer text (event texts hold up to 1023 characters) goes on
        // page after page, each turned by a fresh press, instead of running off the screen.
        for (size_t from = PAGE_CHARS; from < msg.size(); from += PAGE_CHARS) {
            if (st.talk_break) {
                talk_page_break(ystart);
            } else {
                host->FlushKeyBuffer();
                // Forced like the final wait: a SPACE held from the opening press would
                // otherwise turn the first page before it could be read.
                wait_for_space();
                // The page's background under its text: a shorter page must not leave the
                // end of the one before standing beside it.
                rectfill(screen, CLEAR_X1, ystart + CLEAR_DY1, CLEAR_X2, ystart + CLEAR_DY2, st.second_bg);
            }
            draw_rows(msg, from, std::min(msg.size(), from + PAGE_CHARS), ystart, st.second_fg, st.second_bg);
        }
    }
    wait_for_space();
}

}  // namespace

void Talk(std::string from, std::string msg) {
    const BoxStyle st{makecol(25, 25, 25), makecol(0, 0, 0), makecol(0, 0, 0), makecol(192, 192, 192), true};
    show_box(from, msg, st);
    host->ForgetKeys();
}

void Talkf(const std::string& from, const char* fmt, ...) {
    char buf[255];  // the text is cut to 254 characters
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    const BoxStyle st{makecol(0, 0, 0), makecol(255, 255, 255), makecol(255, 255, 255), makecol(0, 0, 0), false};
    show_box(from, buf, st);
    host->ForgetKeys();
}

BITMAP* Talk(std::string from, std::string msg, bool) {
    const BoxStyle st{makecol(0, 0, 0), makecol(0, 0, 0), makecol(255, 255, 255), makecol(0, 0, 0), false};
    show_box(from, msg, st);
    host->FlushKeyBuffer();
    return screen;
}
