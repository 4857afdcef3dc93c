// TMX (Tiled) reader and writer for game maps: CSV tile layers, flag layers, map properties and object layers.
#include "MapTmx.h"

#include <tinyxml2.h>
#include <zlib.h>

#include "ByteIO.h"
#include "DataFiles.h"
#include "MapFile.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;

namespace {

// Thrown inside the reader and caught at its entry: the message already names file and place.
struct TmxError {
    std::string message;
};

[[noreturn]] void fail(const std::string& at, const std::string& problem) { throw TmxError{at + ": " + problem}; }

std::string at_line(const std::string& file, const XMLElement* e) { return file + ":" + std::to_string(e->GetLineNum()); }

// A whole decimal number, optionally signed, with nothing else but blanks around it.
bool parse_ll(const char* s, long long& v) {
    if (!s) return false;
    errno = 0;
    char* end = nullptr;
    v = strtoll(s, &end, 10);
    if (end == s || errno != 0) return false;
    while (*end == ' ' || *end == '\t' || *end == '\n' || *end == '\r') end++;
    return *end == '\0';
}

// The custom properties of one element, read once and checked off as they are used, so that
// a misspelt property is reported instead of silently ignored.
class Props {
public:
    Props(const std::string& file, const XMLElement* owner, const std::string& where) : where_(where) {
        const XMLElement* list = owner ? owner->FirstChildElement("properties") : nullptr;
        for (const XMLElement* p = list ? list->FirstChildElement("property") : nullptr; p;
             p = p->NextSiblingElement("property")) {
            const char* name = p->Attribute("name");
            std::string at = at_line(file, p);
            if (!name) fail(at, "a property without a name");
            const char* value = p->Attribute("value");
            if (!value) value = p->GetText();
            if (values_.count(name)) fail(at, std::string("the property '") + name + "' is given twice");
            values_[name] = Value{value ? value : "", at};
        }
    }

    int Int(const char* name, int def) {
        auto it = Take(name);
        if (it == values_.end()) return def;
        long long v;
        // Quest masks read naturally as unsigned numbers: both forms of a 32-bit word are taken.
        if (!parse_ll(it->second.text.c_str(), v) || v < INT_MIN || v > (long long)UINT_MAX)
            fail(it->second.at, std::string("the property '") + name + "' is not a 32-bit whole number: '" +
                                    it->second.text + "'");
        return (int)(unsigned int)(long long)v;
    }

    bool Bool(const char* name, bool def) {
        auto it = Take(name);
        if (it == values_.end()) return def;
        const std::string& t = it->second.text;
        if (t == "true" || t == "1") return true;
        if (t == "false" || t == "0") return false;
        fail(it->second.at, std::string("the property '") + name + "' is not true or false: '" + t + "'");
    }

    std::string Text(const char* name, const std::string& def, size_t max_len) {
        auto it = Take(name);
        if (it == values_.end()) return def;
        if (it->second.text.size() > max_len)
            fail(it->second.at, std::string("the property '") + name + "' has " + std::to_string(it->second.text.size()) +
                                    " characters, more than the " + std::to_string(max_len) + " its field holds");
        return it->second.text;
    }

    // A path stored on a text line of the map file: one word.
    std::string Word(const char* name, const std::string& def) {
        auto it = values_.find(name);
        std::string at = it == values_.end() ? "" : it->second.at;
        std::string v = Text(name, def, MAP_LINE_MAX);
        if (v.find_first_of(" \t\r\n") != std::string::npos) fail(at, std::string("the property '") + name + "' holds blanks");
        return v;
    }

    // Every property must have been used.
    void Finish() {
        for (auto& kv : values_)
            if (!used_.count(kv.first)) fail(kv.second.at, where_ + " has no property '" + kv.first + "'");
    }

private:
    struct Value {
        std::string text, at;
    };
    std::map<std::string, Value>::iterator Take(const char* name) {
        used_.insert(name);
        return values_.find(name);
    }
    std::string where_;
    std::map<std::string, Value> values_;
    std::set<std::string> used_;
};

// "layer 3" -> kind "layer", index 3.
bool split_layer_name(const std::string& name, std::string& kind, unsigned int& index) {
    size_t sp = name.find(' ');
    if (sp == std::string::npos || sp + 1 >= name.size()) return false;
    kind = name.substr(0, sp);
    std::string num = name.substr(sp + 1);
    if (num.size() > 3 || num.find_first_not_of("0123456789") != std::string::npos) return false;
    index = (unsigned int)std::stoul(num);
    return true;
}

std::vector<unsigned int> parse_csv(const std::string& file, int line, const char* s) {
    std::vector<unsigned int> cells;
    const char* p = s;
    while (true) {
        while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') {
            if (*p == '\n') line++;
            p++;
        }
        if (!*p) break;
        const char* start = p;
        unsigned long long v = 0;
        while (*p >= '0' && *p <= '9') {
            v = v * 10 + (unsigned)(*p - '0');
            if (v > UINT_MAX) fail(file + ":" + std::to_string(line), "a cell value is too large for a tile number");
            p++;
        }
        if (p == start) fail(file + ":" + std::to_string(line), std::string("a cell is not a number near '") +
                                                                    std::string(start, strnlen(start, 12)) + "'");
        cells.push_back((unsigned int)v);
        while (*p == ' ' || *p == '\t' || *p == '\r') p++;
        if (*p == ',') p++;
        else if (*p && *p != '\n')
            fail(file + ":" + std::to_string(line), std::string("a cell is not a number near '") +
                                                        std::string(start, strnlen(start, 12)) + "'");
    }
    return cells;
}

