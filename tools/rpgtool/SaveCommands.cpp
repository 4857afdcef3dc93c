// The "save" verbs of rpgtool: dump a saved game as JSON, keys named as the members it comes from.
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "SaveFile.h"
#include "ToolCommands.h"

using nlohmann::ordered_json;

const char* const SAVE_COMMAND_USAGE =
    "  rpgtool save dump FILE.sav                the saved game as JSON on standard output\n";

namespace {

ordered_json member_json(const SavedMember& m) {
    ordered_json j;
    j["x"] = m.x;
    j["y"] = m.y;
    j["facing"] = m.facing;
    ordered_json equip = ordered_json::array();
    for (const CEquip& e : m.equip) equip.push_back({{"id", e.id}, {"name", e.name}});
    j["equip"] = equip;
    ordered_json inv = ordered_json::array();
    for (const CInv& s : m.inv)
        inv.push_back({{"equipped", s.equipped}, {"armour", s.armour}, {"damage", s.damage}, {"id", s.id},
                       {"price", s.price}, {"type", s.type}, {"name", s.name}});
    j["inv"] = inv;
    j["name"] = m.name;
    for (int k = 0; k < SAVE_STAT_COUNT; ++k) j[SAVE_STAT_NAMES[k]] = m.stats[k];
    j["won_battles"] = m.won_battles;
    return j;
}

ordered_json save_json(const SavedGame& s) {
    ordered_json j;
    j["player[0]"] = member_json(s.member[0]);
    j["player[1]"] = member_json(s.member[1]);
    j["played"] = s.played;
    j["map"] = s.map;
    j["flags"] = s.flags;
    ordered_json checks = ordered_json::array();
    for (const CEventCheck& c : s.event_checks) checks.push_back({{"map", c.map}, {"x", c.x}, {"y", c.y}});
    j["event_checks"] = checks;
    return j;
}

int dump(const std::string& path) {
    SavedGame s;
    std::string problem;
    if (!read_save_file(path, s, problem)) {
        fprintf(stderr, "rpgtool: %s\n", problem.c_str());
        return 1;
    }
    // Names are bytes from the file: anything that is not UTF-8 is shown as U+FFFD.
    std::cout << save_json(s).dump(2, ' ', false, ordered_json::error_handler_t::replace) << "\n";
    return std::cout.good() ? 0 : 1;
}

}  // namespace

int run_save_command(const std::vector<std::string>& args) {
    const ToolArgs a = split_tool_args(args, {}, {});
    if (a.error.empty() && a.words.size() == 2 && a.words[0] == "dump") return dump(a.words[1]);
    const std::string verb = a.words.empty() ? "" : " " + a.words[0];
    fprintf(stderr, "rpgtool: %s\nusage:\n%s",
            a.error.empty() ? ("wrong arguments for 'save" + verb + "'").c_str() : a.error.c_str(), SAVE_COMMAND_USAGE);
    return 2;
}
