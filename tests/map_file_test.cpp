// The map model and the map file: defaults, shaping, byte-exact round trips and damaged files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "CMap.h"
#include "Host.h"
#include "ScriptHost.h"
#include "TempDir.h"
#include "Timing.h"

namespace {

// A small map with every kind of record and the awkward values of the format.
CMap sample_map() {
    CMap m;
    m.InitMap(32, 3, 16, 16, 2);
    m.tileset_name = "./data/tiles.bmp";
    m.spriteset_name = "./data/npcs.bmp";
    m.spare = 7;
    m.battle = true;
    m.cine = 4;
    m.p0_x = 10; m.p0_y = 2; m.p1_x = 11; m.p1_y = -1;
    m.bdestmap = "./data/home.map";
    m.bdest_x = 10;  // a line feed right after the BDestmap line
    m.bdest_y = 32;
    CPortal p;
    p.x = 16; p.y = 32; p.dest_x = 48; p.dest_y = 64; p.cine = 2; p.quest_flag = -1;
    p.dest_map = std::string(254, 'p');
    m.portals = {p, CPortal()};
    CEvent e;
    e.x = 3; e.y = 1; e.type = EV_STEP_MESSAGE; e.quest = 9;
    e.speaker = std::string(254, 's');
    e.text = std::string(1023, 't');
    e.text2 = "second";
    CEvent e2;
    e2.type = EV_SHOP; e2.text = "Hello there";
    m.events = {e, e2};
    CNpc a, b;
    a.x = 32; a.y = 16; a.extra = -5; a.sprite = 3; a.id = 2;
    b.x = 0xFFFFFFF0u; b.y = 10; b.sprite = 1; b.id = 1;
    m.npcs = {a, b};
    m.num_portals = 2; m.num_events = 2; m.num_npcs = 2;
    int n = 1;
    for (auto& layer : m.tiles)
        for (auto& row : layer)
            for (CTile& c : row) {
                c.tile = n * 7 % 300;
                c.flags = n % 16;
                c.extra = (unsigned char)(n * 13);
                n++;
            }
    m.tiles[1][0][0].tile = -3;
    m.tiles[0][2][31].flags = 0x7FFFFFFF;
    return m;
}

}  // namespace

// The model's view size comes from the screen: the rig's is 640 x 480.
using MapModel = GameRig;

TEST_F(MapModel, DefaultsShapeAndClear) {
    CMap m;
    EXPECT_EQ(m.tile_w, 16);
    EXPECT_EQ(m.tile_h, 16);
    EXPECT_EQ(m.spare, 2);
    EXPECT_EQ(m.name, "NULL");
    EXPECT_EQ(m.tileset_name, "NULL");
    EXPECT_EQ(m.spriteset_name, "NULL");
    EXPECT_EQ(m.bdestmap, "empty");
    EXPECT_TRUE(m.tiles.empty() && m.portals.empty() && m.events.empty() && m.npcs.empty());
    EXPECT_EQ(m.tileset, nullptr);

    m.InitMap(20, 15, 16, 16, 2);
    EXPECT_EQ(m.view_cols, 41);
    EXPECT_EQ(m.view_rows, 31);
    ASSERT_EQ(m.tiles.size(), 2u);
    ASSERT_EQ(m.tiles[1].size(), 15u);
    ASSERT_EQ(m.tiles[1][14].size(), 20u);
    EXPECT_EQ(m.tiles[1][14][19].tile, 0);

    m.tiles[0][3][19].tile = 5;
    m.width = 22;
    m.ResizeMap();
    EXPECT_EQ(m.tiles[0][3].size(), 22u);
    EXPECT_EQ(m.tiles[0][3][19].tile, 5);
    EXPECT_EQ(m.tiles[0][3][21].tile, 0);
    m.ResizeMap(1, 4, 2);  // the three-argument form leaves the members alone
    EXPECT_EQ(m.tiles.size(), 1u);
    EXPECT_EQ(m.tiles[0].size(), 2u);
    EXPECT_EQ(m.width, 22u);

    m.events.resize(3);
    m.num_events = 3;
    m.battle = true;
    m.bdestmap = "x";
    m.ClearMap();
    EXPECT_EQ(m.num_events, 0u);
    EXPECT_EQ(m.events.size(), 3u);
    EXPECT_FALSE(m.battle);
    EXPECT_EQ(m.bdestmap, "empty");
    EXPECT_EQ(m.tiles.size(), 1u);
}

