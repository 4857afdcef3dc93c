// The map file format: the limits every map keeps, the decoder from bytes and the encoder to bytes.
#include "MapFile.h"

#include <algorithm>
#include <cstring>

#include "ByteIO.h"

// ---------------------------------------------------------------------------------------------
// Limits

std::string map_size_problem(long long width, long long height, long long tile_w, long long tile_h) {
    if (width < 1 || width > MAP_MAX_SIDE || height < 1 || height > MAP_MAX_SIDE)
        return "the map size " + std::to_string(width) + " x " + std::to_string(height) + " is outside 1 to " +
               std::to_string(MAP_MAX_SIDE);
    if (tile_w < MAP_MIN_TILE || tile_w > MAP_MAX_TILE || tile_h < MAP_MIN_TILE || tile_h > MAP_MAX_TILE)
        return "the tile size " + std::to_string(tile_w) + " x " + std::to_string(tile_h) + " is outside " +
               std::to_string(MAP_MIN_TILE) + " to " + std::to_string(MAP_MAX_TILE);
    return "";
}

std::string map_layers_problem(long long width, long long height, long long layers) {
    if (layers < MAP_MIN_LAYERS || layers > MAP_MAX_LAYERS)
        return "the layer count " + std::to_string(layers) + " is outside " + std::to_string(MAP_MIN_LAYERS) + " to " +
               std::to_string(MAP_MAX_LAYERS);
    // Sizes are checked first, so the product stays far from overflowing.
    unsigned long long cells = (unsigned long long)std::max(width, 0LL) * (unsigned long long)std::max(height, 0LL) *
                               (unsigned long long)layers;
    if (cells > MAP_MAX_CELLS)
        return "the map has " + std::to_string(cells) + " cells, more than " + std::to_string(MAP_MAX_CELLS);
    return "";
}

std::string map_start_problem(const char* who, long long width, long long height, long long col, long long row) {
    if (col >= 0 && row >= 0 && col < width && row < height) return "";
    return std::string("the ") + who + "'s start tile (" + std::to_string(col) + ", " + std::to_string(row) +
           ") lies outside the " + std::to_string(width) + " x " + std::to_string(height) + " map";
}

std::string map_count_problem(const char* what, unsigned long long count) {
    if (count <= MAP_MAX_RECORDS) return "";
    return std::string("the ") + what + " count " + std::to_string(count) + " is more than the " +
           std::to_string(MAP_MAX_RECORDS) + " a map may hold";
}

std::string map_file_problem(const MapFileData& d) {
    std::string p = map_size_problem(d.width, d.height, d.tile_w, d.tile_h);
    if (p.empty()) p = map_layers_problem(d.width, d.height, d.layers);
    if (p.empty()) p = map_start_problem("hero", d.width, d.height, d.p0_x, d.p0_y);
    if (p.empty()) p = map_start_problem("companion", d.width, d.height, d.p1_x, d.p1_y);
    if (p.empty()) p = map_count_problem("portal", d.portals.size());
    if (p.empty()) p = map_count_problem("event", d.events.size());
    if (p.empty()) p = map_count_problem("NPC", d.npcs.size());
    return p;
}

// ---------------------------------------------------------------------------------------------
// The records, member by member in file order: the one description of the layout that the
// decoder and the encoder both walk. `io` is a FieldReader (fills the members) or a FieldWriter
// (appends them); each call names the member's width in the file.

namespace {

template <class IO, class Data>
void size_block(IO& io, Data& d, unsigned char& battle, unsigned char& line_feed) {
    io.u32(d.width);
    io.u32(d.height);
    io.u8(d.layers);
    io.i32(d.tile_w);
    io.i32(d.tile_h);
    io.i32(d.spare);
    io.u8(battle);
    io.i32(d.cine);
    io.i32(d.p0_x);
    io.i32(d.p0_y);
    io.i32(d.p1_x);
    io.i32(d.p1_y);
    io.u8(line_feed);
}

template <class IO, class Portal>
void portal_record(IO& io, Portal& p) {
    io.i32(p.x);
    io.i32(p.y);
    io.i32(p.dest_x);
    io.i32(p.dest_y);
    io.i32(p.cine);
    io.i32(p.quest_flag);
    io.text(p.dest_map, MAP_SHORT_FIELD);
}

template <class IO, class Event>
void event_record(IO& io, Event& e) {
    io.i32(e.x);
    io.i32(e.y);
    io.i32(e.type);
    io.i32(e.quest);
    io.text(e.speaker, MAP_SHORT_FIELD);
    io.text(e.text, MAP_LONG_FIELD);
    io.text(e.text2, MAP_LONG_FIELD);
}

template <class IO, class Npc>
void npc_record(IO& io, Npc& n) {
    io.u32(n.x);
    io.u32(n.y);
    io.i32(n.extra);
    io.u8(n.sprite);
    io.i32(n.id);
}

// ---------------------------------------------------------------------------------------------
// Decoder

// The map file's reader: the shared byte reader with the file's text lines.
class MapReader : public ByteReader {
public:
    using ByteReader::ByteReader;