// Base64 text (blanks and line breaks between the characters allowed) to bytes.
std::string from_base64(const std::string& at, const char* s) {
    std::string out;
    unsigned int acc = 0;
    int bits = 0, pad = 0;
    for (const char* p = s; *p; p++) {
        char c = *p;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        int v = c >= 'A' && c <= 'Z' ? c - 'A' : c >= 'a' && c <= 'z' ? c - 'a' + 26 : c >= '0' && c <= '9' ? c - '0' + 52
              : c == '+' ? 62 : c == '/' ? 63 : c == '=' ? -2 : -1;
        if (v == -1 || (pad && v != -2))
            fail(at, std::string("the layer data is not base64 near '") + std::string(p, strnlen(p, 12)) + "'");
        if (v == -2) {
            pad++;
            continue;
        }
        acc = (acc << 6) | (unsigned int)v;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back((char)((acc >> bits) & 0xFF));
        }
    }
    if (pad > 2 || bits >= 6) fail(at, "the layer data is cut short (its base64 does not end on a whole byte)");
    return out;
}

// Inflates a zlib or gzip stream that should give exactly `expect` bytes; more is an error.
std::string inflate_layer(const std::string& at, const std::string& in, bool gzip, size_t expect) {
    z_stream z{};
    if (inflateInit2(&z, gzip ? 15 + 16 : 15) != Z_OK) fail(at, "the layer data cannot be unpacked (zlib fails to start)");
    std::string out(expect + 1, '\0');  // one byte more than a whole layer shows a layer too long
    z.next_in = (Bytef*)in.data();
    z.avail_in = (uInt)in.size();
    z.next_out = (Bytef*)&out[0];
    z.avail_out = (uInt)out.size();
    int rc = inflate(&z, Z_FINISH);
    size_t got = out.size() - z.avail_out;
    inflateEnd(&z);
    const char* kind = gzip ? "gzip" : "zlib";
    if (got > expect) fail(at, "the layer data unpacks to more bytes than the layer's cells");
    if (rc == Z_BUF_ERROR) fail(at, std::string("the layer data is cut short (its ") + kind + " stream ends early)");
    if (rc != Z_STREAM_END) fail(at, std::string("the layer data is not a valid ") + kind + " stream");
    out.resize(got);
    return out;
}

// The cells of a layer's <data> as GIDs, whatever encoding Tiled wrote: CSV, or base64 of
// little-endian 32-bit GIDs, raw or compressed with zlib or gzip.
std::vector<unsigned int> read_cells(const std::string& file, const XMLElement* layer, unsigned int w, unsigned int h) {
    const XMLElement* data = layer->FirstChildElement("data");
    if (!data) fail(at_line(file, layer), "the layer has no <data>");
    std::string at = at_line(file, data);
    const char* enc = data->Attribute("encoding");
    const char* comp = data->Attribute("compression");
    const char* s = data->GetText();
    if (!s) s = "";
    size_t want = (size_t)w * h;
    std::vector<unsigned int> cells;
    if (!enc) fail(at, "the layer data is XML tiles; set Tile Layer Format to CSV or Base64 in the map properties");
    if (std::string(enc) == "csv") {
        if (comp) fail(at, std::string("CSV layer data cannot be compressed (compression '") + comp + "')");
        cells = parse_csv(file, data->GetLineNum(), s);
    } else if (std::string(enc) == "base64") {
        std::string bytes = from_base64(at, s);
        if (comp) {
            std::string c = comp;
            if (c == "zstd") fail(at, "zstd compressed layers are not read; choose Base64 (zlib or gzip compressed) or CSV");
            if (c != "zlib" && c != "gzip") fail(at, "the layer compression '" + c + "' is unknown");
            bytes = inflate_layer(at, bytes, c == "gzip", want * 4);
        }
        if (bytes.size() % 4 != 0)
            fail(at, "the layer data holds " + std::to_string(bytes.size()) + " bytes, not whole 4-byte cells");
        cells.resize(bytes.size() / 4);
        const unsigned char* b = (const unsigned char*)bytes.data();
        for (unsigned int& c : cells) {
            c = le32(b);
            b += 4;
        }
    } else {
        fail(at, std::string("the layer encoding '") + enc + "' is unknown");
    }
    if (cells.size() != want)
        fail(at, "the layer has " + std::to_string(cells.size()) + " cells, not " + std::to_string(w) + " x " +
                     std::to_string(h) + " = " + std::to_string(want));
    return cells;
}

