// The map file format: the limits every map keeps, the decoder from bytes and the encoder to bytes.
#include "MapFile.h"

#include <algorithm>
#include <cstring>

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
// Decoder

namespace {

// Walks the bytes of a map file. Every read checks that its bytes are there; a read past the
// end yields zeros and leaves the reader failed, so a check forgotten above it can never
// read outside the buffer.
class MapReader {
public:
    MapReader(const unsigned char* data, size_t size) : p_(data), n_(size) {}

    bool ok() const { return ok_; }
    size_t pos() const { return pos_; }
    size_t left() const { return n_ - pos_; }

    // Takes n bytes: a pointer to them, or null (and the reader failed) when fewer are left.
    const unsigned char* Take(size_t n) {
        if (!ok_ || left() < n) {
            ok_ = false;
            pos_ = n_;
            return nullptr;
        }
        const unsigned char* b = p_ + pos_;
        pos_ += n;
        return b;
    }

    unsigned int U32() {
        const unsigned char* b = Take(4);
        return b ? (unsigned int)b[0] | ((unsigned int)b[1] << 8) | ((unsigned int)b[2] << 16) |
                       ((unsigned int)b[3] << 24)
                 : 0;
    }
    int I32() { return (int)U32(); }
    unsigned char U8() {
        const unsigned char* b = Take(1);
        return b ? b[0] : 0;
    }

    // A fixed-width text field: the characters up to the first NUL. A field without a NUL
    // is cut to what the field can hold.
    void Field(std::string& out, size_t width) {
        const unsigned char* b = Take(width);
        if (!b) return out.clear();
        const void* nul = memchr(b, '\0', width);
        size_t len = nul ? (size_t)((const unsigned char*)nul - b) : width - 1;
        out.assign((const char*)b, len);
    }