TEST_F(MapModel, CopySharesImagesAndOwnsLists) {
    CMap m = sample_map();
    BITMAP* bmp = create_bitmap(32, 32);
    m.tileset = bmp;
    {
        CMap copy(m);
        EXPECT_EQ(copy.tileset, bmp);
        copy.events[0].text = "changed";
        copy.tiles[0][0][0].tile = 99;
    }
    EXPECT_EQ(m.events[0].text, std::string(1023, 't'));
    EXPECT_NE(m.tiles[0][0][0].tile, 99);
    EXPECT_EQ(bmp->w, 32);  // still alive
    destroy_bitmap(bmp);
}

class MapFile : public GameRig {
protected:
    TempDir dir;
};

TEST_F(MapFile, SaveLoadSaveIsByteExact) {
    CMap m = sample_map();
    std::string a = dir.path("first.map"), b = dir.path("second.map");
    ASSERT_EQ(m.SaveMap(a), 0);
    EXPECT_EQ(m.name, "first.map");
    EXPECT_EQ(m.tileset_name, "./data/tiles.bmp");

    CMap back;
    ASSERT_EQ(back.LoadMap(a, true), 0);
    EXPECT_EQ(back.width, 32u);
    EXPECT_EQ(back.bdest_x, 10);
    EXPECT_EQ(back.bdest_y, 32);
    EXPECT_EQ(back.p1_y, -1);
    EXPECT_TRUE(back.battle);
    EXPECT_EQ(back.spare, 7);
    EXPECT_EQ(back.name, "first.map");
    EXPECT_EQ(back.tileset_name, "tiles.bmp");  // the loader keeps the file name part
    EXPECT_EQ(back.portals[0].dest_map, std::string(254, 'p'));
    EXPECT_EQ(back.portals[1].dest_map, "Null");
    EXPECT_EQ(back.events[0].speaker, std::string(254, 's'));
    EXPECT_EQ(back.events[0].text, std::string(1023, 't'));
    EXPECT_EQ(back.events[0].text2, "second");
    EXPECT_EQ(back.npcs[1].x, 0xFFFFFFF0u);
    EXPECT_EQ(back.npcs[0].extra, -5);
    EXPECT_EQ(back.tiles[1][0][0].tile, -3);
    EXPECT_EQ(back.tiles[0][2][31].flags, 0x7FFFFFFF);
    EXPECT_EQ(back.tiles[1][2][31].extra, m.tiles[1][2][31].extra);

    // Saving under the first name again gives the first file's bytes.
    ASSERT_EQ(back.SaveMap(b), 0);
    std::string fa = read_file(a), fb = read_file(b);
    ASSERT_EQ(fa.size() + 1, fb.size());
    EXPECT_EQ(fa.substr(16), fb.substr(17));  // "Name: first.map" vs "Name: second.map"
    ASSERT_EQ(back.SaveMap(a), 0);
    EXPECT_EQ(read_file(a), fa);
}

