// The current map: its data model, its file format (reader and writer) and the loading of its two images.
#include "CMap.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>

#include "CDisplay.h"
#include "DataFiles.h"
#include "Host.h"
#include "Timing.h"

CMap map;

// ---------------------------------------------------------------------------------------------
// Data model

void CMap::ClearMap() {
    num_events = num_portals = num_npcs = 0;
    p0_x = p0_y = p1_x = p1_y = 0;
    bdest_x = bdest_y = 0;
    cine = 0;
    battle = false;
    bdestmap = "empty";
}

void CMap::InitMap(unsigned int w, unsigned int h, int tw, int th, unsigned int l) {
    width = w;
    height = h;
    tile_w = tw;
    tile_h = th;
    layers = (unsigned char)l;
    // A zero tile size would divide by zero; the view then stays at one cell.
    view_cols = (unsigned char)(tw > 0 ? screen_w() / tw + 1 : 1);
    view_rows = (unsigned char)(th > 0 ? screen_h() / th + 1 : 1);
    ResizeMap();
    for (auto& layer : tiles)
        for (auto& row : layer) std::fill(row.begin(), row.end(), CTile());
}

void CMap::ResizeMap() { ResizeMap(layers, (int)width, (int)height); }

void CMap::ResizeMap(int l, int w, int h) {
    // Negative sizes from a careless caller shape an empty map rather than a huge one.
    l = std::max(l, 0);
    w = std::max(w, 0);
    h = std::max(h, 0);
    tiles.resize(l);
    for (auto& layer : tiles) {
        layer.resize(h);
        for (auto& row : layer) row.resize(w);
    }
}

// ---------------------------------------------------------------------------------------------
// Images. Every map load asks for its tileset and spriteset; the same picture is handed out
// again while its file is unchanged, so that walking between maps does not pile up copies.
// The bitmaps live until the process ends: copies of the map may still point at them.

namespace {

struct CachedImage {
    BITMAP* bmp;
    long long size;
    long long mtime_ns;
};

BITMAP* load_shared_bitmap(const std::string& path) {
    static std::map<std::string, CachedImage> cache;
    std::string real = resolve_data_path(path);
    struct stat st;
    if (stat(real.c_str(), &st) != 0) return nullptr;
    long long mtime = (long long)st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
    auto it = cache.find(real);
    if (it != cache.end() && it->second.size == (long long)st.st_size && it->second.mtime_ns == mtime)
        return it->second.bmp;
    BITMAP* bmp = load_bitmap(real.c_str(), nullptr);
    if (bmp) cache[real] = CachedImage{bmp, (long long)st.st_size, mtime};
    return bmp;
}

}  // namespace

void CMap::LoadTileset(std::string path) {
    tileset = load_shared_bitmap(path);
    tileset_name = file_name_part(path);
    if (!tileset) show_message("Warning: Tileset could not be found! '%s'  ", tileset_name.c_str());
}

void CMap::LoadSpriteset(std::string path) {
    spriteset = load_shared_bitmap(path);
    spriteset_name = file_name_part(path);
    if (!spriteset) show_message("Warning: Spriteset could not be found! '%s'  ", spriteset_name.c_str());
}

// ---------------------------------------------------------------------------------------------
// Map file reader

namespace {

// Walks the bytes of a map file; every read checks that the bytes are there.
class MapReader {
public:
    MapReader(const unsigned char* data, size_t size) : p_(data), n_(size) {}

    size_t pos() const { return pos_; }
    size_t left() const { return n_ - pos_; }

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
        size_t end = (const unsigned char*)lf - p_;
        value.assign((const char*)p_ + start, end - start);
        if (value.find('\0') != std::string::npos) {
            error = "the \"" + shown + "\" line holds a NUL byte";
            return false;
        }
        pos_ = end + 1;
        return true;
    }

    bool Has(size_t bytes) const { return left() >= bytes; }
    void Skip(size_t bytes) { pos_ += bytes; }

