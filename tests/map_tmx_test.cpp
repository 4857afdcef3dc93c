// rpgtool's map conversions: map to TMX to map round trips, every layer form Tiled writes, and
// refused TMX files. (The content maps' round trips through Tiled itself: tests/tiled_tool_test.sh.)
#include <gtest/gtest.h>

#include "CMap.h"
#include "ScriptHost.h"
#include "TempDir.h"
#include "MapTmx.h"

namespace {

// A minimal TMX around the given properties, map size and body.
std::string tmx(const std::string& body, const std::string& props = "",
                const std::string& size = "width=\"2\" height=\"2\"") {
    return "<?xml version=\"1.0\"?>\n<map orientation=\"orthogonal\" " + size +
           " tilewidth=\"16\" tileheight=\"16\">\n<properties>" + props + "</properties>\n" + body + "</map>\n";
}
// A 2 x 2 tile layer on one line with the given <data> attributes and text.
std::string layer(const std::string& name, const std::string& attributes, const std::string& text) {
    return "<layer name=\"" + name + "\" width=\"2\" height=\"2\"><data " + attributes + ">" + text + "</data></layer>\n";
}
const std::string CSV = "encoding=\"csv\"", L0 = layer("layer 0", CSV, "1,2,3,4");
const std::string LAYERS = L0 + layer("layer 1", CSV, "0,0,0,0");  // lines 4 and 5 of a tmx()

class MapTmx : public GameRig {
protected:
    TempDir dir;
    CMap built;
    std::string error;
    // Writes text as a TMX file and builds it into `built`; its path.
    std::string Build(const std::string& text, bool& ok) {
        const std::string p = dir.path("in.tmx");
        write_file(p, text);
        std::vector<std::string> warnings;
        built = CMap();
        ok = tmx_to_map(p, built, error, warnings);
        return p;
    }
};

}  // namespace

// Every field of the map file, at its awkward values, survives export and build in every layer format.
TEST_F(MapTmx, AwkwardValuesSurviveExportAndBuildByteForByte) {
    CMap m;
    m.InitMap(32, 3, 16, 16, 3);
    m.tileset_name = "tiles.bmp", m.spriteset_name = "npcs.bmp", m.bdestmap = "./data/home.map";
    m.bdest_x = 10, m.battle = true, m.spare = -7, m.p1_x = 31, m.p1_y = 2;
    CPortal p;
    p.x = -16, p.quest_flag = (int)0x80000000u, p.dest_map.assign(254, 'd');
    CEvent e;
    e.x = -1, e.y = 70000, e.type = 0x3FF, e.speaker = " padded speaker ";
    e.text = "two\nlines & <angle> \"quotes\"\ttab", e.text2.assign(1023, 'x');
    CNpc n;
    n.x = 0xFFFFFFFFu, n.sprite = 255, n.id = -3, n.extra = 123456;
    m.portals = {p, CPortal()}, m.events = {e, CEvent()}, m.npcs = {n};
    m.num_portals = 2, m.num_events = 2, m.num_npcs = 1;
    m.tiles[2][2][31] = CTile{-5, -1, 255};
    m.tiles[0][0][0] = CTile{0x7FFFFFFF, 0x40000000, 1};
    m.tiles[1][1][1].flags = TF_EVENT;
    ASSERT_EQ(m.SaveMap(dir.path("odd.map")), 0);
    const std::string bytes = read_file(dir.path("odd.map"));
    CMap loaded;
    ASSERT_EQ(loaded.LoadMap(dir.path("odd.map"), true), 0);
    mkdir(dir.path("b").c_str(), 0700);
    for (TmxEncoding enc : {TmxEncoding::CSV, TmxEncoding::BASE64, TmxEncoding::ZLIB, TmxEncoding::GZIP}) {
        ASSERT_TRUE(map_to_tmx(loaded, dir.path("odd.tmx"), error, enc)) << error;
        CMap back;
        std::vector<std::string> warnings;
        ASSERT_TRUE(tmx_to_map(dir.path("odd.tmx"), back, error, warnings)) << error;
        ASSERT_EQ(back.SaveMap(dir.path("b/odd.map")), 0);
        EXPECT_EQ(read_file(dir.path("b/odd.map")), bytes) << "format " << (int)enc;
    }
}

