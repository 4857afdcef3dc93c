// Building the JSON form of a map for "rpgtool map dump".
#include "MapJson.h"

using nlohmann::ordered_json;

ordered_json map_to_json(const CMap& m, bool with_tiles) {
    ordered_json j;
    j["width"] = m.width;
    j["height"] = m.height;
    j["layers"] = m.layers;
    j["tile_w"] = m.tile_w;
    j["tile_h"] = m.tile_h;
    j["spare"] = m.spare;
    j["battle"] = m.battle;
    j["cine"] = m.cine;
    j["p0_x"] = m.p0_x;
    j["p0_y"] = m.p0_y;
    j["p1_x"] = m.p1_x;
    j["p1_y"] = m.p1_y;
    j["name"] = m.name;
    j["tileset_name"] = m.tileset_name;
    j["spriteset_name"] = m.spriteset_name;
    j["bdestmap"] = m.bdestmap;
    j["bdest_x"] = m.bdest_x;
    j["bdest_y"] = m.bdest_y;
    ordered_json portals = ordered_json::array();
    for (unsigned int i = 0; i < m.num_portals && i < m.portals.size(); i++) {
        const CPortal& p = m.portals[i];
        portals.push_back({{"x", p.x}, {"y", p.y}, {"dest_x", p.dest_x}, {"dest_y", p.dest_y}, {"cine", p.cine},
                           {"quest_flag", p.quest_flag}, {"dest_map", p.dest_map}});
    }
    j["portals"] = portals;
    ordered_json events = ordered_json::array();
    for (unsigned int i = 0; i < m.num_events && i < m.events.size(); i++) {
        const CEvent& e = m.events[i];
        events.push_back({{"x", e.x}, {"y", e.y}, {"type", e.type}, {"quest", e.quest}, {"speaker", e.speaker},
                          {"text", e.text}, {"text2", e.text2}});
    }
    j["events"] = events;
    ordered_json npcs = ordered_json::array();
    for (unsigned int i = 0; i < m.num_npcs && i < m.npcs.size(); i++) {
        const CNpc& n = m.npcs[i];
        npcs.push_back({{"x", n.x}, {"y", n.y}, {"extra", n.extra}, {"sprite", n.sprite}, {"id", n.id}});
    }
    j["npcs"] = npcs;
    if (with_tiles) {
        ordered_json layers = ordered_json::array();
        for (const auto& layer : m.tiles) {
            ordered_json rows = ordered_json::array();
            for (const auto& row : layer) {
                ordered_json cells = ordered_json::array();
                for (const CTile& c : row) cells.push_back({c.tile, c.flags, c.extra});
                rows.push_back(std::move(cells));
            }
            layers.push_back(std::move(rows));
        }
        j["tiles"] = std::move(layers);
    }
    return j;
}
