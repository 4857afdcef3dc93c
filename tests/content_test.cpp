// The built data/ folder: every picture, song and sound the game asks for is there and fits.
#include <allegro.h>
#include <gtest/gtest.h>

#include "Sound.h"

#include <cstdio>
#include <fstream>
#include <map>
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

struct Picture {
    const char* name;
    int w, h;
    bool masked;  // drawn with the see-through colour somewhere in the game
};

// Sizes follow from where the game draws each picture on a 640 x 480 screen.
const Picture kPictures[] = {
    {"tiles.bmp", 256, 256, true},     {"npcs.bmp", 32, 656, true},
    {"character.bmp", 32, 80, true},   {"character2.bmp", 32, 80, true},
    {"text.bmp", 640, 80, true},       {"arrow.bmp", 12, 10, false},
    {"selector.bmp", 9, 9, true},      {"title.tga", 640, 480, false},
    {"banner.tga", 400, 64, false},    {"newgame.tga", 200, 40, false},
    {"loadgame.tga", 225, 40, false},  {"options.tga", 215, 40, false},
    {"exit.tga", 230, 40, false},      {"status.tga", 640, 480, true},
    {"menuchoice.bmp", 280, 56, true}, {"invchoice.bmp", 260, 56, true},
    {"choice.bmp", 205, 76, true},     {"items.bmp", 64, 8, false},
    {"shop.bmp", 260, 150, false},     {"shopselect.tga", 380, 100, false},
    {"deathscene.tga", 640, 480, false}, {"theend.tga", 640, 480, false},
};

const char* kSongs[] = {"space", "spacewalkbiatch", "dark", "dark2", "knightsrevenge", "inprog", "stringscool",
                        "tribalbeat"};

struct BitmapDeleter {
    void operator()(BITMAP* b) const { if (b) destroy_bitmap(b); }
};
using Bitmap = std::unique_ptr<BITMAP, BitmapDeleter>;

Bitmap load(const std::string& name) { return Bitmap(load_bitmap((kData + "/" + name).c_str(), nullptr)); }

// Mask-colour pixels in a rectangle of a picture as the 16-bit game sees it.
int mask_pixels(BITMAP* b, int x0, int y0, int w, int h) {
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            if (getpixel(b, x, y) == bitmap_mask_color(b)) ++n;
    return n;
}

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

TEST(ContentPictures, EveryPictureLoadsAtItsSizeWithMaskOnlyWhereSeeThrough) {
    for (const Picture& p : kPictures) {
        SCOPED_TRACE(p.name);
        Bitmap b = load(p.name);
        ASSERT_TRUE(b) << "cannot load " << kData << "/" << p.name;
        EXPECT_EQ(bitmap_color_depth(b.get()), 16);
        EXPECT_EQ(b->w, p.w);
        EXPECT_EQ(b->h, p.h);
        int masked = mask_pixels(b.get(), 0, 0, b->w, b->h);
        if (p.masked)
            EXPECT_GT(masked, 0);
        else
            EXPECT_EQ(masked, 0) << "an opaque picture would show pink";
    }
}

TEST(ContentPictures, GroundTilesAreOpaqueAndOverlaysSeeThrough) {
    Bitmap t = load("tiles.bmp");
    ASSERT_TRUE(t);
    // 1-16 ground and 17-32 overlays as the maps number them; 81-96 more overlays, 95 the
    // object on the ground; everything else up to 166 is ground.
    for (int n = 1; n <= 166; ++n) {
        int x = ((n - 1) % 16) * 16, y = ((n - 1) / 16) * 16;
        int m = mask_pixels(t.get(), x, y, 16, 16);
        if ((n >= 17 && n <= 32) || (n >= 81 && n <= 96)) {
            EXPECT_GT(m, 0) << "overlay tile " << n;
            EXPECT_LT(m, 256) << "overlay tile " << n << " is empty";
        } else {
            EXPECT_EQ(m, 0) << "ground tile " << n << " has see-through pixels";
        }
    }
}

TEST(ContentPictures, EverySpriteCellHoldsAFigure) {
    const struct { const char* name; int rows; } sheets[] = {{"character.bmp", 5}, {"character2.bmp", 5}, {"npcs.bmp", 41}};
    for (const auto& s : sheets) {
        Bitmap b = load(s.name);
        ASSERT_TRUE(b) << s.name;
        for (int row = 0; row < s.rows; ++row)
            for (int frame = 0; frame < 2; ++frame) {
                int m = mask_pixels(b.get(), frame * 16, row * 16, 16, 16);
                EXPECT_GT(m, 30) << s.name << " row " << row << " frame " << frame << " has no background";
                EXPECT_LT(m, 200) << s.name << " row " << row << " frame " << frame << " is nearly empty";
            }
    }
}