// Cells 1, 2, 3, 4 in every format Tiled writes (encoded independently of the tool: little-endian
// words, then zlib or gzip); and cells read by the first GIDs of their tilesets, which Tiled
// numbers afresh when it saves.
TEST_F(MapTmx, CellsBuildAlikeInEveryLayerFormatAndByTheirTilesetsFirstGid) {
    using Cells = std::vector<std::pair<int, int>>;  // (tile, flags) of layer 0, row by row
    const Cells plain = {{1, 0}, {2, 0}, {3, 0}, {4, 0}}, flagged = {{1, 1}, {256, 0}, {0, 4}, {7, 0}};
    const struct {
        std::string tilesets, attributes, text, flags0;
        Cells cells;
    } cases[] = {
        {"", CSV, "1,2,\n3,4", "", plain},
        {"", "encoding=\"base64\"", "\n  AQAAAAIAAAAD\n  AAAABAAAAA==\n", "", plain},
        {"", "encoding=\"base64\" compression=\"zlib\"", "eJxjZGBgYAJiZiBmAWIAAGAACw==", "", plain},
        {"", "encoding=\"base64\" compression=\"gzip\"", "H4sIAAAAAAACA2NkYGBgAmJmIGYBYgDv1AWvEAAAAA==", "", plain},
        // As the export writes them, and the flags moved behind a 256-tile sheet as Tiled saves them.
        {"<tileset firstgid=\"1\" name=\"tiles\"/><tileset firstgid=\"65536\" name=\"flags\"/>", CSV, "1,256,0,7",
         "65537,0,65540,65536", flagged},
        {"<tileset firstgid=\"1\" name=\"tiles\"/><tileset firstgid=\"257\" name=\"flags\"/>", CSV, "1,256,0,7",
         "258,0,261,277", {{1, 1}, {256, 0}, {0, 4}, {7, 20}}},
        // The flags first and the sheet after them: tile n is the sheet's first GID + n - 1.
        {"<tileset firstgid=\"1\" name=\"flags\"/><tileset firstgid=\"17\" name=\"tiles\"/>", CSV, "17,272,0,23",
         "2,0,5,0", flagged},
    };
    for (const auto& c : cases) {
        bool ok;
        Build(tmx(c.tilesets + "\n" + layer("layer 0", c.attributes, c.text) +
                  (c.flags0.empty() ? "" : layer("flags 0", CSV, c.flags0)) + layer("layer 1", CSV, "0,0,0,0")), ok);
        ASSERT_TRUE(ok) << error;
        Cells cells;
        for (const auto& row : built.tiles[0])
            for (const CTile& t : row) cells.push_back({t.tile, t.flags});
        EXPECT_EQ(cells, c.cells) << c.tilesets << c.attributes;
    }
}

// Each broken TMX is refused with its file, the line or object, and the problem.
TEST_F(MapTmx, BrokenTmxFilesAreRefusedWithPlaceAndProblem) {
    const struct {
        std::string text, where, problem;
    } cases[] = {
        {"<map", ":1:", "not well-formed"},
        {"<other/>", "", "not <map>"},
        {tmx(L0), ":2:", "'layer 0' and 'layer 1'"},
        {tmx(LAYERS, "", "width=\"0\" height=\"2\""), ":2:", "map size"},
        {tmx(L0 + layer("layer 1", CSV, "1,2,\nx,4")), ":6:", "not a number"},
        {tmx(L0 + layer("layer 1", CSV, "1,2,3")), ":5:", "3 cells"},
        {tmx(LAYERS + "<objectgroup name=\"npcs\"><object id=\"9\" x=\"3.5\" y=\"0\"/></objectgroup>"), "object 9",
         "whole pixel"},
        {tmx(LAYERS + "<objectgroup name=\"events\"><object id=\"5\" x=\"0\" y=\"0\"><properties>"
                      "<property name=\"text\" value=\"" + std::string(1024, 'a') + "\"/></properties></object></objectgroup>"),
         ":6:", "1023"},
        {tmx(LAYERS + layer("extra 0", CSV, "0,0,0,7")), ":2:", "131072"},
        {tmx(LAYERS, "<property name=\"p0_x\" type=\"int\" value=\"2\"/>"), ":2:",
         "the hero's start tile (2, 0) lies outside"},
        {tmx(LAYERS, "<property name=\"p1_y\" type=\"int\" value=\"16777216\"/>"), ":2:", "the companion's start tile"},
        {tmx(L0 + layer("layer 1", "encoding=\"base64\" compression=\"zstd\"", "KLUv/SAQgQAA")), ":5:", "zstd"},
        {tmx(L0 + layer("layer 1", "encoding=\"base64\"", "AQAAAAIA*AADAAAABAAAAA==")), ":5:", "not base64 near '*"},
        {tmx(L0 + layer("layer 1", "encoding=\"base64\"", "AQAAAAIAAAADAAAABAAA")), ":5:", "not whole 4-byte cells"},
        {tmx(L0 + layer("layer 1", "encoding=\"base64\" compression=\"zlib\"", "eJxjZGBgYAJiZiBmAWIA")), ":5:",
         "cut short"},
        {tmx(L0 + layer("layer 1", "encoding=\"base64\" compression=\"gzip\"", "eJxjZGBgYAJiZiBmAWIAAGAACw==")), ":5:",
         "not a valid gzip stream"},
        {tmx(L0 + layer("layer 1", "", "<tile gid=\"1\"/>")), ":5:", "XML tiles"},
        {tmx("<tileset firstgid=\"1\" source=\"tiles.tsx\"/>\n" + LAYERS), ":4:", "separate file"},
    };
    for (const auto& c : cases) {
        bool ok;
        const std::string p = Build(c.text, ok);
        EXPECT_FALSE(ok) << c.problem;
        EXPECT_EQ(error.rfind(p, 0), 0u) << error;
        EXPECT_NE(error.find(c.where), std::string::npos) << c.where << " in " << error;
        EXPECT_NE(error.find(c.problem), std::string::npos) << error;
    }
}
