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
    m.tileset_name = "./data/tiles.bmp", m.spriteset_name = "./data/npcs.bmp", m.bdestmap = "./data/home.map";
    m.spare = 7, m.battle = true, m.cine = 4, m.p0_x = 10, m.p0_y = 2, m.p1_x = 31, m.p1_y = 0;
    m.bdest_x = 10, m.bdest_y = 32;  // a line feed right after the BDestmap line
    CPortal p;
    p.x = 16, p.y = 32, p.dest_x = 48, p.dest_y = 64, p.cine = 2, p.quest_flag = -1, p.dest_map.assign(254, 'p');
    CEvent e;
    e.x = 3, e.y = 1, e.type = EV_STEP_MESSAGE, e.quest = 9;
    e.speaker.assign(254, 's'), e.text.assign(1023, 't'), e.text2 = "second";
    CNpc a, b;
    a.x = 32, a.y = 16, a.extra = -5, a.sprite = 3, a.id = 2;
    b.x = 0xFFFFFFF0u, b.y = 10, b.sprite = 1, b.id = 1;
    m.portals = {p, CPortal()}, m.events = {e, CEvent()}, m.npcs = {a, b};
    m.num_portals = m.num_events = m.num_npcs = 2;
    int n = 1;
    for (auto& layer : m.tiles)
        for (auto& row : layer)
            for (CTile& c : row) c = CTile{n * 7 % 300, n % 16, (unsigned char)(n * 13)}, n++;
    m.tiles[1][0][0].tile = -3;
    m.tiles[0][2][31].flags = 0x7FFFFFFF;
    return m;
}

}  // namespace

class MapFile : public GameRig {
protected:
    TempDir dir;
    // Saves m and reads it back into `into` (keeping row-3 NPCs unless told not to).
    void RoundTrip(CMap m, CMap& into, bool keep_row3 = true) {
        ASSERT_EQ(m.SaveMap(dir.path("x.map")), 0);
        ASSERT_EQ(into.LoadMap(dir.path("x.map"), keep_row3), 0);
    }
    // One message since the last, naming the file and the problem.
    void ExpectOneMessage(const std::string& path, const std::string& problem) {
        ASSERT_EQ(script.messages.size(), 1u);
        EXPECT_NE(script.messages[0].find(path), std::string::npos) << script.messages[0];
        EXPECT_NE(script.messages[0].find(problem), std::string::npos) << script.messages[0];
        script.messages.clear();
    }
};

TEST_F(MapFile, SaveLoadSaveIsByteExact) {
    const std::string a = dir.path("first.map"), b = dir.path("second.map");
    ASSERT_EQ(sample_map().SaveMap(a), 0);
    CMap back;
    speed_counter = 17;
    ASSERT_EQ(back.LoadMap(a, true), 0);
    EXPECT_EQ(speed_counter, 17);  // entering a map, not reading it, drops piled-up ticks
    EXPECT_EQ(back.tileset_name, "tiles.bmp");  // the loader keeps the file name part
    ASSERT_EQ(back.SaveMap(b), 0);
    const std::string fa = read_file(a);
    EXPECT_EQ(fa.substr(16), read_file(b).substr(17));  // "Name: first.map" vs "Name: second.map"
    ASSERT_EQ(back.SaveMap(a), 0);
    EXPECT_EQ(read_file(a), fa);
}

TEST_F(MapFile, OverlongTextIsCutToTheField) {
    CMap m = sample_map(), back;
    m.events[0].speaker.assign(400, 'a'), m.events[0].text.assign(5000, 'b'), m.events[0].text2.assign("ab\0cd", 5);
    m.bdestmap.assign(300, 'z');
    RoundTrip(m, back);
    EXPECT_EQ(back.events[0].speaker, std::string(254, 'a'));
    EXPECT_EQ(back.events[0].text, std::string(1023, 'b'));
    EXPECT_EQ(back.events[0].text2, "ab");
    EXPECT_EQ(back.bdestmap.size(), MAP_LINE_MAX);
}

TEST_F(MapFile, RowThreeNpcsAreDroppedUnlessKept) {
    CMap m = sample_map(), dropped, kept;
    CNpc r3;
    r3.sprite = 3;
    m.npcs = {m.npcs[1], r3, r3, m.npcs[1]}, m.npcs[3].id = 42, m.num_npcs = 4;
    RoundTrip(m, dropped, false);
    ASSERT_EQ(dropped.num_npcs, 2u);
    EXPECT_EQ(dropped.npcs[1].id, 42);
    RoundTrip(m, kept);
    EXPECT_EQ(kept.num_npcs, 4u);
}

TEST_F(MapFile, EntriesReusedByIndexKeepWhatTheFileDoesNotCarry) {
    CMap live;
    live.events.resize(5), live.num_events = 5, live.events[0].done = true;
    live.npcs.resize(1), live.num_npcs = 1, live.npcs[0].hp = 33;
    RoundTrip(sample_map(), live);
    EXPECT_EQ(live.num_events, 2u);
    EXPECT_TRUE(live.events[0].done);
    EXPECT_EQ(live.npcs[0].hp, 33);
    EXPECT_EQ(live.npcs[0].id, 2);  // carried by the file
}

