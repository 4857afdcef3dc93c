// The built data/ folder: every picture, song and sound the game asks for is there and fits.
#include <allegro.h>
#include <gtest/gtest.h>

#include "Sound.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#ifndef RPG_DATA_DIR
#define RPG_DATA_DIR "./data"
#endif

namespace {

const std::string kData = RPG_DATA_DIR;

using Bitmap = std::unique_ptr<BITMAP, void (*)(BITMAP*)>;
Bitmap load(const std::string& name) {
    return Bitmap(load_bitmap((kData + "/" + name).c_str(), nullptr), destroy_bitmap);
}

// Mask-colour pixels in a rectangle of a picture as the 16-bit game sees it.
int mask_pixels(BITMAP* b, int x0, int y0, int w, int h) {
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) n += getpixel(b, x, y) == bitmap_mask_color(b);
    return n;
}

}  // namespace

// Sizes follow from where the game draws each picture on a 640 x 480 screen; `masked` pictures
// are drawn see-through somewhere, the others would show pink.
TEST(ContentPictures, EveryPictureLoadsAtItsSizeWithMaskOnlyWhereSeeThrough) {
    const struct { const char* name; int w, h; bool masked; } pictures[] = {
        {"tiles.bmp", 256, 256, true},     {"npcs.bmp", 32, 656, true},         {"character.bmp", 32, 80, true},
        {"character2.bmp", 32, 80, true},  {"text.bmp", 640, 80, true},         {"arrow.bmp", 12, 10, false},
        {"selector.bmp", 9, 9, true},      {"title.tga", 640, 480, false},      {"banner.tga", 400, 64, false},
        {"newgame.tga", 200, 40, false},   {"loadgame.tga", 225, 40, false},    {"options.tga", 215, 40, false},
        {"exit.tga", 230, 40, false},      {"status.tga", 640, 480, true},      {"menuchoice.bmp", 280, 56, true},
        {"invchoice.bmp", 260, 56, true},  {"choice.bmp", 205, 76, true},       {"items.bmp", 64, 8, false},
        {"shop.bmp", 260, 150, false},     {"shopselect.tga", 380, 100, false}, {"deathscene.tga", 640, 480, false},
        {"theend.tga", 640, 480, false},
    };
    for (const auto& p : pictures) {
        Bitmap b = load(p.name);
        ASSERT_TRUE(b) << "cannot load " << kData << "/" << p.name;
        EXPECT_EQ(bitmap_color_depth(b.get()), 16) << p.name;
        EXPECT_EQ(b->w, p.w) << p.name;
        EXPECT_EQ(b->h, p.h) << p.name;
        EXPECT_EQ(mask_pixels(b.get(), 0, 0, b->w, b->h) > 0, p.masked) << p.name;
    }
}

// Tiles 1-16 are ground and 17-32 overlays as the maps number them; 81-96 more overlays (95 the
// object on the ground); the rest up to 166 ground. Every sprite cell holds a figure on a background.
TEST(ContentPictures, GroundTilesAreOpaqueOverlaysAndSpritesSeeThrough) {
    Bitmap t = load("tiles.bmp");
    ASSERT_TRUE(t);
    for (int n = 1; n <= 166; ++n) {
        int m = mask_pixels(t.get(), (n - 1) % 16 * 16, (n - 1) / 16 * 16, 16, 16);
        if ((n >= 17 && n <= 32) || (n >= 81 && n <= 96))
            EXPECT_TRUE(m > 0 && m < 256) << "overlay tile " << n << " has " << m << " see-through pixels";
        else
            EXPECT_EQ(m, 0) << "ground tile " << n;
    }
    for (auto [name, rows] : {std::pair{"character.bmp", 5}, {"character2.bmp", 5}, {"npcs.bmp", 41}}) {
        Bitmap b = load(name);
        ASSERT_TRUE(b) << name;
        for (int cell = 0; cell < rows * 2; ++cell) {
            int m = mask_pixels(b.get(), cell % 2 * 16, cell / 2 * 16, 16, 16);
            EXPECT_TRUE(m > 30 && m < 200) << name << " row " << cell / 2 << " frame " << cell % 2 << ": " << m;
        }
    }
}