    // "Label: value\n": the label, one blank, the value up to the line feed, the line feed.
    bool Line(const char* label, std::string& value, std::string& error) {
        size_t ln = strlen(label);
        const std::string shown(label, ln - 1);  // the label without its blank, for messages
        if (left() < ln || memcmp(here(), label, ln) != 0) {
            error = "the \"" + shown + "\" line is missing at byte " + std::to_string(pos());
            return false;
        }
        const unsigned char* start = here() + ln;
        const size_t limit = std::min(left() - ln, MAP_LINE_MAX + 1);
        const void* lf = memchr(start, '\n', limit);
        if (!lf) {
            error = "the \"" + shown + "\" line has no line feed" +
                    (limit < left() - ln ? " within " + std::to_string(MAP_LINE_MAX) + " characters"
                                         : " before the end of the file");
            return false;
        }
        const size_t len = (size_t)((const unsigned char*)lf - start);
        value.assign((const char*)start, len);
        if (value.find('\0') != std::string::npos) {
            error = "the \"" + shown + "\" line holds a NUL byte";
            return false;
        }
        SkipTo(pos() + ln + len + 1);
        return true;
    }
};

// Reads the members a record names into them.
struct FieldReader {
    MapReader& r;
    template <class T> void u32(T& v) { v = (T)r.U32(); }
    void i32(int& v) { v = r.I32(); }
    template <class T> void u8(T& v) { v = (T)r.U8(); }
    // A field without a NUL is cut to what the field can hold.
    void text(std::string& s, size_t width) { r.Text(width, s); }
};

// Reads a record count and checks it against the limit and against the bytes really left,
// before anything is sized by it.
bool read_count(MapReader& r, const char* what, size_t record, unsigned int& n, std::string& error) {
    n = r.U32();
    if (!r.ok()) {
        error = std::string("the file ends before the ") + what + " count";
        return false;
    }
    if (!map_count_problem(what, n).empty() || (unsigned long long)n * record > r.left()) {
        error = std::string("the ") + what + " count " + std::to_string(n) + " is more than the file holds";
        return false;
    }
    return true;
}

// Reads a counted list of records, each with `record_fields`.
template <class Record, class Fields>
bool read_records(MapReader& r, const char* what, size_t size, std::vector<Record>& out, Fields record_fields,
                  std::string& error) {
    unsigned int n = 0;
    if (!read_count(r, what, size, n, error)) return false;
    out.resize(n);
    FieldReader io{r};
    for (Record& rec : out) record_fields(io, rec);
    if (r.ok()) return true;
    error = std::string("the file ends inside the ") + what + " records";
    return false;
}

}  // namespace

