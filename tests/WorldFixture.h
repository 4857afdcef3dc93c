// Shared set-up of the world tests: a 640 x 480 memory screen with its two pages and helpers
// to build maps and tilesets in memory.
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>

#include "CDisplay.h"
#include "CMap.h"
#include "CPlayer.h"

// Colour written into every pixel of tile n of the test tilesets (never the mask colour).
inline int tile_colour(unsigned int n) { return (int)(n * 7 + 3); }

// A tileset of cols x rows cells of 16 x 16, each filled with tile_colour of its number
// counted row by row.
inline BITMAP* make_tileset(int cols, int rows) {
    BITMAP* b = create_bitmap_ex(16, cols * 16, rows * 16);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            rectfill(b, c * 16, r * 16, c * 16 + 15, r * 16 + 15, tile_colour((unsigned)(r * cols + c + 1)));
    return b;
}

class WorldTest : public ::testing::Test {
protected:
    BITMAP* old_screen = nullptr;
    BITMAP* fake_screen = nullptr;
    CPlayer saved_players[2];
    CMap saved_map;

    void SetUp() override {
        old_screen = screen;
        fake_screen = create_bitmap_ex(16, 640, 480);
        clear_bitmap(fake_screen);
        screen = fake_screen;
        Display.CreatePages(640, 480);
        saved_players[0] = player[0];
        saved_players[1] = player[1];
        saved_map = map;
    }
    void TearDown() override {
        player[0] = saved_players[0];
        player[1] = saved_players[1];
        map = saved_map;
        for (int i = 0; i < 2; ++i)
            if (Display.vscreen[i]) destroy_bitmap(Display.vscreen[i]);
        Display.vscreen[0] = Display.vscreen[1] = Display.vscreen[2] = nullptr;
        screen = old_screen;
        destroy_bitmap(fake_screen);
    }
    BITMAP* page() { return Display.GetSurface(); }
    // Pixel of the page drawn this frame.
    int at(int x, int y) { return getpixel(page(), x, y); }
};

// The layer-0 tile of cell (c, r) in maps from make_map: unique within each 16 x 16 block,
// so that a 16 x 16 cell tileset has a picture for every cell.
inline unsigned int cell_tile(unsigned int c, unsigned int r) { return (r % 16) * 16 + c % 16 + 1; }

// A map of w x h tiles with two layers; layer 0 holds cell_tile when `numbered`.
inline void make_map(CMap& m, unsigned int w, unsigned int h, bool numbered = true) {
    m.InitMap(w, h, 16, 16, 2);
    if (numbered)
        for (unsigned int r = 0; r < h; ++r)
            for (unsigned int c = 0; c < w; ++c) m.tiles[0][r][c].tile = (int)cell_tile(c, r);
}

#include <string>
#include <vector>

#include "Host.h"

// A host that holds the keys a test sets, records messages and counts forgotten keys.
class RecordingHost : public CHost {
public:
    bool keys[128] = {};
    std::vector<std::string> messages;
    int forgets = 0;
    int idles = 0;

    bool KeyDown(int scancode) override { return scancode >= 0 && scancode < 128 && keys[scancode]; }
    // SPACE goes down and up on alternate waits, so that a dialogue box shown by the code under
    // test is dismissed after a couple of passes instead of waiting forever.
    void Idle() override {
        ++idles;
        keys[75] = !keys[75];
    }
    void ForgetKeys() override {
        ++forgets;
        for (bool& k : keys) k = false;
    }
    void FlushKeyBuffer() override {}
    int ReadKey() override { return 0; }
    void Pause(int) override {}
    void Message(const std::string& text) override { messages.push_back(text); }
    int Alert(const std::string&, const std::string&, const std::string&, const std::string&,
              const std::string&) override {
        return 1;
    }
    [[noreturn]] void Exit(int status) override { throw status; }
};

// WorldTest with the recording host in place.
class HostedWorldTest : public WorldTest {
protected:
    RecordingHost rec;
    CHost* old_host = nullptr;
    void SetUp() override {
        WorldTest::SetUp();
        old_host = host;
        host = &rec;
    }
    void TearDown() override {
        host = old_host;
        WorldTest::TearDown();
    }
};