TEST_F(MapFile, LayoutOfLinesFieldsAndEmptyLists) {
    CMap m;
    m.InitMap(1, 1, 16, 16, 2);
    m.portals = {CPortal()};
    m.num_portals = 1;
    std::string p = dir.path("sub/../one.map");
    mkdir(dir.path("sub").c_str(), 0700);
    ASSERT_EQ(m.SaveMap(p), 0);
    std::string f = read_file(p);
    std::string head = "Name: one.map\nTileset: ./data/NULL\nSpriteset: ./data/NULL\n";
    ASSERT_EQ(f.substr(0, head.size()), head);
    size_t bd = head.size() + MAP_BLOCK_A_SIZE;
    EXPECT_EQ(f[bd - 1], '\n');
    std::string bdline = "BDestmap: ./data/empty\n";
    EXPECT_EQ(f.substr(bd, bdline.size()), bdline);
    size_t portal = bd + bdline.size() + 12;
    EXPECT_EQ(f.substr(portal + 24, 5), std::string("Null\0", 5));
    EXPECT_EQ(f.substr(portal + 29, 250), std::string(250, ' '));
    // After the portal: event and NPC counts of 0, then the two cells.
    size_t after = portal + MAP_PORTAL_SIZE;
    EXPECT_EQ(f.substr(after, 8), std::string(8, '\0'));
    EXPECT_EQ(f.size(), after + 8 + 2 * MAP_TILE_SIZE);

    CMap back;
    ASSERT_EQ(back.LoadMap(p), 0);
    EXPECT_EQ(back.num_events, 0u);
    EXPECT_EQ(back.num_npcs, 0u);
    EXPECT_EQ(back.num_portals, 1u);
}

TEST_F(MapFile, OverlongTextIsCutToTheField) {
    CMap m;
    m.InitMap(2, 2, 16, 16, 2);
    CEvent e;
    e.speaker = std::string(400, 'a');
    e.text = std::string(5000, 'b');
    e.text2 = std::string("ab\0cd", 5);
    m.events = {e};
    m.num_events = 1;
    m.bdestmap = std::string(300, 'z');
    std::string p = dir.path("long.map");
    ASSERT_EQ(m.SaveMap(p), 0);
    CMap back;
    ASSERT_EQ(back.LoadMap(p), 0);
    EXPECT_EQ(back.events[0].speaker, std::string(254, 'a'));
    EXPECT_EQ(back.events[0].text, std::string(1023, 'b'));
    EXPECT_EQ(back.events[0].text2, "ab");
    EXPECT_EQ(back.bdestmap.size(), MAP_LINE_MAX);
}

TEST_F(MapFile, RowThreeNpcsAreDroppedUnlessKept) {
    CMap m = sample_map();
    CNpc r3;
    r3.sprite = 3;
    m.npcs = {m.npcs[1], r3, r3, m.npcs[1]};
    m.npcs[3].id = 42;
    m.num_npcs = 4;
    std::string p = dir.path("npcs.map");
    ASSERT_EQ(m.SaveMap(p), 0);
    CMap dropped, kept;
    ASSERT_EQ(dropped.LoadMap(p), 0);
    EXPECT_EQ(dropped.num_npcs, 2u);
    ASSERT_EQ(dropped.npcs.size(), 2u);
    EXPECT_EQ(dropped.npcs[1].id, 42);
    ASSERT_EQ(kept.LoadMap(p, true), 0);
    EXPECT_EQ(kept.num_npcs, 4u);
    EXPECT_EQ(kept.npcs[2].sprite, 3);
}

TEST_F(MapFile, EntriesReusedByIndexKeepWhatTheFileDoesNotCarry) {
    CMap m = sample_map();
    std::string p = dir.path("reuse.map");
    ASSERT_EQ(m.SaveMap(p), 0);
    CMap live;
    live.events.resize(5);
    live.num_events = 5;
    live.events[0].done = true;
    live.events[1].done = false;
    live.npcs.resize(1);
    live.npcs[0].hp = 33;
    live.npcs[0].frame = 1;
    live.num_npcs = 1;
    ASSERT_EQ(live.LoadMap(p, true), 0);
    EXPECT_EQ(live.events.size(), 2u);
    EXPECT_EQ(live.num_events, 2u);
    EXPECT_TRUE(live.events[0].done);
    EXPECT_FALSE(live.events[1].done);
    EXPECT_EQ(live.npcs[0].hp, 33);
    EXPECT_EQ(live.npcs[0].frame, 1);
    EXPECT_EQ(live.npcs[0].id, 2);  // carried by the file
    EXPECT_EQ(live.npcs[1].hp, 0);  // a new entry
}