// A whole pixel coordinate of an object, within [lo, hi].
long long whole_pixel(const std::string& at, const XMLElement* obj, const char* attr, double value, long long lo,
                      long long hi) {
    if (value != std::floor(value) || value < (double)lo || value > (double)hi)
        fail(at, std::string(attr) + " " + (obj->Attribute(attr) ? obj->Attribute(attr) : "0") +
                     " is not a whole pixel in range");
    return (long long)value;
}

struct RawObject {
    std::string at;       // "FILE:LINE: object ID"
    double x = 0, y = 0;  // top-left corner in pixels
    const XMLElement* el = nullptr;
};

std::vector<RawObject> read_objects(const std::string& file, const XMLElement* group) {
    std::vector<RawObject> out;
    for (const XMLElement* o = group->FirstChildElement("object"); o; o = o->NextSiblingElement("object")) {
        RawObject r;
        r.el = o;
        r.at = at_line(file, o) + ": object " + (o->Attribute("id") ? o->Attribute("id") : "?");
        r.x = o->DoubleAttribute("x", 0.0);
        r.y = o->DoubleAttribute("y", 0.0);
        // Tile objects are anchored at their bottom-left corner.
        if (o->Attribute("gid")) r.y -= o->DoubleAttribute("height", 0.0);
        out.push_back(r);
    }
    return out;
}

constexpr int USE_KEY_EVENTS = EV_TALK | EV_OBJECT | EV_SHOP | EV_INN | EV_SAVE | EV_CHEST | EV_SWITCH | EV_TRAINER;