    // Callers check Has() for a whole block first; these then never run past the end.
    unsigned int U32() {
        const unsigned char* b = p_ + pos_;
        pos_ += 4;
        return (unsigned int)b[0] | ((unsigned int)b[1] << 8) | ((unsigned int)b[2] << 16) | ((unsigned int)b[3] << 24);
    }
    int I32() { return (int)U32(); }
    unsigned char U8() { return p_[pos_++]; }

    // A fixed-width text field: the characters up to the first NUL. A field with no NUL is
    // damaged; its text is cut to what the field can hold.
    void Field(std::string& out, size_t width) {
        const char* s = (const char*)p_ + pos_;
        const void* nul = memchr(s, '\0', width);
        size_t len = nul ? (size_t)((const char*)nul - s) : width - 1;
        out.assign(s, len);
        pos_ += width;
    }

private:
    const unsigned char* p_;
    size_t n_;
    size_t pos_ = 0;
};

// Everything of the file but the records and tiles, read and checked before the map is touched.
struct MapHeader {
    std::string name, tileset, spriteset, bdestmap;
    unsigned int width = 0, height = 0;
    unsigned char layers = 0;
    int tile_w = 0, tile_h = 0, spare = 0;
    bool battle = false;
    int cine = 0, p0_x = 0, p0_y = 0, p1_x = 0, p1_y = 0;
    int bdest_x = 0, bdest_y = 0;
    unsigned int portals = 0, events = 0, npcs = 0;
    size_t portal_at = 0, event_at = 0, npc_at = 0, tile_at = 0;
};

bool read_header(MapReader& r, MapHeader& h, std::string& error) {
    if (!r.Line("Name: ", h.name, error)) return false;
    if (!r.Line("Tileset: ", h.tileset, error)) return false;
    if (!r.Line("Spriteset: ", h.spriteset, error)) return false;

    if (!r.Has(MAP_BLOCK_A_SIZE)) {
        error = "the file ends inside the map size block";
        return false;
    }
    h.width = r.U32();
    h.height = r.U32();
    h.layers = r.U8();
    h.tile_w = r.I32();
    h.tile_h = r.I32();
    h.spare = r.I32();
    unsigned char battle = r.U8();
    h.cine = r.I32();
    h.p0_x = r.I32();
    h.p0_y = r.I32();
    h.p1_x = r.I32();
    h.p1_y = r.I32();
    if (r.U8() != '\n') {
        error = "the map size block does not end with a line feed";
        return false;
    }
    if (battle > 1) {
        error = "the battle flag is " + std::to_string(battle) + ", not 0 or 1";
        return false;
    }
    h.battle = battle != 0;
    if (h.width < 1 || h.width > MAP_MAX_SIDE || h.height < 1 || h.height > MAP_MAX_SIDE) {
        error = "the map size " + std::to_string(h.width) + " x " + std::to_string(h.height) +
                " is outside 1 to " + std::to_string(MAP_MAX_SIDE);
        return false;
    }
    if (h.layers < MAP_MIN_LAYERS || h.layers > MAP_MAX_LAYERS) {
        error = "the layer count " + std::to_string(h.layers) + " is outside " + std::to_string(MAP_MIN_LAYERS) +
                " to " + std::to_string(MAP_MAX_LAYERS);
        return false;
    }
    if (h.tile_w < MAP_MIN_TILE || h.tile_w > MAP_MAX_TILE || h.tile_h < MAP_MIN_TILE || h.tile_h > MAP_MAX_TILE) {
        error = "the tile size " + std::to_string(h.tile_w) + " x " + std::to_string(h.tile_h) + " is outside " +
                std::to_string(MAP_MIN_TILE) + " to " + std::to_string(MAP_MAX_TILE);
        return false;
    }
    unsigned long long cells = (unsigned long long)h.width * h.height * h.layers;
    if (cells > MAP_MAX_CELLS) {
        error = "the map has " + std::to_string(cells) + " cells, more than " + std::to_string(MAP_MAX_CELLS);
        return false;
    }

    if (!r.Line("BDestmap: ", h.bdestmap, error)) return false;
    if (!r.Has(12)) {
        error = "the file ends before the portal count";
        return false;
    }
    h.bdest_x = r.I32();
    h.bdest_y = r.I32();

    // Each count is checked against the bytes that are really left before anything is sized by it.
    auto skip_records = [&](const char* what, size_t record, unsigned int& n, size_t& at) {
        if (!r.Has(4)) {
            error = std::string("the file ends before the ") + what + " count";
            return false;
        }
        n = r.U32();
        if (n > MAP_MAX_RECORDS || (unsigned long long)n * record > r.left()) {
            error = std::string("the ") + what + " count " + std::to_string(n) + " is more than the file holds";
            return false;
        }
        at = r.pos();
        r.Skip((size_t)n * record);
        return true;
    };
    if (!skip_records("portal", MAP_PORTAL_SIZE, h.portals, h.portal_at)) return false;
    if (!skip_records("event", MAP_EVENT_SIZE, h.events, h.event_at)) return false;
    if (!skip_records("NPC", MAP_NPC_SIZE, h.npcs, h.npc_at)) return false;

    h.tile_at = r.pos();
    unsigned long long tile_bytes = cells * MAP_TILE_SIZE;
    if (r.left() < tile_bytes) {
        error = "the file ends inside the tiles (" + std::to_string(r.left()) + " of " + std::to_string(tile_bytes) +
                " bytes)";
        return false;
    }
    if (r.left() > tile_bytes) {
        error = std::to_string(r.left() - tile_bytes) + " stray bytes follow the last tile";
        return false;
    }
    return true;
}

}  // namespace