TEST_F(MapFile, FoundWhateverTheLetterCase) {
    CMap m = sample_map();
    ASSERT_EQ(m.SaveMap(dir.path("Village.MAP")), 0);
    CMap back;
    EXPECT_EQ(back.LoadMap(dir.path("village.map")), 0);
    EXPECT_EQ(back.name, "Village.MAP");
}

TEST_F(MapFile, FailedSaveSaysSoAndKeepsTheOldFile) {
    CMap m = sample_map();
    EXPECT_EQ(m.SaveMap(dir.path("no/such/dir/x.map")), -1);
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_NE(script.messages[0].find("Couldn't find map!"), std::string::npos);
    EXPECT_NE(script.messages[0].find("no/such/dir/x.map"), std::string::npos);
    EXPECT_EQ(m.tileset_name, "./data/tiles.bmp");
}

// Every damaged file is refused with a message naming it, and the map in play is untouched.
class DamagedMap : public MapFile {
protected:
    void SetUp() override {
        MapFile::SetUp();
        ASSERT_EQ(small_.SaveMap(dir.path("small.map")), 0);
        good_ = read_file(dir.path("small.map"));
        CMap held = sample_map();
        ASSERT_EQ(held.SaveMap(dir.path("held.map")), 0);
        held_bytes_ = read_file(dir.path("held.map"));
        ASSERT_EQ(live_.LoadMap(dir.path("held.map"), true), 0);
        live_.events[0].done = true;
        script.messages.clear();
    }
    // Loads bytes as a file; expects refusal with a message and the held map unchanged.
    void ExpectRefused(const std::string& bytes, const std::string& why) {
        SCOPED_TRACE(why);
        std::string p = dir.path("bad.map");
        write_file(p, bytes);
        script.messages.clear();
        EXPECT_EQ(live_.LoadMap(p, true), -1);
        ASSERT_EQ(script.messages.size(), 1u);
        EXPECT_NE(script.messages[0].find(p), std::string::npos) << script.messages[0];
        EXPECT_TRUE(live_.events[0].done);
        EXPECT_EQ(live_.num_events, 2u);
        EXPECT_EQ(live_.name, "held.map");
        std::string again = dir.path("held.map");
        ASSERT_EQ(live_.SaveMap(again), 0);
        EXPECT_EQ(read_file(again), held_bytes_);
    }
    static CMap small_map() {
        CMap m;
        m.InitMap(2, 2, 16, 16, 2);
        m.portals.resize(1);
        m.events.resize(1);
        m.npcs.resize(1);
        m.num_portals = m.num_events = m.num_npcs = 1;
        return m;
    }
    // The file with a 32-bit word replaced at an offset.
    std::string Patched(size_t at, unsigned int v) {
        std::string s = good_;
        for (int i = 0; i < 4; i++) s[at + i] = (char)((v >> (8 * i)) & 0xFF);
        return s;
    }
    size_t BlockA() { return good_.find("Spriteset: ./data/NULL\n") + 23; }
    size_t BlockB() { return good_.find("BDestmap: ./data/empty\n") + 23; }

    CMap small_ = small_map();
    CMap live_;
    std::string good_, held_bytes_;
};

TEST_F(DamagedMap, TruncatedAtEveryByte) {
    for (size_t n = 0; n < good_.size(); n++) ExpectRefused(good_.substr(0, n), "cut to " + std::to_string(n));
    ExpectRefused(good_ + "x", "a stray byte at the end");
}