void build_map(const std::string& file, CMap& m, std::vector<std::string>& warnings) {
    XMLDocument doc;
    if (doc.LoadFile(file.c_str()) != tinyxml2::XML_SUCCESS) {
        if (doc.ErrorID() == tinyxml2::XML_ERROR_FILE_NOT_FOUND || doc.ErrorID() == tinyxml2::XML_ERROR_FILE_COULD_NOT_BE_OPENED)
            throw TmxError{file + ": cannot be opened"};
        throw TmxError{file + ":" + std::to_string(doc.ErrorLineNum()) + ": not well-formed XML (" + doc.ErrorName() + ")"};
    }
    const XMLElement* root = doc.RootElement();
    if (!root || std::string(root->Name()) != "map") throw TmxError{file + ": the root element is not <map>"};
    std::string at = at_line(file, root);
    const char* orient = root->Attribute("orientation");
    if (orient && std::string(orient) != "orthogonal") fail(at, "the map is not orthogonal");
    if (root->IntAttribute("infinite", 0) != 0) fail(at, "the map is infinite; give it a fixed size");
    long long lw = root->Int64Attribute("width", 0), lh = root->Int64Attribute("height", 0);
    long long tw = root->Int64Attribute("tilewidth", 0), th = root->Int64Attribute("tileheight", 0);
    // The layer count is not known yet; every map has at least MAP_MIN_LAYERS.
    std::string problem = map_size_problem(lw, lh, tw, th);
    if (problem.empty()) problem = map_layers_problem(lw, lh, MAP_MIN_LAYERS);
    if (!problem.empty()) fail(at, problem);
    unsigned int w = (unsigned int)lw, h = (unsigned int)lh;

    // The first GID of each tileset, as this file numbers them: Tiled renumbers them when it
    // saves (the flags move from 65536 to just after the tile sheet), so cells are read by them.
    unsigned int sheet_gid = 1, flags_gid = TMX_FLAGS_GID, extra_gid = TMX_EXTRA_GID;
    std::string sheet_name;
    std::map<unsigned int, std::vector<unsigned int>> tile_layers, flag_layers, extra_layers;
    std::map<unsigned int, int> tile_layer_lines;
    std::vector<RawObject> portals, events, npcs;
    bool seen_portals = false, seen_events = false, seen_npcs = false;

    for (const XMLElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
        std::string el = e->Name();
        std::string eat = at_line(file, e);
        if (el == "properties" || el == "editorsettings") continue;
        if (el == "tileset") {
            if (e->Attribute("source"))
                fail(eat, "the tileset is in a separate file; embed it in the map (Tiled: Embed Tileset)");
            std::string tname = e->Attribute("name") ? e->Attribute("name") : "";
            long long first = e->Int64Attribute("firstgid", 0);
            if (first < 1 || first > (long long)UINT_MAX)
                fail(eat, "the tileset '" + tname + "' has no first GID from 1 up");
            if (tname == "flags" || tname == "extra") {
                (tname == "flags" ? flags_gid : extra_gid) = (unsigned int)first;
            } else {
                if (!sheet_name.empty())
                    fail(eat, "a second tile sheet '" + tname + "' (the map uses one, besides 'flags' and 'extra')");
                sheet_name = tname.empty() ? "tiles" : tname;
                sheet_gid = (unsigned int)first;
            }
            continue;
        }
        if (el == "layer") {
            std::string lname = e->Attribute("name") ? e->Attribute("name") : "";
            std::string kind;
            unsigned int index = 0;
            if (!split_layer_name(lname, kind, index) || (kind != "layer" && kind != "flags" && kind != "extra"))
                fail(eat, "the tile layer '" + lname + "' is not named 'layer N', 'flags N' or 'extra N'");
            if (e->UnsignedAttribute("width", w) != w || e->UnsignedAttribute("height", h) != h)
                fail(eat, "the layer '" + lname + "' is not the size of the map");
            auto& set = kind == "layer" ? tile_layers : kind == "flags" ? flag_layers : extra_layers;
            if (set.count(index)) fail(eat, "there are two layers named '" + lname + "'");
            set[index] = read_cells(file, e, w, h);
            if (kind == "layer") tile_layer_lines[index] = e->GetLineNum();
            continue;
        }
        if (el == "objectgroup") {
            std::string gname = e->Attribute("name") ? e->Attribute("name") : "";
            bool* seen = gname == "portals" ? &seen_portals : gname == "events" ? &seen_events : gname == "npcs" ? &seen_npcs : nullptr;
            if (!seen) fail(eat, "the object layer '" + gname + "' is not 'portals', 'events' or 'npcs'");
            if (*seen) fail(eat, "there are two object layers named '" + gname + "'");
            *seen = true;
            (gname == "portals" ? portals : gname == "events" ? events : npcs) = read_objects(file, e);
            continue;
        }
        fail(eat, "the map may not hold a <" + el + "> (only tile layers and object layers)");
    }

    unsigned int nlayers = (unsigned int)tile_layers.size();
    if (nlayers < MAP_MIN_LAYERS) fail(at, "the map needs the tile layers 'layer 0' and 'layer 1'");
    problem = map_layers_problem(w, h, nlayers);
    if (!problem.empty()) fail(at, problem);
    if (tile_layers.rbegin()->first != nlayers - 1) {
        for (unsigned int i = 0; i < nlayers; i++)
            if (!tile_layers.count(i)) fail(at, "the tile layer 'layer " + std::to_string(i) + "' is missing");
    }
    for (auto* set : {&flag_layers, &extra_layers})
        if (!set->empty() && set->rbegin()->first >= nlayers)
            fail(at, "a flag or extra layer has no tile layer " + std::to_string(set->rbegin()->first));

    m.InitMap(w, h, (int)tw, (int)th, nlayers);
    for (unsigned int l = 0; l < nlayers; l++) {
        const std::vector<unsigned int>& t = tile_layers[l];
        const std::vector<unsigned int>* f = flag_layers.count(l) ? &flag_layers[l] : nullptr;
        const std::vector<unsigned int>* x = extra_layers.count(l) ? &extra_layers[l] : nullptr;
        bool flipped = false;
        for (unsigned int r = 0; r < h; r++) {
            for (unsigned int c = 0; c < w; c++) {
                size_t i = (size_t)r * w + c;
                CTile& cell = m.tiles[l][r][c];
                // A cell holds its tileset's first GID + the value, or 0 for 0; the unsigned
                // arithmetic keeps every 32-bit value an export writes.
                if (t[i]) cell.tile = (int)(t[i] - sheet_gid + 1);
                if (t[i] & 0xE0000000u) flipped = true;
                if (f && (*f)[i]) cell.flags = (int)((*f)[i] - flags_gid);
                if (x && (*x)[i]) {
                    unsigned int v = (*x)[i] - extra_gid;
                    if (v > 255)
                        fail(at, "the layer 'extra " + std::to_string(l) + "' holds " + std::to_string((*x)[i]) +
                                     " at column " + std::to_string(c) + ", row " + std::to_string(r) + ": not " +
                                     std::to_string(extra_gid) + " + a byte value");
                    cell.extra = (unsigned char)v;
                }
            }
        }
        if (flipped)
            warnings.push_back(file + ":" + std::to_string(tile_layer_lines[l]) + ": the layer 'layer " + std::to_string(l) +
                               "' has flipped or rotated tiles; the game cannot flip tiles");
    }

    Props mp(file, root, "the map");
    m.tileset_name = mp.Word("tileset", "./data/tiles.bmp");
    m.spriteset_name = mp.Word("spriteset", "./data/npcs.bmp");
    m.battle = mp.Bool("battle", false);
    m.cine = mp.Int("cine", 0);
    m.p0_x = mp.Int("p0_x", 0);
    m.p0_y = mp.Int("p0_y", 0);
    m.p1_x = mp.Int("p1_x", 0);
    m.p1_y = mp.Int("p1_y", 0);
    m.bdestmap = mp.Word("bdestmap", "./data/empty");
    m.bdest_x = mp.Int("bdest_x", 0);
    m.bdest_y = mp.Int("bdest_y", 0);
    m.spare = mp.Int("spare", 2);
    mp.Finish();

    m.portals.clear();
    for (const RawObject& o : portals) {
        CPortal p;
        p.x = (int)whole_pixel(o.at, o.el, "x", o.x, INT_MIN, INT_MAX);
        p.y = (int)whole_pixel(o.at, o.el, "y", o.y, INT_MIN, INT_MAX);
        Props pp(file, o.el, o.at.substr(o.at.find("object")));
        p.dest_map = pp.Text("dest_map", "Null", MAP_SHORT_FIELD - 1);
        p.dest_x = pp.Int("dest_x", 0);
        p.dest_y = pp.Int("dest_y", 0);
        p.cine = pp.Int("cine", 0);
        p.quest_flag = pp.Int("quest_flag", 0);
        pp.Finish();
        if (p.x < 0 || p.y < 0 || p.x >= (long long)w * tw || p.y >= (long long)h * th)
            warnings.push_back(o.at + ": the portal lies outside the map");
        m.portals.push_back(p);
    }

    m.events.clear();
    for (const RawObject& o : events) {
        CEvent ev;
        double cx = std::floor(o.x / tw), cy = std::floor(o.y / th);
        if (cx < INT_MIN || cx > INT_MAX || cy < INT_MIN || cy > INT_MAX) fail(o.at, "the event lies far outside the map");
        ev.x = (int)cx;
        ev.y = (int)cy;
        Props ep(file, o.el, o.at.substr(o.at.find("object")));
        ev.type = ep.Int("type", 0);
        ev.quest = ep.Int("quest", 0);
        ev.speaker = ep.Text("speaker", "", MAP_SHORT_FIELD - 1);
        ev.text = ep.Text("text", "", MAP_LONG_FIELD - 1);
        ev.text2 = ep.Text("text2", "", MAP_LONG_FIELD - 1);
        ep.Finish();
        bool inside = ev.x >= 0 && ev.y >= 0 && (unsigned int)ev.x < w && (unsigned int)ev.y < h;
        if (!inside)
            warnings.push_back(o.at + ": the event lies outside the map");
        else if ((ev.type & USE_KEY_EVENTS) && !(m.tiles[1][ev.y][ev.x].flags & TF_EVENT))
            warnings.push_back(o.at + ": the event at column " + std::to_string(ev.x) + ", row " + std::to_string(ev.y) +
                               " has no flag 8 on layer 1, so the use key will not find it");
        m.events.push_back(ev);
    }

    m.npcs.clear();
    for (const RawObject& o : npcs) {
        CNpc n;
        n.x = (unsigned int)whole_pixel(o.at, o.el, "x", o.x, 0, UINT_MAX);
        n.y = (unsigned int)whole_pixel(o.at, o.el, "y", o.y, 0, UINT_MAX);
        Props np(file, o.el, o.at.substr(o.at.find("object")));
        int sprite = np.Int("sprite", 0);
        if (sprite < 0 || sprite > 255) fail(o.at, "the sprite row " + std::to_string(sprite) + " is outside 0 to 255");
        n.sprite = (unsigned char)sprite;
        n.id = np.Int("id", 0);
        n.extra = np.Int("extra", 0);
        np.Finish();
        if ((unsigned long long)n.x >= (unsigned long long)w * tw || (unsigned long long)n.y >= (unsigned long long)h * th)
            warnings.push_back(o.at + ": the NPC stands outside the map");
        m.npcs.push_back(n);
    }
    m.num_portals = (unsigned int)m.portals.size();
    m.num_events = (unsigned int)m.events.size();
    m.num_npcs = (unsigned int)m.npcs.size();
    // Whatever the game's loader would refuse is refused here, where the file and line can be named.
    problem = map_file_problem(m.FileData(""));
    if (!problem.empty()) fail(at, problem);
}