int CMap::LoadMap(std::string path) { return LoadMap(path, false); }

int CMap::LoadMap(std::string path, bool keep_row3_npcs) {
    FILE* f = open_data_file(path, "rb");
    if (!f) {
        show_message("Error: Couldn't find the map to load! %s", path.c_str());
        return -1;
    }
    std::vector<unsigned char> bytes;
    std::string error;
    // The size is checked before the buffer is made, so a huge file costs no memory.
    struct stat st;
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "it is not a file";
    } else if (fseek(f, 0, SEEK_END) != 0) {
        error = std::string("it cannot be read (") + strerror(errno) + ")";
    } else {
        long size = ftell(f);
        if (size < 0 || fseek(f, 0, SEEK_SET) != 0) {
            error = std::string("it cannot be read (") + strerror(errno) + ")";
        } else if ((unsigned long long)size > MAP_MAX_FILE_BYTES) {
            error = "it is " + std::to_string(size) + " bytes long, more than any map";
        } else {
            bytes.resize((size_t)size);
            if (size > 0 && fread(bytes.data(), 1, bytes.size(), f) != bytes.size())
                error = "it cannot be read to the end";
        }
    }
    fclose(f);
    if (!error.empty()) {
        show_message("Error: The map %s is damaged: %s.", path.c_str(), error.c_str());
        return -1;
    }
    return LoadMapBytes(path, bytes.data(), bytes.size(), keep_row3_npcs);
}