namespace {

// What a song as the library loaded it plays: its length, melodic programs (0-based) and drum notes.
struct SongFacts {
    double seconds = 0;
    std::set<int> programs, drum_notes;
};

SongFacts read_song(const MIDI& m) {
    SongFacts f;
    std::map<unsigned long, unsigned> tempos;  // tick -> microseconds per quarter
    unsigned long last_tick = 0;
    for (const auto& track : m.track) {
        const std::vector<unsigned char> d(track.data, track.data + (track.data ? track.len : 0));
        size_t p = 0;
        unsigned long tick = 0;
        unsigned char status = 0;
        auto varlen = [&] {
            unsigned long v = 0;
            for (unsigned char c = 0x80; c & 0x80;) v = (v << 7) | ((c = d.at(p++)) & 0x7F);
            return v;
        };
        while (p < d.size()) {
            tick += varlen();
            if (d.at(p) & 0x80) status = d.at(p++);
            if (status == 0xFF) {
                unsigned char type = d.at(p++);
                unsigned long len = varlen();
                if (type == 0x51 && len == 3) tempos[tick] = d.at(p) << 16 | d.at(p + 1) << 8 | d.at(p + 2);
                p += len;
            } else if (status == 0xF0 || status == 0xF7) {
                p += varlen();
            } else {
                int kind = status & 0xF0, a = d.at(p++), b = (kind == 0xC0 || kind == 0xD0) ? 0 : d.at(p++);
                if (kind == 0xC0 && (status & 0x0F) != 9) f.programs.insert(a);
                if (kind == 0x90 && b > 0 && (status & 0x0F) == 9) f.drum_notes.insert(a);
            }
        }
        last_tick = std::max(last_tick, tick);
    }
    double us = 500000;
    unsigned long at = 0;
    for (auto [tick, tempo] : tempos) f.seconds += double(tick - at) * us / m.divisions / 1e6, at = tick, us = tempo;
    f.seconds += double(last_tick - at) * us / m.divisions / 1e6;
    return f;
}

// The patch index as the library reads it: "N file" gives program N-1; inside
// "129 begin_multipatch" ... "end_multipatch" "N file" gives drum note N.
std::map<int, std::string> read_patch_index(const std::string& path, bool drums_wanted) {
    std::map<int, std::string> out;
    std::ifstream in(path);
    bool drums = false;
    for (std::string line, a, b; std::getline(in, line);) {
        std::istringstream words(line);
        if (!(words >> a)) continue;
        if (a == "end_multipatch") drums = false;
        if (a.find_first_not_of("0123456789") != std::string::npos || !(words >> b)) continue;
        const int n = std::stoi(a);
        if (b == "begin_multipatch") drums = true;
        else if (drums && drums_wanted) out[n] = b;
        else if (!drums && !drums_wanted && n >= 1 && n <= 128) out[n - 1] = b;
    }
    return out;
}

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

// Each of the eight songs loads, lasts one to ten minutes, has instruments of its own and plays
// only patches default.cfg names and ships (when the build made the index).
TEST(ContentMusic, EverySongLoadsLastsAMinuteAndPlaysOnlyPatchesThatExist) {
    const std::string cfg = kData + "/default.cfg";
    std::map<int, std::string> programs = read_patch_index(cfg, false), drums = read_patch_index(cfg, true);
    std::set<std::set<int>> instrumentations;
    for (const char* song : {"space", "spacewalkbiatch", "dark", "dark2", "knightsrevenge", "inprog", "stringscool",
                             "tribalbeat"}) {
        SCOPED_TRACE(song);
        const std::string path = kData + "/music/" + song + ".mid";
        MIDI* m = load_midi(path.c_str());
        ASSERT_NE(m, nullptr) << "the library cannot read " << path;
        const SongFacts f = read_song(*m);
        destroy_midi(m);
        EXPECT_GE(f.seconds, 60.0) << "loops too soon";
        EXPECT_LE(f.seconds, 600.0);
        EXPECT_FALSE(f.programs.empty());
        instrumentations.insert(f.programs);
        if (programs.empty()) continue;
        for (int p : f.programs) EXPECT_TRUE(exists(programs[p])) << "program " << p + 1 << ": " << programs[p];
        for (int n : f.drum_notes) EXPECT_TRUE(exists(drums[n])) << "drum note " << n << ": " << drums[n];
    }
    EXPECT_EQ(instrumentations.size(), 8u) << "two songs share the same instruments";
}

// The synth is pointed at the data folder; a folder without an index leaves the setting alone.
TEST(ContentMusic, ConfiguringPatchesPointsTheSynthAtTheDataFolder) {
    EXPECT_TRUE(configure_midi_patches(kData));
    EXPECT_FALSE(configure_midi_patches(kData + "/music"));
    EXPECT_EQ(std::string(get_config_string("sound", "patches", "")), kData + "/");
}

// The effects are short (their audibility is checked by playing them, tests/sound_to_file.sh).
TEST(ContentSounds, EffectsLoadAsShortSamples) {
    for (const char* name : {"confirm.wav", "coinchime.wav"}) {
        SAMPLE* s = load_sample((kData + "/music/" + name).c_str());
        ASSERT_NE(s, nullptr) << name;
        EXPECT_GT(double(s->len) / s->freq, 0.05) << name;
        EXPECT_LT(double(s->len) / s->freq, 2.0) << name;
        destroy_sample(s);
    }
}