// Every damaged file is refused with a message naming it and the problem; the map in play is untouched.
TEST_F(MapFile, EachDamageIsRefusedForWhatItIs) {
    CMap small, live;
    small.InitMap(2, 2, 16, 16, 2);
    small.portals.resize(1), small.events.resize(1), small.npcs.resize(1);
    small.num_portals = small.num_events = small.num_npcs = 1;
    ASSERT_EQ(small.SaveMap(dir.path("small.map")), 0);
    const std::string good = read_file(dir.path("small.map")), held = dir.path("held.map"), bad = dir.path("bad.map");
    ASSERT_EQ(sample_map().SaveMap(held), 0);
    const std::string held_bytes = read_file(held);
    ASSERT_EQ(live.LoadMap(held, true), 0);
    live.events[0].done = true;
    script.messages.clear();
    auto refused = [&](const std::string& bytes, const std::string& problem) {
        write_file(bad, bytes);
        EXPECT_EQ(live.LoadMap(bad, true), -1) << problem;
        ExpectOneMessage(bad, problem);
        EXPECT_TRUE(live.events[0].done);
        ASSERT_EQ(live.SaveMap(held), 0);
        EXPECT_EQ(read_file(held), held_bytes) << problem;
    };
    for (size_t n = 0; n < good.size(); n++) refused(good.substr(0, n), "");
    const size_t a = good.find("Spriteset: ./data/NULL\n") + 23, b = good.find("BDestmap: ./data/empty\n") + 23;
    auto patched = [&](size_t at, unsigned int v, int bytes = 4) {
        std::string s = good;
        for (int i = 0; i < bytes; i++) s[at + i] = (char)((v >> (8 * i)) & 0xFF);
        return s;
    };
    std::string nul_in_name = good;
    nul_in_name.replace(0, nul_in_name.find('\n'), "Name: a\0b", 9);
    const std::pair<std::string, const char*> cases[] = {
        {good + "x", "1 stray bytes follow the last tile"},
        // Counts larger than the bytes left are refused by name before anything is sized by them.
        {patched(b + 8, 2), ""},  // the second portal's bytes are read as the events': some later check refuses it
        {patched(b + 8, 10), "the portal count 10 is more than the file holds"},
        {patched(b + 8, 0xFFFFFFFFu), "the portal count 4294967295 is more"},
        {patched(b + 8 + 4 + 279, 0x40000000u), "the event count 1073741824 is more"},
        {patched(b + 8 + 4 + 279 + 4 + 2319, 1000000u), "the NPC count 1000000 is more"},
        {patched(a + 0, 0), "the map size 0 x 2 is outside"},
        {patched(a + 0, 0xFFFFFFFFu), "the map size 4294967295 x 2"},
        {patched(a + 0, 3), "the file ends inside the tiles"},
        {patched(a + 8, 200, 1), "the layer count 200"},
        {patched(a + 8, 1, 1), "the layer count 1"},
        {patched(a + 13, (unsigned int)-16), "the tile size 16 x -16"},
        {patched(a + 21, 7, 1), "the battle flag is 7"},
        {patched(a + 42, 'x', 1), "does not end with a line feed"},
        {patched(a + 26, 2), "the hero's start tile (2, 0) lies outside the 2 x 2 map"},
        {patched(a + 30, 0x01000000u), "the hero's start tile (0, 16777216)"},
        {patched(a + 34, (unsigned int)-1), "the companion's start tile (-1, 0)"},
        {"Nome: x.map\n" + good.substr(good.find('\n') + 1), "the \"Name:\" line is missing"},
        {"Name: " + std::string(5000, 'n'), "no line feed within 254"},
        {nul_in_name, "holds a NUL byte"},
    };
    for (const auto& [bytes, problem] : cases) refused(bytes, problem);
}

// The writer refuses whatever the reader would refuse: nothing is written and the old file stays;
// a save that fails says so. (Finding a map whatever its letter case: map_entry_test.)
TEST_F(MapFile, MapsTheLoaderWouldRefuseAreNotWritten) {
    EXPECT_EQ(sample_map().SaveMap(dir.path("no/such/dir/x.map")), -1);
    ExpectOneMessage(dir.path("no/such/dir/x.map"), "");
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
        {[](CMap& m) { m.npcs.resize(m.num_npcs = MAP_MAX_RECORDS + 1); }, "the NPC count 65537"},
    };
    const std::string p = dir.path("kept.map");
    ASSERT_EQ(sample_map().SaveMap(p), 0);
    const std::string before = read_file(p);
    for (const auto& c : cases) {
        CMap m = sample_map();
        c.spoil(m);
        EXPECT_EQ(m.SaveMap(p), -1) << c.problem;
        ExpectOneMessage(p, c.problem);
        EXPECT_EQ(read_file(p), before) << c.problem;
        EXPECT_EQ(m.name, "NULL") << c.problem;  // names are rewritten only by a save that happened
    }
}
