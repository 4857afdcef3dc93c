// rpgtool's map conversions: TMX to map to TMX round trips, refused TMX files and the JSON form.
#include <gtest/gtest.h>

#include "CMap.h"
#include "MapJson.h"
#include "ScriptHost.h"
#include "TempDir.h"
#include "MapTmx.h"

namespace {

// Builds a TMX into a map file; the file's bytes, or "" after a failed build.
std::string build_bytes(const std::string& tmx, const std::string& out) {
    CMap m;
    std::string error;
    std::vector<std::string> warnings;
    if (!tmx_to_map(tmx, m, error, warnings)) {
        ADD_FAILURE() << error;
        return "";
    }
    if (m.SaveMap(out) != 0) return "";
    return read_file(out);
}

// A minimal TMX around the given map attributes, properties and body.
std::string tmx(const std::string& body, const std::string& props = "", const std::string& size = "width=\"2\" height=\"2\"") {
    return "<?xml version=\"1.0\"?>\n<map orientation=\"orthogonal\" " + size +
           " tilewidth=\"16\" tileheight=\"16\">\n<properties>" + props + "</properties>\n" + body + "</map>\n";
}
const std::string LAYERS =
    "<layer name=\"layer 0\" width=\"2\" height=\"2\"><data encoding=\"csv\">1,2,\n3,4</data></layer>\n"
    "<layer name=\"layer 1\" width=\"2\" height=\"2\"><data encoding=\"csv\">0,0,\n0,0</data></layer>\n";

}  // namespace

class MapTmx : public GameRig {
protected:
    TempDir dir;
};

TEST_F(MapTmx, ContentMapsRoundTripThroughTmxByteForByte) {
    for (const char* name : {"duskwing", "meadow"}) {
        SCOPED_TRACE(name);
        std::string first = build_bytes(std::string(MAPS_CONTENT_DIR) + "/" + name + ".tmx", dir.path(std::string(name) + ".map"));
        ASSERT_FALSE(first.empty());
        CMap m;
        ASSERT_EQ(m.LoadMap(dir.path(std::string(name) + ".map"), true), 0);
        std::string error;
        ASSERT_TRUE(map_to_tmx(m, dir.path("export1.tmx"), error)) << error;
        mkdir(dir.path("again").c_str(), 0700);
        std::string second = build_bytes(dir.path("export1.tmx"), dir.path("again/" + std::string(name) + ".map"));
        EXPECT_EQ(first, second);
        // Exporting the rebuilt map gives the same TMX again.
        CMap m2;
        ASSERT_EQ(m2.LoadMap(dir.path("again/" + std::string(name) + ".map"), true), 0);
        ASSERT_TRUE(map_to_tmx(m2, dir.path("export2.tmx"), error)) << error;
        EXPECT_EQ(read_file(dir.path("export1.tmx")), read_file(dir.path("export2.tmx")));
    }
}

TEST_F(MapTmx, AwkwardValuesSurviveExportAndBuild) {
    CMap m;
    m.InitMap(32, 3, 16, 16, 3);
    m.tileset_name = "tiles.bmp";
    m.spriteset_name = "npcs.bmp";
    m.bdestmap = "./data/home.map";
    m.bdest_x = 10;
    m.battle = true;
    m.spare = -7;
    m.p1_y = -1;
    CPortal p;
    p.x = -16;
    p.quest_flag = (int)0x80000000u;
    p.dest_map = std::string(254, 'd');
    CEvent e;
    e.x = -1;
    e.y = 70000;
    e.type = 0x3FF;
    e.speaker = " padded speaker ";
    e.text = "two\nlines & <angle> \"quotes\"\ttab";
    e.text2 = std::string(1023, 'x');
    CNpc n;
    n.x = 0xFFFFFFFFu;
    n.sprite = 255;
    n.id = -3;
    n.extra = 123456;
    m.portals = {p, CPortal()};
    m.events = {e, CEvent()};
    m.npcs = {n};
    m.num_portals = 2; m.num_events = 2; m.num_npcs = 1;
    m.tiles[2][2][31] = CTile{-5, -1, 255};
    m.tiles[0][0][0] = CTile{0x7FFFFFFF, 0x40000000, 1};
    m.tiles[1][1][1].flags = TF_EVENT;
    std::string a = dir.path("odd.map");
    ASSERT_EQ(m.SaveMap(a), 0);
    std::string bytes = read_file(a);
    CMap loaded;
    ASSERT_EQ(loaded.LoadMap(a, true), 0);
    std::string error;
    ASSERT_TRUE(map_to_tmx(loaded, dir.path("odd.tmx"), error)) << error;
    mkdir(dir.path("b").c_str(), 0700);
    EXPECT_EQ(build_bytes(dir.path("odd.tmx"), dir.path("b/odd.map")), bytes);
}