namespace {

// A small reader of standard MIDI files, enough for lengths, programs and drum notes.
struct SongFacts {
    double seconds = 0;
    std::set<int> programs;    // 0-based program numbers used on melodic channels
    std::set<int> drum_notes;  // notes played on channel 10
    bool ok = false;
};

SongFacts read_midi(const std::string& path) {
    SongFacts facts;
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto be = [&](size_t at, int n) {
        unsigned v = 0;
        for (int i = 0; i < n; ++i) v = (v << 8) | d.at(at + i);
        return v;
    };
    if (d.size() < 14 || std::string(d.begin(), d.begin() + 4) != "MThd") return facts;
    unsigned tracks = be(10, 2), ppq = be(12, 2);
    if (ppq == 0 || (ppq & 0x8000)) return facts;
    std::map<unsigned long, unsigned> tempos;  // tick -> microseconds per quarter
    unsigned long last_tick = 0;
    size_t pos = 8 + be(4, 4);
    for (unsigned t = 0; t < tracks; ++t) {
        if (pos + 8 > d.size() || std::string(d.begin() + pos, d.begin() + pos + 4) != "MTrk") return facts;
        size_t end = pos + 8 + be(pos + 4, 4), p = pos + 8;
        if (end > d.size()) return facts;
        unsigned long tick = 0;
        unsigned char status = 0;
        auto varlen = [&] {
            unsigned long v = 0;
            unsigned char c;
            do { c = d.at(p++); v = (v << 7) | (c & 0x7F); } while (c & 0x80);
            return v;
        };
        while (p < end) {
            tick += varlen();
            if (d.at(p) & 0x80) status = d.at(p++);
            if (status == 0xFF) {
                unsigned char type = d.at(p++);
                unsigned long len = varlen();
                if (type == 0x51 && len == 3) tempos[tick] = be(p, 3);
                p += len;
            } else if (status == 0xF0 || status == 0xF7) {
                p += varlen();
            } else {
                int kind = status & 0xF0, ch = status & 0x0F;
                int a = d.at(p++);
                int b = (kind == 0xC0 || kind == 0xD0) ? 0 : d.at(p++);
                if (kind == 0xC0 && ch != 9) facts.programs.insert(a);
                if (kind == 0x90 && b > 0 && ch == 9) facts.drum_notes.insert(a);
            }
        }
        last_tick = std::max(last_tick, tick);
        pos = end;
    }
    double us = 500000, secs = 0;
    unsigned long at = 0;
    for (auto& [tick, tempo] : tempos) {
        secs += double(tick - at) * us / ppq / 1e6;
        at = tick;
        us = tempo;
    }
    facts.seconds = secs + double(last_tick - at) * us / ppq / 1e6;
    facts.ok = true;
    return facts;
}

// The patch index as the library reads it: "N file" gives program N-1; inside
// "129 begin_multipatch" ... "end_multipatch" "N file" gives drum note N.
struct PatchIndex {
    std::map<int, std::string> programs, drums;
};

PatchIndex read_patch_index(const std::string& path) {
    PatchIndex idx;
    std::ifstream in(path);
    std::string line;
    bool drums = false;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string a, b;
        if (!(words >> a)) continue;
        if (a == "end_multipatch") { drums = false; continue; }
        if (a.find_first_not_of("0123456789") != std::string::npos || !(words >> b)) continue;
        if (b == "begin_multipatch") { drums = true; continue; }
        int n = std::stoi(a);
        if (drums) idx.drums[n] = b;
        else if (n >= 1 && n <= 128) idx.programs[n - 1] = b;
    }
    return idx;
}

}  // namespace

TEST(ContentMusic, EverySongLoadsLastsAMinuteAndPlaysOnlyPatchesThatExist) {
    PatchIndex idx = read_patch_index(kData + "/default.cfg");
    bool have_patches = !idx.programs.empty();
    std::set<std::set<int>> instrumentations;
    for (const char* song : kSongs) {
        SCOPED_TRACE(song);
        std::string path = kData + "/music/" + song + ".mid";
        MIDI* m = load_midi(path.c_str());
        ASSERT_NE(m, nullptr) << "the library cannot read " << path;
        destroy_midi(m);
        SongFacts f = read_midi(path);
        ASSERT_TRUE(f.ok);
        EXPECT_GE(f.seconds, 60.0) << "loops too soon";
        EXPECT_LE(f.seconds, 600.0);
        EXPECT_FALSE(f.programs.empty());
        instrumentations.insert(f.programs);
        if (!have_patches) continue;
        for (int p : f.programs) {
            ASSERT_TRUE(idx.programs.count(p)) << "program " << p + 1 << " not in default.cfg";
            EXPECT_TRUE(exists(idx.programs[p])) << idx.programs[p];
        }
        for (int n : f.drum_notes) {
            ASSERT_TRUE(idx.drums.count(n)) << "drum note " << n << " not in default.cfg";
            EXPECT_TRUE(exists(idx.drums[n])) << idx.drums[n];
        }
    }
    EXPECT_EQ(instrumentations.size(), 8u) << "two songs share the same instruments";
}

TEST(ContentMusic, ConfiguringPatchesPointsTheSynthAtTheDataFolder) {
    EXPECT_TRUE(configure_midi_patches(kData));
    EXPECT_EQ(std::string(get_config_string("sound", "patches", "")), kData + "/");
    // A folder without an index leaves the setting alone and says so.
    EXPECT_FALSE(configure_midi_patches(kData + "/music"));
    EXPECT_EQ(std::string(get_config_string("sound", "patches", "")), kData + "/");
}

TEST(ContentSounds, EffectsLoadAsShortAudibleSamples) {
    for (const char* name : {"confirm.wav", "coinchime.wav"}) {
        SCOPED_TRACE(name);
        SAMPLE* s = load_sample((kData + "/music/" + name).c_str());
        ASSERT_NE(s, nullptr);
        double secs = double(s->len) / s->freq;
        EXPECT_GT(secs, 0.05);
        EXPECT_LT(secs, 2.0);
        int peak = 0;
        for (unsigned long i = 0; i < s->len; ++i) {
            int v = s->bits == 8 ? (static_cast<unsigned char*>(s->data)[i] - 128) * 256
                                 : static_cast<unsigned short*>(s->data)[i] - 32768;
            peak = std::max(peak, std::abs(v));
        }
        EXPECT_GT(peak, 4000) << "too quiet";
        destroy_sample(s);
    }
}