bool decode_map_file(const unsigned char* data, size_t size, MapFileData& d, std::string& error) {
    d = MapFileData();
    MapReader r(data, size);
    if (!r.Line("Name: ", d.name, error) || !r.Line("Tileset: ", d.tileset_name, error) ||
        !r.Line("Spriteset: ", d.spriteset_name, error))
        return false;

    if (r.left() < MAP_BLOCK_A_SIZE) {
        error = "the file ends inside the map size block";
        return false;
    }
    FieldReader io{r};
    unsigned char battle = 0, line_feed = 0;
    size_block(io, d, battle, line_feed);
    if (line_feed != '\n') {
        error = "the map size block does not end with a line feed";
        return false;
    }
    if (battle > 1) {
        error = "the battle flag is " + std::to_string(battle) + ", not 0 or 1";
        return false;
    }
    d.battle = battle != 0;
    // Lists are still empty: this checks sizes, layers and start tiles before anything is shaped.
    error = map_file_problem(d);
    if (!error.empty()) return false;

    if (!r.Line("BDestmap: ", d.bdestmap, error)) return false;
    d.bdest_x = r.I32();
    d.bdest_y = r.I32();
    if (!r.ok()) {
        error = "the file ends inside the battle destination";
        return false;
    }

    if (!read_records(r, "portal", MAP_PORTAL_SIZE, d.portals, portal_record<FieldReader, CPortal>, error) ||
        !read_records(r, "event", MAP_EVENT_SIZE, d.events, event_record<FieldReader, CEvent>, error) ||
        !read_records(r, "NPC", MAP_NPC_SIZE, d.npcs, npc_record<FieldReader, CNpc>, error))
        return false;

    size_t tile_bytes = (size_t)d.layers * d.height * d.width * MAP_TILE_SIZE;
    if (r.left() < tile_bytes) {
        error = "the file ends inside the tiles (" + std::to_string(r.left()) + " of " + std::to_string(tile_bytes) +
                " bytes)";
        return false;
    }
    if (r.left() > tile_bytes) {
        error = std::to_string(r.left() - tile_bytes) + " stray bytes follow the last tile";
        return false;
    }
    const unsigned char* t = r.Take(tile_bytes);
    d.tiles.resize(d.layers);
    for (auto& layer : d.tiles) {
        layer.resize(d.height);
        for (auto& row : layer) {
            row.resize(d.width);
            for (CTile& c : row) {
                c.tile = (int)le32(t);
                c.flags = (int)le32(t + 4);
                c.extra = t[8];
                t += MAP_TILE_SIZE;
            }
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Encoder

std::string map_line_value(const std::string& s) {
    std::string v = s.substr(0, s.find_first_of(std::string("\n\0", 2)));
    if (v.size() > MAP_LINE_MAX) v.resize(MAP_LINE_MAX);
    return v;
}

namespace {

// Appends the members a record names.
struct FieldWriter {
    std::string& out;
    void u32(unsigned int v) { put_le32(out, v); }
    void i32(int v) { put_le32(out, (uint32_t)v); }
    void u8(unsigned char v) { out.push_back((char)v); }
    // Text that does not fit is cut so that the NUL always lands inside the field.
    void text(const std::string& s, size_t width) { put_text_block(out, s, width); }
};

void put_line(std::string& out, const char* label, const std::string& value) {
    out += label;
    out += map_line_value(value);
    out += '\n';
}

template <class Record, class Fields>
void write_records(FieldWriter& io, const std::vector<Record>& list, Fields record_fields) {
    io.u32((unsigned int)list.size());
    for (const Record& rec : list) record_fields(io, rec);
}

}  // namespace

bool encode_map_file(const MapFileData& d, std::string& out, std::string& error) {
    error = map_file_problem(d);
    if (!error.empty()) return false;

    out.clear();
    out.reserve(64 + 4 * MAP_LINE_MAX + MAP_BLOCK_A_SIZE + 20 + d.portals.size() * MAP_PORTAL_SIZE +
                d.events.size() * MAP_EVENT_SIZE + d.npcs.size() * MAP_NPC_SIZE +
                (size_t)d.layers * d.height * d.width * MAP_TILE_SIZE);
    put_line(out, "Name: ", d.name);
    put_line(out, "Tileset: ", d.tileset_name);
    put_line(out, "Spriteset: ", d.spriteset_name);

    FieldWriter io{out};
    unsigned char battle = d.battle ? 1 : 0, line_feed = '\n';
    size_block(io, d, battle, line_feed);

    put_line(out, "BDestmap: ", d.bdestmap);
    io.i32(d.bdest_x);
    io.i32(d.bdest_y);

    write_records(io, d.portals, portal_record<FieldWriter, const CPortal>);
    write_records(io, d.events, event_record<FieldWriter, const CEvent>);
    write_records(io, d.npcs, npc_record<FieldWriter, const CNpc>);

    // The tile block is most of the file: it is written straight into the sized buffer.
    static const CTile empty;
    size_t at = out.size();
    out.resize(at + (size_t)d.layers * d.height * d.width * MAP_TILE_SIZE);
    unsigned char* b = (unsigned char*)&out[at];
    for (unsigned int l = 0; l < d.layers; l++) {
        for (unsigned int y = 0; y < d.height; y++) {
            const std::vector<CTile>* row = l < d.tiles.size() && y < d.tiles[l].size() ? &d.tiles[l][y] : nullptr;
            size_t have = row ? std::min<size_t>(row->size(), d.width) : 0;
            for (unsigned int x = 0; x < d.width; x++, b += MAP_TILE_SIZE) {
                const CTile& c = x < have ? (*row)[x] : empty;
                // Read before the byte stores, which could otherwise alias the cell.
                const uint32_t t = (uint32_t)c.tile, fl = (uint32_t)c.flags;
                const unsigned char extra = c.extra;
                store_le32(b, t);
                store_le32(b + 4, fl);
                b[8] = extra;
            }
        }
    }
    return true;
}