// ---------------------------------------------------------------------------------------------
// Writer

void add_prop(XMLDocument& doc, XMLElement* list, const char* name, const char* type, const std::string& value) {
    XMLElement* p = doc.NewElement("property");
    p->SetAttribute("name", name);
    if (type) p->SetAttribute("type", type);
    // Text that XML would not keep in an attribute goes into the element, as Tiled writes it.
    if (value.find_first_of("\n\r\t") != std::string::npos ||
        (!value.empty() && (value.front() == ' ' || value.back() == ' ')))
        p->SetText(value.c_str());
    else
        p->SetAttribute("value", value.c_str());
    list->InsertEndChild(p);
}

void add_int(XMLDocument& doc, XMLElement* list, const char* name, int v) { add_prop(doc, list, name, "int", std::to_string(v)); }

// The kinds of tile layer the export writes for each map layer.
enum LayerKind { TILE_LAYER, FLAG_LAYER, EXTRA_LAYER };

// The GIDs of one layer of the given kind, row by row.
std::vector<unsigned int> layer_gids(const CMap& m, unsigned int l, LayerKind kind) {
    std::vector<unsigned int> out;
    out.reserve((size_t)m.width * m.height);
    for (unsigned int r = 0; r < m.height; r++)
        for (unsigned int c = 0; c < m.width; c++) {
            const CTile& t = m.tiles[l][r][c];
            out.push_back(kind == TILE_LAYER ? (unsigned int)t.tile
                          : kind == FLAG_LAYER ? (t.flags ? (unsigned int)t.flags + TMX_FLAGS_GID : 0)
                                               : (t.extra ? t.extra + TMX_EXTRA_GID : 0));
        }
    return out;
}

