// The "map" verbs of rpgtool: build a TMX into a map file, export a map to TMX, dump it as JSON, render it.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "CMap.h"
#include "MapJson.h"
#include "MapRender.h"
#include "MapTmx.h"
#include "ToolCommands.h"

const char* const MAP_COMMAND_USAGE =
    "  rpgtool map build IN.tmx OUT.map          compile a Tiled map into a game map file\n"
    "  rpgtool map export IN.map OUT.tmx [--encoding csv|base64|zlib|gzip]\n"
    "                                            the reverse: a TMX that builds to the same bytes\n"
    "  rpgtool map dump IN.map [--tiles]         the map as JSON on standard output\n"
    "  rpgtool map render IN.map OUT.bmp [--editor LAYER]\n"
    "                                            the whole map as the game draws it, or the editor view of a layer\n"
    "  Options may stand anywhere after the verb.\n";

namespace {

int usage_error(const char* why) {
    fprintf(stderr, "rpgtool: %s\nusage:\n%s", why, MAP_COMMAND_USAGE);
    return 2;
}

// The whole map, NPCs of sprite row 3 included; the loader has already said what went wrong.
bool load_whole(const std::string& path, CMap& m) { return m.LoadMap(path, true) == 0; }

int build(const std::string& in, const std::string& out) {
    CMap m;
    std::string error;
    std::vector<std::string> warnings;
    if (!tmx_to_map(in, m, error, warnings)) {
        fprintf(stderr, "rpgtool: %s\n", error.c_str());
        return 1;
    }
    for (const std::string& w : warnings) fprintf(stderr, "rpgtool: warning: %s\n", w.c_str());
    return m.SaveMap(out) == 0 ? 0 : 1;
}

int export_tmx(const std::string& in, const std::string& out, TmxEncoding encoding) {
    CMap m;
    if (!load_whole(in, m)) return 1;
    std::string error;
    if (!map_to_tmx(m, out, error, encoding)) {
        fprintf(stderr, "rpgtool: %s: %s\n", in.c_str(), error.c_str());
        return 1;
    }
    return 0;
}

int dump(const std::string& in, bool tiles) {
    CMap m;
    if (!load_whole(in, m)) return 1;
    std::cout << map_to_json(m, tiles).dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
    return std::cout.good() ? 0 : 1;
}

int render(const std::string& in, const std::string& out, int editor_layer) {
    CMap m;
    if (!load_whole(in, m)) return 1;
    if (editor_layer >= (int)m.layers) {
        fprintf(stderr, "rpgtool: %s has %d layers; there is no layer %d\n", in.c_str(), m.layers, editor_layer);
        return 1;
    }
    std::string error;
    BITMAP* bmp = render_map(m, editor_layer, error);
    if (!bmp) {
        fprintf(stderr, "rpgtool: %s: %s\n", in.c_str(), error.c_str());
        return 1;
    }
    PALETTE pal;
    get_palette(pal);
    int rc = save_bitmap(out.c_str(), bmp, pal);
    destroy_bitmap(bmp);
    if (rc != 0) {
        fprintf(stderr, "rpgtool: %s: cannot be written\n", out.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int run_map_command(const std::vector<std::string>& args) {
    if (args.empty()) return usage_error("no map verb given");
    const std::string& verb = args[0];
    ToolArgs a = split_tool_args(std::vector<std::string>(args.begin() + 1, args.end()), {"--tiles"},
                                 {"--editor", "--encoding"});
    if (!a.error.empty()) return usage_error(a.error.c_str());
    const std::vector<std::string>& w = a.words;
    // Each verb takes its own options only.
    auto only = [&](std::initializer_list<const char*> allowed) {
        for (const auto& kv : a.options)
            if (std::find_if(allowed.begin(), allowed.end(), [&](const char* o) { return kv.first == o; }) == allowed.end())
                return false;
        return true;
    };
    auto has = [&](const char* o) { return a.options.count(o) != 0; };

    if (verb == "build" && w.size() == 2 && only({})) return build(w[0], w[1]);
    if (verb == "export" && w.size() == 2 && only({"--encoding"})) {
        TmxEncoding encoding = TmxEncoding::CSV;
        if (has("--encoding") && !tmx_encoding_from_name(a.options["--encoding"], encoding))
            return usage_error("the encoding is not csv, base64, zlib or gzip");
        return export_tmx(w[0], w[1], encoding);
    }
    if (verb == "dump" && w.size() == 1 && only({"--tiles"})) return dump(w[0], has("--tiles"));
    if (verb == "render" && w.size() == 2 && only({"--editor"})) {
        if (!has("--editor")) return render(w[0], w[1], -1);
        const std::string& v = a.options["--editor"];
        char* end = nullptr;
        long layer = strtol(v.c_str(), &end, 10);
        if (v.empty() || *end || layer < 0 || layer > 255) return usage_error("the editor layer is not a layer number");
        return render(w[0], w[1], (int)layer);
    }
    return usage_error(("wrong arguments for 'map " + verb + "'").c_str());
}
