// The map file: byte-exact round trips, the hard cases and damaged files.
#include <gtest/gtest.h>

#include <string>

#include "CMap.h"
#include "ScriptHost.h"
#include "TempDir.h"
#include "Timing.h"

namespace {

// A small map with every kind of record and the awkward values of the format.
CMap sample_map() {
    CMap m;
    m.InitMap(32, 3, 16, 16, 2);
    m.tileset_name = "./data/tiles.bmp"; m.spriteset_name = "./data/npcs.bmp";
    m.spare = 7; m.battle = true; m.cine = 4;
    m.p0_x = 10; m.p0_y = 2; m.p1_x = 31; m.p1_y = 0;
    m.bdestmap = "./data/home.map";
    m.bdest_x = 10; m.bdest_y = 32;  // a line feed right after the BDestmap line
    CPortal p;
    p.x = 16; p.y = 32; p.dest_x = 48; p.dest_y = 64; p.cine = 2; p.quest_flag = -1;
    p.dest_map = std::string(254, 'p');
    m.portals = {p, CPortal()};
    CEvent e;
    e.x = 3; e.y = 1; e.type = EV_STEP_MESSAGE; e.quest = 9;
    e.speaker = std::string(254, 's'); e.text = std::string(1023, 't'); e.text2 = "second";
    m.events = {e, CEvent()};
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

class MapFile : public GameRig {
protected:
    TempDir dir;
};

TEST_F(MapFile, SaveLoadSaveIsByteExact) {
    CMap m = sample_map();
    std::string a = dir.path("first.map"), b = dir.path("second.map");
    ASSERT_EQ(m.SaveMap(a), 0);

    CMap back;
    speed_counter = 17;
    ASSERT_EQ(back.LoadMap(a, true), 0);
    EXPECT_EQ(speed_counter, 17);  // entering a map, not reading it, drops piled-up ticks
    EXPECT_EQ(back.bdest_x, 10);
    EXPECT_EQ(back.tileset_name, "tiles.bmp");  // the loader keeps the file name part
    EXPECT_EQ(back.events[0].text, std::string(1023, 't'));
    EXPECT_EQ(back.npcs[1].x, 0xFFFFFFF0u);
    EXPECT_EQ(back.tiles[1][0][0].tile, -3);
    ASSERT_EQ(back.SaveMap(b), 0);
    std::string fa = read_file(a), fb = read_file(b);
    EXPECT_EQ(fa.substr(16), fb.substr(17));  // "Name: first.map" vs "Name: second.map"
    ASSERT_EQ(back.SaveMap(a), 0);
    EXPECT_EQ(read_file(a), fa);
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
    ASSERT_EQ(dropped.num_npcs, 2u);
    EXPECT_EQ(dropped.npcs[1].id, 42);
    ASSERT_EQ(kept.LoadMap(p, true), 0);
    EXPECT_EQ(kept.num_npcs, 4u);
}

TEST_F(MapFile, EntriesReusedByIndexKeepWhatTheFileDoesNotCarry) {
    ASSERT_EQ(sample_map().SaveMap(dir.path("reuse.map")), 0);
    CMap live;
    live.events.resize(5);
    live.num_events = 5;
    live.events[0].done = true;
    live.npcs.resize(1);
    live.npcs[0].hp = 33;
    live.num_npcs = 1;
    ASSERT_EQ(live.LoadMap(dir.path("reuse.map"), true), 0);
    EXPECT_EQ(live.num_events, 2u);
    EXPECT_TRUE(live.events[0].done);
    EXPECT_EQ(live.npcs[0].hp, 33);
    EXPECT_EQ(live.npcs[0].id, 2);  // carried by the file
}

TEST_F(MapFile, FoundWhateverTheLetterCaseAndAFailedSaveSaysSo) {
    CMap m = sample_map();
    ASSERT_EQ(m.SaveMap(dir.path("Village.MAP")), 0);
    CMap back;
    EXPECT_EQ(back.LoadMap(dir.path("village.map")), 0);
    EXPECT_EQ(m.SaveMap(dir.path("no/such/dir/x.map")), -1);
    ASSERT_FALSE(script.messages.empty());
    EXPECT_NE(script.messages.back().find("no/such/dir/x.map"), std::string::npos);
}

// Every damaged file is refused with a message naming it; the map in play is untouched.
class DamagedMap : public MapFile {
protected:
    void SetUp() override {
        MapFile::SetUp();
        CMap small;
        small.InitMap(2, 2, 16, 16, 2);
        small.portals.resize(1);
        small.events.resize(1);
        small.npcs.resize(1);
        small.num_portals = small.num_events = small.num_npcs = 1;
        ASSERT_EQ(small.SaveMap(dir.path("small.map")), 0);
        good_ = read_file(dir.path("small.map"));
        CMap held = sample_map();
        ASSERT_EQ(held.SaveMap(dir.path("held.map")), 0);
        held_bytes_ = read_file(dir.path("held.map"));
        ASSERT_EQ(live_.LoadMap(dir.path("held.map"), true), 0);
        live_.events[0].done = true;
        script.messages.clear();
    }
    // Loads bytes as a file; expects refusal with a message naming the file and the problem
    // and the held map unchanged.
    void ExpectRefused(const std::string& bytes, const std::string& problem, const std::string& why) {
        SCOPED_TRACE(why);
        std::string p = dir.path("bad.map");
        write_file(p, bytes);
        script.messages.clear();
        EXPECT_EQ(live_.LoadMap(p, true), -1);
        ASSERT_EQ(script.messages.size(), 1u);
        EXPECT_NE(script.messages[0].find(p), std::string::npos) << script.messages[0];
        EXPECT_NE(script.messages[0].find(problem), std::string::npos) << script.messages[0];
        EXPECT_TRUE(live_.events[0].done);
        std::string again = dir.path("held.map");
        ASSERT_EQ(live_.SaveMap(again), 0);
        EXPECT_EQ(read_file(again), held_bytes_);
    }
    // The file with a 32-bit word replaced at an offset.
    std::string Patched(size_t at, unsigned int v) {
        std::string s = good_;
        for (int i = 0; i < 4; i++) s[at + i] = (char)((v >> (8 * i)) & 0xFF);
        return s;
    }
    size_t BlockA() { return good_.find("Spriteset: ./data/NULL\n") + 23; }
    size_t BlockB() { return good_.find("BDestmap: ./data/empty\n") + 23; }

    CMap live_;
    std::string good_, held_bytes_;
};

TEST_F(DamagedMap, EachDamageIsRefusedForWhatItIs) {
    for (size_t n = 0; n < good_.size(); n++) ExpectRefused(good_.substr(0, n), "", "cut to " + std::to_string(n));
    size_t a = BlockA(), b = BlockB();
    auto with_byte = [&](size_t at, char v) {
        std::string s = good_;
        s[at] = v;
        return s;
    };
    std::string nul_in_name = good_;
    nul_in_name.replace(0, nul_in_name.find('\n'), "Name: a\0b", 9);
    const struct {
        std::string bytes;
        const char* problem;
    } cases[] = {
        {good_ + "x", "1 stray bytes follow the last tile"},
        // Counts larger than the bytes left are refused by name before anything is sized by them.
        {Patched(b + 8, 2), ""},  // the second portal's bytes are read as the events': some later check refuses it
        {Patched(b + 8, 10), "the portal count 10 is more than the file holds"},
        {Patched(b + 8, 0xFFFFFFFFu), "the portal count 4294967295 is more"},
        {Patched(b + 8 + 4 + 279, 0x40000000u), "the event count 1073741824 is more"},
        {Patched(b + 8 + 4 + 279 + 4 + 2319, 1000000u), "the NPC count 1000000 is more"},
        {Patched(a + 0, 0), "the map size 0 x 2 is outside"},
        {Patched(a + 0, 0xFFFFFFFFu), "the map size 4294967295 x 2"},
        {Patched(a + 0, 3), "the file ends inside the tiles"},
        {with_byte(a + 8, (char)200), "the layer count 200"},
        {with_byte(a + 8, 1), "the layer count 1"},
        {Patched(a + 13, (unsigned int)-16), "the tile size 16 x -16"},
        {with_byte(a + 21, 7), "the battle flag is 7"},
        {with_byte(a + 42, 'x'), "does not end with a line feed"},
        {Patched(a + 26, 2), "the hero's start tile (2, 0) lies outside the 2 x 2 map"},
        {Patched(a + 30, 0x01000000u), "the hero's start tile (0, 16777216)"},
        {Patched(a + 34, (unsigned int)-1), "the companion's start tile (-1, 0)"},
        {"Nome: x.map\n" + good_.substr(good_.find('\n') + 1), "the \"Name:\" line is missing"},
        {"Name: " + std::string(5000, 'n'), "no line feed within 254"},
        {nul_in_name, "holds a NUL byte"},
    };
    for (const auto& c : cases) ExpectRefused(c.bytes, c.problem, c.problem);
}

// The writer refuses whatever the reader would refuse: nothing is written and the old file stays.
TEST_F(MapFile, MapsTheLoaderWouldRefuseAreNotWritten) {
    const struct {
        void (*spoil)(CMap&);
        const char* problem;
    } cases[] = {
        {[](CMap& m) { m.InitMap(2, 2, 16, 16, 1); }, "the layer count 1"},
        {[](CMap& m) { m.InitMap(0, 0, 16, 16, 2); }, "the map size 0 x 0"},
        {[](CMap& m) { m.tile_w = 0; }, "the tile size 0 x 16"},
        {[](CMap& m) { m.layers = 17; }, "the layer count 17"},
        {[](CMap& m) { m.width = m.height = 2048; }, "more than 4194304"},
        {[](CMap& m) { m.p0_x = 32; }, "the hero's start tile (32, 2)"},
        {[](CMap& m) { m.p1_y = 0x01000000; }, "the companion's start tile (31, 16777216)"},
        {[](CMap& m) {
             m.npcs.resize(MAP_MAX_RECORDS + 1);
             m.num_npcs = MAP_MAX_RECORDS + 1;
         },
         "the NPC count 65537"},
    };
    std::string p = dir.path("kept.map");
    ASSERT_EQ(sample_map().SaveMap(p), 0);
    const std::string before = read_file(p);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.problem);
        CMap m = sample_map();
        c.spoil(m);
        script.messages.clear();
        EXPECT_EQ(m.SaveMap(p), -1);
        ASSERT_EQ(script.messages.size(), 1u);
        EXPECT_NE(script.messages[0].find(p), std::string::npos) << script.messages[0];
        EXPECT_NE(script.messages[0].find(c.problem), std::string::npos) << script.messages[0];
        EXPECT_EQ(read_file(p), before);
        EXPECT_EQ(m.name, "NULL");  // names are rewritten only by a save that happened
    }
}