// CSV as Tiled writes it: one line per row, a comma after every cell but the last.
std::string to_csv(const std::vector<unsigned int>& gids, unsigned int width) {
    std::string out = "\n";
    out.reserve(gids.size() * 4 + gids.size() / std::max(width, 1u));
    for (size_t i = 0; i < gids.size(); i++) {
        out += std::to_string(gids[i]);
        if (i + 1 < gids.size()) out += ',';
        if ((i + 1) % width == 0) out += '\n';
    }
    return out;
}

std::string to_base64(const std::string& bytes) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        unsigned int v = (unsigned char)bytes[i] << 16;
        if (i + 1 < bytes.size()) v |= (unsigned char)bytes[i + 1] << 8;
        if (i + 2 < bytes.size()) v |= (unsigned char)bytes[i + 2];
        out += digits[(v >> 18) & 63];
        out += digits[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? digits[(v >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? digits[v & 63] : '=';
    }
    return out;
}

// Packs bytes as a zlib or gzip stream; false only when zlib fails.
bool deflate_bytes(const std::string& in, bool gzip, std::string& out) {
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, gzip ? 15 + 16 : 15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
    out.assign(deflateBound(&z, (uLong)in.size()) + 32, '\0');
    z.next_in = (Bytef*)in.data();
    z.avail_in = (uInt)in.size();
    z.next_out = (Bytef*)&out[0];
    z.avail_out = (uInt)out.size();
    int rc = deflate(&z, Z_FINISH);
    out.resize(out.size() - z.avail_out);
    deflateEnd(&z);
    return rc == Z_STREAM_END;
}

}  // namespace

bool tmx_encoding_from_name(const std::string& name, TmxEncoding& encoding) {
    static const std::pair<const char*, TmxEncoding> names[] = {
        {"csv", TmxEncoding::CSV}, {"base64", TmxEncoding::BASE64}, {"zlib", TmxEncoding::ZLIB}, {"gzip", TmxEncoding::GZIP}};
    for (const auto& n : names)
        if (name == n.first) {
            encoding = n.second;
            return true;
        }
    return false;
}

bool tmx_to_map(const std::string& tmx_path, CMap& out, std::string& error, std::vector<std::string>& warnings) {
    try {
        CMap m;
        build_map(tmx_path, m, warnings);
        out = m;
        return true;
    } catch (const TmxError& e) {
        error = e.message;
        return false;
    }
}