    // "Label: value\n": the label, one blank, the value up to the line feed, the line feed.
    bool Line(const char* label, std::string& value, std::string& error) {
        size_t ln = strlen(label);
        const std::string shown(label, ln - 1);  // the label without its blank, for messages
        if (left() < ln || memcmp(p_ + pos_, label, ln) != 0) {
            error = "the \"" + shown + "\" line is missing at byte " + std::to_string(pos_);
            return false;
        }
        size_t start = pos_ + ln;
        size_t limit = std::min(n_, start + MAP_LINE_MAX + 1);
        const void* lf = memchr(p_ + start, '\n', limit - start);
        if (!lf) {
            error = "the \"" + shown + "\" line has no line feed" +
                    (limit < n_ ? " within " + std::to_string(MAP_LINE_MAX) + " characters" : " before the end of the file");
            return false;
        }
        size_t end = (size_t)((const unsigned char*)lf - p_);
        value.assign((const char*)p_ + start, end - start);
        if (value.find('\0') != std::string::npos) {
            error = "the \"" + shown + "\" line holds a NUL byte";
            return false;
        }
        pos_ = end + 1;
        return true;
    }

private:
    const unsigned char* p_;
    size_t n_;
    size_t pos_ = 0;
    bool ok_ = true;
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

bool records_read(const MapReader& r, const char* what, std::string& error) {
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
    d.width = r.U32();
    d.height = r.U32();
    d.layers = r.U8();
    d.tile_w = r.I32();
    d.tile_h = r.I32();
    d.spare = r.I32();
    unsigned char battle = r.U8();
    d.cine = r.I32();
    d.p0_x = r.I32();
    d.p0_y = r.I32();
    d.p1_x = r.I32();
    d.p1_y = r.I32();
    if (r.U8() != '\n') {
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

    unsigned int n = 0;
    if (!read_count(r, "portal", MAP_PORTAL_SIZE, n, error)) return false;
    d.portals.resize(n);
    for (CPortal& p : d.portals) {
        p.x = r.I32();
        p.y = r.I32();
        p.dest_x = r.I32();
        p.dest_y = r.I32();
        p.cine = r.I32();
        p.quest_flag = r.I32();
        r.Field(p.dest_map, MAP_SHORT_FIELD);
    }
    if (!records_read(r, "portal", error)) return false;

    if (!read_count(r, "event", MAP_EVENT_SIZE, n, error)) return false;
    d.events.resize(n);
    for (CEvent& e : d.events) {
        e.x = r.I32();
        e.y = r.I32();
        e.type = r.I32();
        e.quest = r.I32();
        r.Field(e.speaker, MAP_SHORT_FIELD);
        r.Field(e.text, MAP_LONG_FIELD);
        r.Field(e.text2, MAP_LONG_FIELD);
    }
    if (!records_read(r, "event", error)) return false;

    if (!read_count(r, "NPC", MAP_NPC_SIZE, n, error)) return false;
    d.npcs.resize(n);
    for (CNpc& c : d.npcs) {
        c.x = r.U32();
        c.y = r.U32();
        c.extra = r.I32();
        c.sprite = r.U8();
        c.id = r.I32();
    }
    if (!records_read(r, "NPC", error)) return false;

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
                c.tile = (int)((unsigned int)t[0] | ((unsigned int)t[1] << 8) | ((unsigned int)t[2] << 16) |
                               ((unsigned int)t[3] << 24));
                c.flags = (int)((unsigned int)t[4] | ((unsigned int)t[5] << 8) | ((unsigned int)t[6] << 16) |
                                ((unsigned int)t[7] << 24));
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

void put_u32(std::string& out, unsigned int v) {
    char b[4] = {(char)(v & 0xFF), (char)((v >> 8) & 0xFF), (char)((v >> 16) & 0xFF), (char)((v >> 24) & 0xFF)};
    out.append(b, 4);
}
void put_i32(std::string& out, int v) { put_u32(out, (unsigned int)v); }
void put_u8(std::string& out, unsigned char v) { out.push_back((char)v); }

void put_line(std::string& out, const char* label, const std::string& value) {
    out += label;
    out += map_line_value(value);
    out += '\n';
}

// A fixed-width text field: the characters, a NUL, spaces to the end. Text that does not fit
// is cut so that the NUL always lands inside the field.
void put_field(std::string& out, const std::string& s, size_t width) {
    size_t len = std::min(s.find('\0'), width - 1);
    len = std::min(len, s.size());
    out.append(s, 0, len);
    out.push_back('\0');
    out.append(width - 1 - len, ' ');
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

    put_u32(out, d.width);
    put_u32(out, d.height);
    put_u8(out, d.layers);
    put_i32(out, d.tile_w);
    put_i32(out, d.tile_h);
    put_i32(out, d.spare);
    put_u8(out, d.battle ? 1 : 0);
    put_i32(out, d.cine);
    put_i32(out, d.p0_x);
    put_i32(out, d.p0_y);
    put_i32(out, d.p1_x);
    put_i32(out, d.p1_y);
    put_u8(out, '\n');

    put_line(out, "BDestmap: ", d.bdestmap);
    put_i32(out, d.bdest_x);
    put_i32(out, d.bdest_y);

    put_u32(out, (unsigned int)d.portals.size());
    for (const CPortal& p : d.portals) {
        put_i32(out, p.x);
        put_i32(out, p.y);
        put_i32(out, p.dest_x);
        put_i32(out, p.dest_y);
        put_i32(out, p.cine);
        put_i32(out, p.quest_flag);
        put_field(out, p.dest_map, MAP_SHORT_FIELD);
    }
    put_u32(out, (unsigned int)d.events.size());
    for (const CEvent& e : d.events) {
        put_i32(out, e.x);
        put_i32(out, e.y);
        put_i32(out, e.type);
        put_i32(out, e.quest);
        put_field(out, e.speaker, MAP_SHORT_FIELD);
        put_field(out, e.text, MAP_LONG_FIELD);
        put_field(out, e.text2, MAP_LONG_FIELD);
    }
    put_u32(out, (unsigned int)d.npcs.size());
    for (const CNpc& n : d.npcs) {
        put_u32(out, n.x);
        put_u32(out, n.y);
        put_i32(out, n.extra);
        put_u8(out, n.sprite);
        put_i32(out, n.id);
    }

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
                unsigned int t = (unsigned int)c.tile, fl = (unsigned int)c.flags;
                b[0] = (unsigned char)t; b[1] = (unsigned char)(t >> 8); b[2] = (unsigned char)(t >> 16); b[3] = (unsigned char)(t >> 24);
                b[4] = (unsigned char)fl; b[5] = (unsigned char)(fl >> 8); b[6] = (unsigned char)(fl >> 16); b[7] = (unsigned char)(fl >> 24);
                b[8] = c.extra;
            }
        }
    }
    return true;
}
