// rpgtool's map conversions: TMX to map to TMX round trips and refused TMX files.
#include <gtest/gtest.h>

#include "CMap.h"
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
// "layer 1" of a 2 x 2 map with the given <data> attributes and text.
std::string layer1(const std::string& data_attributes, const std::string& text) {
    return "<layer name=\"layer 1\" width=\"2\" height=\"2\">\n<data " + data_attributes + ">" + text + "</data></layer>\n";
}

// The cells (tile, flags) of layer 0 of a built TMX, row by row; empty after a failed build.
std::vector<std::pair<int, int>> layer0_cells(const std::string& path) {
    CMap m;
    std::string error;
    std::vector<std::string> warnings;
    std::vector<std::pair<int, int>> out;
    if (!tmx_to_map(path, m, error, warnings)) {
        ADD_FAILURE() << error;
        return out;
    }
    for (const auto& row : m.tiles[0])
        for (const CTile& t : row) out.push_back({t.tile, t.flags});
    return out;
}

const std::string LAYERS =
    "<layer name=\"layer 0\" width=\"2\" height=\"2\"><data encoding=\"csv\">1,2,\n3,4</data></layer>\n"
    "<layer name=\"layer 1\" width=\"2\" height=\"2\"><data encoding=\"csv\">0,0,\n0,0</data></layer>\n";

}  // namespace

class MapTmx : public GameRig {
protected:
    TempDir dir;
};

// The content maps exported in every layer format build back to the same bytes.
TEST_F(MapTmx, ContentMapsRoundTripThroughTmxByteForByte) {
    mkdir(dir.path("again").c_str(), 0700);
    for (const char* name : {"duskwing", "meadow"}) {
        const std::string file = std::string(name) + ".map";
        const std::string first = build_bytes(std::string(MAPS_CONTENT_DIR) + "/" + name + ".tmx", dir.path(file));
        ASSERT_FALSE(first.empty());
        CMap m;
        ASSERT_EQ(m.LoadMap(dir.path(file), true), 0);
        for (TmxEncoding e : {TmxEncoding::CSV, TmxEncoding::BASE64, TmxEncoding::ZLIB, TmxEncoding::GZIP}) {
            SCOPED_TRACE(std::string(name) + " in format " + std::to_string((int)e));
            std::string error;
            ASSERT_TRUE(map_to_tmx(m, dir.path("export.tmx"), error, e)) << error;
            EXPECT_EQ(build_bytes(dir.path("export.tmx"), dir.path("again/" + file)), first);
        }
    }
}