bool map_to_tmx(const CMap& m, const std::string& tmx_path, std::string& error, TmxEncoding encoding) {
    if (m.tiles.size() < m.layers) {
        error = "the map's tiles are not shaped";
        return false;
    }
    for (unsigned int l = 0; l < m.layers; l++) {
        if (m.tiles[l].size() < m.height) { error = "the map's tiles are not shaped"; return false; }
        for (unsigned int r = 0; r < m.height; r++) {
            if (m.tiles[l][r].size() < m.width) { error = "the map's tiles are not shaped"; return false; }
            for (unsigned int c = 0; c < m.width; c++)
                if ((unsigned int)m.tiles[l][r][c].flags + TMX_FLAGS_GID == 0) {
                    error = "the flag value " + std::to_string(m.tiles[l][r][c].flags) + " has no TMX form";
                    return false;
                }
        }
    }

    XMLDocument doc;
    doc.InsertEndChild(doc.NewDeclaration("xml version=\"1.0\" encoding=\"UTF-8\""));
    XMLElement* root = doc.NewElement("map");
    doc.InsertEndChild(root);
    root->SetAttribute("version", "1.10");
    root->SetAttribute("tiledversion", "1.10.2");
    root->SetAttribute("orientation", "orthogonal");
    root->SetAttribute("renderorder", "right-down");
    root->SetAttribute("width", m.width);
    root->SetAttribute("height", m.height);
    root->SetAttribute("tilewidth", m.tile_w);
    root->SetAttribute("tileheight", m.tile_h);
    root->SetAttribute("infinite", 0);

    XMLElement* props = doc.NewElement("properties");
    root->InsertEndChild(props);
    add_prop(doc, props, "tileset", nullptr, "./data/" + file_name_part(m.tileset_name));
    add_prop(doc, props, "spriteset", nullptr, "./data/" + file_name_part(m.spriteset_name));
    add_prop(doc, props, "battle", "bool", m.battle ? "true" : "false");
    add_int(doc, props, "cine", m.cine);
    add_int(doc, props, "p0_x", m.p0_x);
    add_int(doc, props, "p0_y", m.p0_y);
    add_int(doc, props, "p1_x", m.p1_x);
    add_int(doc, props, "p1_y", m.p1_y);
    add_prop(doc, props, "bdestmap", nullptr, "./data/" + file_name_part(m.bdestmap));
    add_int(doc, props, "bdest_x", m.bdest_x);
    add_int(doc, props, "bdest_y", m.bdest_y);
    add_int(doc, props, "spare", m.spare);

    XMLElement* ts = doc.NewElement("tileset");
    ts->SetAttribute("firstgid", 1);
    ts->SetAttribute("name", "tiles");
    ts->SetAttribute("tilewidth", m.tile_w);
    ts->SetAttribute("tileheight", m.tile_h);
    ts->SetAttribute("tilecount", 256);
    ts->SetAttribute("columns", 16);
    XMLElement* img = doc.NewElement("image");
    // Maps live in content/maps and their pictures' sources in content/art, so Tiled shows the tiles.
    std::string sheet = file_name_part(m.tileset_name);
    sheet = sheet.substr(0, sheet.find_last_of('.')) + ".png";
    img->SetAttribute("source", ("../art/" + sheet).c_str());
    img->SetAttribute("trans", "ff00ff");
    img->SetAttribute("width", 16 * m.tile_w);
    img->SetAttribute("height", 16 * m.tile_h);
    ts->InsertEndChild(img);
    root->InsertEndChild(ts);
    bool any_extra = false;
    for (const auto& layer : m.tiles)
        for (const auto& row : layer)
            for (const CTile& t : row) any_extra |= t.extra != 0;
    // The flag pictures serve the extra bytes too: those layers are only looked at, never painted.
    auto add_value_tileset = [&](const char* name, unsigned int first, int count) {
        XMLElement* vs = doc.NewElement("tileset");
        vs->SetAttribute("firstgid", first);
        vs->SetAttribute("name", name);
        vs->SetAttribute("tilewidth", m.tile_w);
        vs->SetAttribute("tileheight", m.tile_h);
        vs->SetAttribute("tilecount", count);
        vs->SetAttribute("columns", 16);
        XMLElement* vimg = doc.NewElement("image");
        vimg->SetAttribute("source", "flags.bmp");
        vimg->SetAttribute("trans", "ff00ff");
        vimg->SetAttribute("width", 16 * m.tile_w);
        vimg->SetAttribute("height", m.tile_h);
        vs->InsertEndChild(vimg);
        root->InsertEndChild(vs);
    };
    add_value_tileset("flags", TMX_FLAGS_GID, 16);
    if (any_extra) add_value_tileset("extra", TMX_EXTRA_GID, 16);

    int layer_id = 1, object_id = 1;
    bool ok = true;
    auto add_layer = [&](const std::string& name, unsigned int l, LayerKind kind) {
        XMLElement* e = doc.NewElement("layer");
        e->SetAttribute("id", layer_id++);
        e->SetAttribute("name", name.c_str());
        e->SetAttribute("width", m.width);
        e->SetAttribute("height", m.height);
        if (kind != TILE_LAYER) e->SetAttribute("opacity", TMX_FLAG_LAYER_OPACITY);
        XMLElement* d = doc.NewElement("data");
        std::vector<unsigned int> gids = layer_gids(m, l, kind);
        if (encoding == TmxEncoding::CSV) {
            d->SetAttribute("encoding", "csv");
            d->SetText(to_csv(gids, m.width).c_str());
        } else {
            std::string bytes;
            bytes.reserve(gids.size() * 4);
            for (unsigned int g : gids) put_le32(bytes, g);
            d->SetAttribute("encoding", "base64");
            if (encoding != TmxEncoding::BASE64) {
                bool gzip = encoding == TmxEncoding::GZIP;
                d->SetAttribute("compression", gzip ? "gzip" : "zlib");
                std::string packed;
                ok = ok && deflate_bytes(bytes, gzip, packed);
                bytes.swap(packed);
            }
            d->SetText(("\n   " + to_base64(bytes) + "\n  ").c_str());
        }
        e->InsertEndChild(d);
        root->InsertEndChild(e);
    };
    for (unsigned int l = 0; l < m.layers; l++) {
        bool any_flags = false, extra_here = false;
        for (unsigned int r = 0; r < m.height; r++)
            for (unsigned int c = 0; c < m.width; c++) {
                any_flags |= m.tiles[l][r][c].flags != 0;
                extra_here |= m.tiles[l][r][c].extra != 0;
            }
        add_layer("layer " + std::to_string(l), l, TILE_LAYER);
        if (any_flags) add_layer("flags " + std::to_string(l), l, FLAG_LAYER);
        if (extra_here) add_layer("extra " + std::to_string(l), l, EXTRA_LAYER);
    }
    if (!ok) {
        error = "the layers cannot be packed (zlib failed)";
        return false;
    }

    auto add_group = [&](const char* name) {
        XMLElement* g = doc.NewElement("objectgroup");
        g->SetAttribute("id", layer_id++);
        g->SetAttribute("name", name);
        root->InsertEndChild(g);
        return g;
    };
    auto add_object = [&](XMLElement* g, long long x, long long y) {
        XMLElement* o = doc.NewElement("object");
        o->SetAttribute("id", object_id++);
        o->SetAttribute("x", std::to_string(x).c_str());
        o->SetAttribute("y", std::to_string(y).c_str());
        o->SetAttribute("width", m.tile_w);
        o->SetAttribute("height", m.tile_h);
        g->InsertEndChild(o);
        XMLElement* p = doc.NewElement("properties");
        o->InsertEndChild(p);
        return p;
    };
    XMLElement* g = add_group("portals");
    for (unsigned int i = 0; i < m.num_portals && i < m.portals.size(); i++) {
        const CPortal& p = m.portals[i];
        XMLElement* pr = add_object(g, p.x, p.y);
        add_prop(doc, pr, "dest_map", nullptr, p.dest_map.substr(0, MAP_SHORT_FIELD - 1));
        add_int(doc, pr, "dest_x", p.dest_x);
        add_int(doc, pr, "dest_y", p.dest_y);
        add_int(doc, pr, "cine", p.cine);
        add_int(doc, pr, "quest_flag", p.quest_flag);
    }
    g = add_group("events");
    for (unsigned int i = 0; i < m.num_events && i < m.events.size(); i++) {
        const CEvent& e = m.events[i];
        XMLElement* pr = add_object(g, (long long)e.x * m.tile_w, (long long)e.y * m.tile_h);
        add_int(doc, pr, "type", e.type);
        add_int(doc, pr, "quest", e.quest);
        add_prop(doc, pr, "speaker", nullptr, e.speaker.substr(0, MAP_SHORT_FIELD - 1));
        add_prop(doc, pr, "text", nullptr, e.text.substr(0, MAP_LONG_FIELD - 1));
        add_prop(doc, pr, "text2", nullptr, e.text2.substr(0, MAP_LONG_FIELD - 1));
    }
    g = add_group("npcs");
    for (unsigned int i = 0; i < m.num_npcs && i < m.npcs.size(); i++) {
        const CNpc& n = m.npcs[i];
        XMLElement* pr = add_object(g, n.x, n.y);
        add_int(doc, pr, "sprite", n.sprite);
        add_int(doc, pr, "id", n.id);
        add_int(doc, pr, "extra", n.extra);
    }
    root->SetAttribute("nextlayerid", layer_id);
    root->SetAttribute("nextobjectid", object_id);

    if (doc.SaveFile(tmx_path.c_str()) != tinyxml2::XML_SUCCESS) {
        error = tmx_path + ": cannot be written";
        return false;
    }
    return true;
}