TEST_F(MapTmx, DefaultsFromAMinimalTmx) {
    write_file(dir.path("min.tmx"), tmx(LAYERS));
    CMap m;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(tmx_to_map(dir.path("min.tmx"), m, error, warnings)) << error;
    EXPECT_EQ(m.width, 2u);
    EXPECT_EQ(m.layers, 2);
    EXPECT_EQ(m.tiles[0][1][0].tile, 3);
    EXPECT_EQ(m.spare, 2);
    EXPECT_EQ(m.tileset_name, "./data/tiles.bmp");
    EXPECT_EQ(m.bdestmap, "./data/empty");
    EXPECT_EQ(m.num_portals + m.num_events + m.num_npcs, 0u);
}

TEST_F(MapTmx, WarningsForEventsTheUseKeyCannotFind) {
    std::string body = LAYERS +
        "<objectgroup name=\"events\"><object id=\"3\" x=\"17\" y=\"0\"><properties>"
        "<property name=\"type\" type=\"int\" value=\"16\"/></properties></object>"
        "<object id=\"4\" x=\"100\" y=\"0\"/></objectgroup>";
    write_file(dir.path("w.tmx"), tmx(body));
    CMap m;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(tmx_to_map(dir.path("w.tmx"), m, error, warnings)) << error;
    EXPECT_EQ(m.events[0].x, 1);  // the tile under the corner
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_NE(warnings[0].find("object 3"), std::string::npos);
    EXPECT_NE(warnings[0].find("flag 8"), std::string::npos);
    EXPECT_NE(warnings[1].find("outside"), std::string::npos);
}