int CMap::LoadMapBytes(const std::string& path, const unsigned char* data, size_t size, bool keep_row3_npcs) {
    MapReader r(data, size);
    MapHeader h;
    std::string error;
    if (!read_header(r, h, error)) {
        // The map in play stays as it was: nothing has been changed yet.
        show_message("Error: The map %s is damaged: %s.", path.c_str(), error.c_str());
        return -1;
    }

    // The whole file has been checked; from here on nothing can fail.
    ClearMap();
    name = h.name;
    LoadTileset(h.tileset);
    LoadSpriteset(h.spriteset);
    spare = h.spare;
    battle = h.battle;
    cine = h.cine;
    p0_x = h.p0_x;
    p0_y = h.p0_y;
    p1_x = h.p1_x;
    p1_y = h.p1_y;
    bdestmap = h.bdestmap;
    bdest_x = h.bdest_x;
    bdest_y = h.bdest_y;

    // Entries are reused by index: only the members the file carries are overwritten.
    MapReader pr(data + h.portal_at, (size_t)h.portals * MAP_PORTAL_SIZE);
    num_portals = h.portals;
    portals.resize(h.portals);
    for (CPortal& p : portals) {
        p.x = pr.I32();
        p.y = pr.I32();
        p.dest_x = pr.I32();
        p.dest_y = pr.I32();
        p.cine = pr.I32();
        p.quest_flag = pr.I32();
        pr.Field(p.dest_map, MAP_SHORT_FIELD);
    }

    MapReader er(data + h.event_at, (size_t)h.events * MAP_EVENT_SIZE);
    num_events = h.events;
    events.resize(h.events);
    for (CEvent& e : events) {
        e.x = er.I32();
        e.y = er.I32();
        e.type = er.I32();
        e.quest = er.I32();
        er.Field(e.speaker, MAP_SHORT_FIELD);
        er.Field(e.text, MAP_LONG_FIELD);
        er.Field(e.text2, MAP_LONG_FIELD);
    }

    MapReader nr(data + h.npc_at, (size_t)h.npcs * MAP_NPC_SIZE);
    num_npcs = h.npcs;
    npcs.resize(h.npcs);
    for (CNpc& n : npcs) {
        n.x = nr.U32();
        n.y = nr.U32();
        n.extra = nr.I32();
        n.sprite = nr.U8();
        n.id = nr.I32();
    }
    if (!keep_row3_npcs) {
        npcs.erase(std::remove_if(npcs.begin(), npcs.end(), [](const CNpc& n) { return n.sprite == 3; }), npcs.end());
        num_npcs = (unsigned int)npcs.size();
    }

    InitMap(h.width, h.height, h.tile_w, h.tile_h, h.layers);
    const unsigned char* t = data + h.tile_at;
    for (auto& layer : tiles) {
        for (auto& row : layer) {
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

    ResetTimers();
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Map file writer

namespace {

void put_u32(std::string& out, unsigned int v) {
    char b[4] = {(char)(v & 0xFF), (char)((v >> 8) & 0xFF), (char)((v >> 16) & 0xFF), (char)((v >> 24) & 0xFF)};
    out.append(b, 4);
}
void put_i32(std::string& out, int v) { put_u32(out, (unsigned int)v); }
void put_u8(std::string& out, unsigned char v) { out.push_back((char)v); }

// A text line value: one line of at most MAP_LINE_MAX characters (longer values are cut).
std::string line_value(const std::string& s) {
    std::string v = s.substr(0, s.find_first_of(std::string("\n\0", 2)));
    if (v.size() > MAP_LINE_MAX) v.resize(MAP_LINE_MAX);
    return v;
}

void put_line(std::string& out, const char* label, const std::string& value) {
    out += label;
    out += value;
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

std::string CMap::EncodeMap(const std::string& path) const {
    // The names as the file stores them.
    std::string new_name = line_value(file_name_part(path));
    std::string new_tileset = line_value("./data/" + file_name_part(tileset_name));
    std::string new_spriteset = line_value("./data/" + file_name_part(spriteset_name));
    std::string new_bdestmap = line_value("./data/" + file_name_part(bdestmap));

    // Counts and lists should agree; if a caller broke that, only entries that exist are written.
    unsigned int np = std::min<size_t>(num_portals, portals.size());
    unsigned int ne = std::min<size_t>(num_events, events.size());
    unsigned int nn = std::min<size_t>(num_npcs, npcs.size());

    std::string out;
    out.reserve(64 + new_name.size() + new_tileset.size() + new_spriteset.size() + new_bdestmap.size() +
                MAP_BLOCK_A_SIZE + 20 + (size_t)np * MAP_PORTAL_SIZE + (size_t)ne * MAP_EVENT_SIZE +
                (size_t)nn * MAP_NPC_SIZE + (size_t)layers * height * width * MAP_TILE_SIZE);
    put_line(out, "Name: ", new_name);
    put_line(out, "Tileset: ", new_tileset);
    put_line(out, "Spriteset: ", new_spriteset);

    put_u32(out, width);
    put_u32(out, height);
    put_u8(out, layers);
    put_i32(out, tile_w);
    put_i32(out, tile_h);
    put_i32(out, spare);
    put_u8(out, battle ? 1 : 0);
    put_i32(out, cine);
    put_i32(out, p0_x);
    put_i32(out, p0_y);
    put_i32(out, p1_x);
    put_i32(out, p1_y);
    put_u8(out, '\n');

    put_line(out, "BDestmap: ", new_bdestmap);
    put_i32(out, bdest_x);
    put_i32(out, bdest_y);

    put_u32(out, np);
    for (unsigned int i = 0; i < np; i++) {
        const CPortal& p = portals[i];
        put_i32(out, p.x);
        put_i32(out, p.y);
        put_i32(out, p.dest_x);
        put_i32(out, p.dest_y);
        put_i32(out, p.cine);
        put_i32(out, p.quest_flag);
        put_field(out, p.dest_map, MAP_SHORT_FIELD);
    }
    put_u32(out, ne);
    for (unsigned int i = 0; i < ne; i++) {
        const CEvent& e = events[i];
        put_i32(out, e.x);
        put_i32(out, e.y);
        put_i32(out, e.type);
        put_i32(out, e.quest);
        put_field(out, e.speaker, MAP_SHORT_FIELD);
        put_field(out, e.text, MAP_LONG_FIELD);
        put_field(out, e.text2, MAP_LONG_FIELD);
    }
    put_u32(out, nn);
    for (unsigned int i = 0; i < nn; i++) {
        const CNpc& n = npcs[i];
        put_u32(out, n.x);
        put_u32(out, n.y);
        put_i32(out, n.extra);
        put_u8(out, n.sprite);
        put_i32(out, n.id);
    }

    // Cells the tile array lacks (a map never shaped by InitMap) are written as empty cells.
    // The tile block is most of the file: it is written straight into the sized buffer.
    static const CTile empty;
    size_t at = out.size();
    out.resize(at + (size_t)layers * height * width * MAP_TILE_SIZE);
    unsigned char* b = (unsigned char*)&out[at];
    for (unsigned int l = 0; l < layers; l++) {
        for (unsigned int y = 0; y < height; y++) {
            const std::vector<CTile>* row = nullptr;
            if (l < tiles.size() && y < tiles[l].size()) row = &tiles[l][y];
            size_t have = row ? std::min<size_t>(row->size(), width) : 0;
            for (unsigned int x = 0; x < width; x++, b += MAP_TILE_SIZE) {
                const CTile& c = x < have ? (*row)[x] : empty;
                unsigned int t = (unsigned int)c.tile, fl = (unsigned int)c.flags;
                b[0] = (unsigned char)t; b[1] = (unsigned char)(t >> 8); b[2] = (unsigned char)(t >> 16); b[3] = (unsigned char)(t >> 24);
                b[4] = (unsigned char)fl; b[5] = (unsigned char)(fl >> 8); b[6] = (unsigned char)(fl >> 16); b[7] = (unsigned char)(fl >> 24);
                b[8] = c.extra;
            }
        }
    }
    return out;
}

int CMap::SaveMap(std::string path) {
    std::string out = EncodeMap(path);

    // Written beside the target and renamed over it, so a failed save never leaves half a map.
    std::string tmp = path + ".part";
    FILE* f = fopen(tmp.c_str(), "wb");
    if (!f) {
        show_message("Error: Couldn't find map! %s (%s)", path.c_str(), strerror(errno));
        return -1;
    }
    bool ok = fwrite(out.data(), 1, out.size(), f) == out.size();
    int werr = errno;
    if (fclose(f) != 0 && ok) {
        ok = false;
        werr = errno;
    }
    if (ok && rename(tmp.c_str(), path.c_str()) != 0) {
        ok = false;
        werr = errno;
    }
    if (!ok) {
        remove(tmp.c_str());
        show_message("Error: The map %s could not be written (%s).", path.c_str(), strerror(werr));
        return -1;
    }

    // The names in memory become the ones the file stores, once the file is written.
    name = line_value(file_name_part(path));
    tileset_name = line_value("./data/" + file_name_part(tileset_name));
    spriteset_name = line_value("./data/" + file_name_part(spriteset_name));
    bdestmap = line_value("./data/" + file_name_part(bdestmap));
    return 0;
}