TEST_F(MapTmx, AwkwardValuesSurviveExportAndBuild) {
    CMap m;
    m.InitMap(32, 3, 16, 16, 3);
    m.tileset_name = "tiles.bmp";
    m.spriteset_name = "npcs.bmp";
    m.bdestmap = "./data/home.map";
    m.bdest_x = 10; m.battle = true; m.spare = -7; m.p1_x = 31; m.p1_y = 2;
    CPortal p;
    p.x = -16; p.quest_flag = (int)0x80000000u; p.dest_map = std::string(254, 'd');
    CEvent e;
    e.x = -1; e.y = 70000; e.type = 0x3FF;
    e.speaker = " padded speaker ";
    e.text = "two\nlines & <angle> \"quotes\"\ttab";
    e.text2 = std::string(1023, 'x');
    CNpc n;
    n.x = 0xFFFFFFFFu; n.sprite = 255; n.id = -3; n.extra = 123456;
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

// The same layer in every format Tiled writes, encoded independently of the tool, builds alike.
TEST_F(MapTmx, EveryLayerFormatTiledWritesBuildsTheSameMap) {
    // Cells 1, 2, 3, 4: encoded independently of the tool (little-endian words, then zlib or gzip).
    const struct {
        const char* attributes;
        const char* text;
    } formats[] = {
        {"encoding=\"csv\"", "1,2,\n3,4"},
        {"encoding=\"base64\"", "\n  AQAAAAIAAAAD\n  AAAABAAAAA==\n"},
        {"encoding=\"base64\" compression=\"zlib\"", "eJxjZGBgYAJiZiBmAWIAAGAACw=="},
        {"encoding=\"base64\" compression=\"gzip\"", "H4sIAAAAAAACA2NkYGBgAmJmIGYBYgDv1AWvEAAAAA=="},
    };
    for (const auto& f : formats) {
        SCOPED_TRACE(f.attributes);
        std::string p = dir.path("format.tmx");
        write_file(p, tmx("<layer name=\"layer 0\" width=\"2\" height=\"2\"><data " + std::string(f.attributes) + ">" +
                          f.text + "</data></layer>\n" + layer1("encoding=\"csv\"", "0,0,0,0")));
        EXPECT_EQ(layer0_cells(p), (std::vector<std::pair<int, int>>{{1, 0}, {2, 0}, {3, 0}, {4, 0}}));
    }

}

// Tiled numbers the tilesets afresh when it saves: cells are read by each file's first GIDs.
TEST_F(MapTmx, CellsAreReadByTheFirstGidOfTheirTileset) {
    const struct {
        const char* tilesets;
        const char* layer0;  // 2 x 2 cells
        const char* flags0;
        std::vector<std::pair<int, int>> cells;
    } cases[] = {
        // As the export writes them, and the flags moved behind a 256-tile sheet as Tiled saves them.
        {"<tileset firstgid=\"1\" name=\"tiles\"/><tileset firstgid=\"65536\" name=\"flags\"/>", "1,256,0,7",
         "65537,0,65540,65536", {{1, 1}, {256, 0}, {0, 4}, {7, 0}}},
        {"<tileset firstgid=\"1\" name=\"tiles\"/><tileset firstgid=\"257\" name=\"flags\"/>", "1,256,0,7",
         "258,0,261,277", {{1, 1}, {256, 0}, {0, 4}, {7, 20}}},
        // The flags first and the sheet after them: tile n is the sheet's first GID + n - 1.
        {"<tileset firstgid=\"1\" name=\"flags\"/><tileset firstgid=\"17\" name=\"tiles\"/>", "17,272,0,23", "2,0,5,0",
         {{1, 1}, {256, 0}, {0, 4}, {7, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tilesets);
        std::string p = dir.path("gids.tmx");
        write_file(p, tmx(std::string(c.tilesets) + "\n<layer name=\"layer 0\" width=\"2\" height=\"2\"><data encoding=\"csv\">" +
                          c.layer0 + "</data></layer>\n<layer name=\"flags 0\" width=\"2\" height=\"2\"><data encoding=\"csv\">" +
                          c.flags0 + "</data></layer>\n" + layer1("encoding=\"csv\"", "0,0,0,0")));
        EXPECT_EQ(layer0_cells(p), c.cells);
    }
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
        {tmx(L0 + "<layer name=\"layer 1\" width=\"2\" height=\"2\"><data encoding=\"csv\">1,2,\nx,4</data></layer>"),
         ":6:", "not a number"},
        {tmx(L0 + "<layer name=\"layer 1\" width=\"2\" height=\"2\"><data encoding=\"csv\">1,2,3</data></layer>"), ":5:",
         "3 cells"},
        {tmx(LAYERS + "<objectgroup name=\"npcs\"><object id=\"9\" x=\"3.5\" y=\"0\"/></objectgroup>"), "object 9",
         "whole pixel"},
        {tmx(LAYERS + "<objectgroup name=\"events\"><object id=\"5\" x=\"0\" y=\"0\"><properties><property name=\"text\" value=\"" +
             std::string(1024, 'a') + "\"/></properties></object></objectgroup>"),
         ":8:", "1023"},
        {tmx(LAYERS + "<layer name=\"extra 0\" width=\"2\" height=\"2\"><data encoding=\"csv\">0,0,0,7</data></layer>"),
         ":2:", "131072"},
        {tmx(LAYERS, "<property name=\"p0_x\" type=\"int\" value=\"2\"/>"), ":2:", "the hero's start tile (2, 0) lies outside"},
        {tmx(LAYERS, "<property name=\"p1_y\" type=\"int\" value=\"16777216\"/>"), ":2:", "the companion's start tile"},
        {tmx(L0 + layer1("encoding=\"base64\" compression=\"zstd\"", "KLUv/SAQgQAA")), ":6:", "zstd"},
        {tmx(L0 + layer1("encoding=\"base64\"", "AQAAAAIA*AADAAAABAAAAA==")), ":6:", "not base64 near '*"},
        {tmx(L0 + layer1("encoding=\"base64\"", "AQAAAAIAAAADAAAABAAA")), ":6:", "not whole 4-byte cells"},
        {tmx(L0 + layer1("encoding=\"base64\" compression=\"zlib\"", "eJxjZGBgYAJiZiBmAWIA")), ":6:", "cut short"},
        {tmx(L0 + layer1("encoding=\"base64\" compression=\"gzip\"", "eJxjZGBgYAJiZiBmAWIAAGAACw==")), ":6:",
         "not a valid gzip stream"},
        {tmx(L0 + layer1("", "<tile gid=\"1\"/>")), ":6:", "XML tiles"},
        {tmx("<tileset firstgid=\"1\" source=\"tiles.tsx\"/>\n" + LAYERS), ":4:", "separate file"},
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
}