// Each broken TMX is refused with its file, the line or object, and the problem.
TEST_F(MapTmx, BrokenTmxFilesAreRefusedWithPlaceAndProblem) {
    struct Case {
        std::string text, where, problem;
    };
    const std::string L0 = "<layer name=\"layer 0\" width=\"2\" height=\"2\"><data encoding=\"csv\">1,2,3,4</data></layer>\n";
    const Case cases[] = {
        {"<map", ":1:", "not well-formed"},
        {"<other/>", "", "not <map>"},
        {tmx(L0), ":2:", "'layer 0' and 'layer 1'"},
        {tmx(LAYERS, "", "width=\"0\" height=\"2\""), ":2:", "map size"},
        {tmx(LAYERS + "<layer name=\"ground\" width=\"2\" height=\"2\"/>"), ":8:", "'ground'"},
        {tmx(L0 + "<layer name=\"layer 1\" width=\"2\" height=\"2\"><data encoding=\"csv\">1,2,\nx,4</data></layer>"),
         ":6:", "not a number"},
        {tmx(L0 + "<layer name=\"layer 1\" width=\"2\" height=\"2\"><data encoding=\"csv\">1,2,3</data></layer>"), ":5:",
         "3 cells"},
        {tmx(L0 + "<layer name=\"layer 1\" width=\"2\" height=\"2\"><data encoding=\"base64\">AAAA</data></layer>"),
         ":5:", "CSV"},
        {tmx(L0 + "<layer name=\"layer 2\" width=\"2\" height=\"2\"><data encoding=\"csv\">1,2,3,4</data></layer>"),
         ":2:", "'layer 1' is missing"},
        {tmx(LAYERS, "<property name=\"p0x\" value=\"3\"/>"), ":3:", "'p0x'"},
        {tmx(LAYERS, "<property name=\"cine\" type=\"int\" value=\"two\"/>"), ":3:", "'cine'"},
        {tmx(LAYERS, "<property name=\"battle\" value=\"maybe\"/>"), ":3:", "true or false"},
        {tmx(LAYERS, "<property name=\"tileset\" value=\"my tiles.bmp\"/>"), ":3:", "blanks"},
        {tmx(LAYERS + "<objectgroup name=\"npcs\"><object id=\"9\" x=\"3.5\" y=\"0\"/></objectgroup>"), "object 9",
         "whole pixel"},
        {tmx(LAYERS + "<objectgroup name=\"npcs\"><object id=\"9\" x=\"0\" y=\"0\"><properties>"
                      "<property name=\"sprite\" value=\"300\"/></properties></object></objectgroup>"),
         "object 9", "sprite row"},
        {tmx(LAYERS + "<objectgroup name=\"events\"><object id=\"5\" x=\"0\" y=\"0\"><properties><property name=\"text\" value=\"" +
             std::string(1024, 'a') + "\"/></properties></object></objectgroup>"),
         ":8:", "1023"},
        {tmx(LAYERS + "<objectgroup name=\"portals\"><object id=\"2\" x=\"0\" y=\"0\"><properties>"
                      "<property name=\"dest\" value=\"x\"/></properties></object></objectgroup>"),
         ":8:", "'dest'"},
        {tmx(LAYERS + "<objectgroup name=\"notes\"/>"), ":8:", "'notes'"},
        {tmx(LAYERS + "<group name=\"g\"/>"), ":8:", "<group>"},
        {tmx("<tileset firstgid=\"5\" name=\"tiles\"/>" + LAYERS), ":4:", "first GID 1"},
        {tmx(LAYERS + "<layer name=\"extra 0\" width=\"2\" height=\"2\"><data encoding=\"csv\">0,0,0,7</data></layer>"),
         ":2:", "131072"},
    };
    int i = 0;
    for (const Case& c : cases) {
        std::string p = dir.path("bad" + std::to_string(i++) + ".tmx");
        write_file(p, c.text);
        CMap m;
        std::string error;
        std::vector<std::string> warnings;
        EXPECT_FALSE(tmx_to_map(p, m, error, warnings)) << c.problem;
        EXPECT_EQ(error.rfind(p, 0), 0u) << error;
        EXPECT_NE(error.find(c.where), std::string::npos) << c.where << " in " << error;
        EXPECT_NE(error.find(c.problem), std::string::npos) << error;
    }
    CMap m;
    std::string error;
    std::vector<std::string> warnings;
    EXPECT_FALSE(tmx_to_map(dir.path("missing.tmx"), m, error, warnings));
    EXPECT_NE(error.find("cannot be opened"), std::string::npos);
}

TEST_F(MapTmx, JsonKeysAreTheMembers) {
    CMap m;
    m.InitMap(2, 1, 16, 16, 2);
    m.tiles[1][0][1] = CTile{7, 8, 9};
    m.events.resize(1);
    m.events[0].text = "hi";
    m.num_events = 1;
    auto j = map_to_json(m, true);
    std::vector<std::string> keys;
    for (auto it = j.begin(); it != j.end(); ++it) keys.push_back(it.key());
    const std::vector<std::string> expected = {"width", "height", "layers", "tile_w", "tile_h", "spare", "battle",
                                               "cine", "p0_x", "p0_y", "p1_x", "p1_y", "name", "tileset_name",
                                               "spriteset_name", "bdestmap", "bdest_x", "bdest_y", "portals",
                                               "events", "npcs", "tiles"};
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(j["events"][0]["text"], "hi");
    EXPECT_EQ(j["tiles"][1][0][1].dump(), "[7,8,9]");
    EXPECT_FALSE(map_to_json(m, false).contains("tiles"));
}