TEST_F(DamagedMap, CountsAndSizesOutOfReason) {
    size_t a = BlockA(), b = BlockB();
    ExpectRefused(Patched(b + 8, 2), "two portals, one there");
    ExpectRefused(Patched(b + 8, 0xFFFFFFFFu), "portal count far beyond the file");
    ExpectRefused(Patched(b + 8 + 4 + 279, 0x40000000u), "event count far beyond the file");
    ExpectRefused(Patched(b + 8 + 4 + 279 + 4 + 2319, 1000000u), "NPC count far beyond the file");
    ExpectRefused(Patched(a + 0, 0), "width 0");
    ExpectRefused(Patched(a + 4, 0), "height 0");
    ExpectRefused(Patched(a + 0, 0xFFFFFFFFu), "huge width");
    ExpectRefused(Patched(a + 0, 3), "width larger than the tiles held");
    std::string s = good_;
    s[a + 8] = 0;
    ExpectRefused(s, "no layers");
    s[a + 8] = (char)200;
    ExpectRefused(s, "200 layers");
    ExpectRefused(Patched(a + 9, 0), "tile width 0");
    ExpectRefused(Patched(a + 13, (unsigned int)-16), "negative tile height");
    s = good_;
    s[a + 21] = 7;
    ExpectRefused(s, "battle flag 7");
    s = good_;
    s[a + 42] = 'x';
    ExpectRefused(s, "block without its line feed");
}

TEST_F(DamagedMap, BrokenTextLines) {
    ExpectRefused("Name: x.map", "name line without a line feed");
    ExpectRefused("Nome: x.map\n" + good_.substr(good_.find('\n') + 1), "wrong label");
    ExpectRefused("Name: " + std::string(5000, 'n'), "endless name line");
    std::string s = good_;
    s.replace(0, s.find('\n'), "Name: a\0b", 9);
    ExpectRefused(s, "NUL inside a line");
    ExpectRefused("", "empty file");
}

TEST_F(DamagedMap, MissingFile) {
    EXPECT_EQ(live_.LoadMap(dir.path("nowhere.map")), -1);
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.messages[0], "Error: Couldn't find the map to load! " + dir.path("nowhere.map"));
    EXPECT_EQ(live_.name, "held.map");
    EXPECT_EQ(live_.num_events, 2u);
}

TEST_F(MapFile, MissingImagesWarnAndLoadingGoesOn) {
    CMap m;
    m.InitMap(2, 2, 16, 16, 2);
    m.tileset_name = "nothing_here.bmp";
    std::string p = dir.path("noimg.map");
    ASSERT_EQ(m.SaveMap(p), 0);
    CMap back;
    ASSERT_EQ(back.LoadMap(p), 0);
    ASSERT_EQ(script.messages.size(), 2u);
    EXPECT_EQ(script.messages[0], "Warning: Tileset could not be found! 'nothing_here.bmp'  ");
    EXPECT_EQ(script.messages[1], "Warning: Spriteset could not be found! 'NULL'  ");
    EXPECT_EQ(back.tileset, nullptr);
}

TEST_F(MapFile, LoadDropsPiledUpTicksAndAFailedLoadKeepsTheImages) {
    CMap m = sample_map();
    std::string p = dir.path("ticks.map");
    ASSERT_EQ(m.SaveMap(p), 0);
    CMap live;
    speed_counter = 17;
    ASSERT_EQ(live.LoadMap(p), 0);
    EXPECT_EQ(speed_counter, 0);

    BITMAP* tiles = create_bitmap(16, 16);
    live.tileset = tiles;
    write_file(dir.path("cut.map"), read_file(p).substr(0, 100));
    speed_counter = 5;
    EXPECT_EQ(live.LoadMap(dir.path("cut.map")), -1);
    EXPECT_EQ(live.tileset, tiles);
    EXPECT_EQ(live.tileset_name, "tiles.bmp");
    destroy_bitmap(tiles);
}
