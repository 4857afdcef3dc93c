// The current map: its data model, reading it from and writing it to its file, and the loading of its two images.
#include "CMap.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>

#include "CDisplay.h"
#include "DataFiles.h"
#include "Host.h"
#include "MapFile.h"

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
    SetViewSize();
    ResizeMap();
    for (auto& layer : tiles)
        for (auto& row : layer) std::fill(row.begin(), row.end(), CTile());
}

void CMap::SetViewSize() {
    // A zero tile size would divide by zero; the view then stays at one cell.
    view_cols = (unsigned char)(tile_w > 0 ? screen_w() / tile_w + 1 : 1);
    view_rows = (unsigned char)(tile_h > 0 ? screen_h() / tile_h + 1 : 1);
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
    // Never destroyed: the bitmaps stay reachable until the process ends, as they are meant to
    // (a cache destroyed at exit would leave them unreachable, a leak to the leak checker).
    static std::map<std::string, CachedImage>& cache = *new std::map<std::string, CachedImage>;
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
// Map file: reading a file into this map and writing this map to a file. The format itself
// (decoder, encoder and limits) is in MapFile.cpp.

int CMap::LoadMap(std::string path) { return LoadMap(path, false); }

int CMap::LoadMap(std::string path, bool keep_row3_npcs) {
    std::string bytes, error;
    const FileRead read = read_whole_file(resolve_data_path(path), MAP_MAX_FILE_BYTES, bytes, error);
    if (read == FileRead::MISSING) {
        show_message("Error: Couldn't find the map to load! %s", path.c_str());
        return -1;
    }
    // On any failure the map in play stays as it was: nothing has been changed yet.
    if (read == FileRead::FAILED) {
        show_message("Error: The map %s cannot be read: %s.", path.c_str(), error.c_str());
        return -1;
    }
    MapFileData d;
    if (!decode_map_file((const unsigned char*)bytes.data(), bytes.size(), d, error)) {
        show_message("Error: The map %s is damaged: %s.", path.c_str(), error.c_str());
        return -1;
    }
    ApplyFileData(d, keep_row3_npcs);
    return 0;
}

void CMap::ApplyFileData(MapFileData& d, bool keep_row3_npcs) {
    ClearMap();
    name = d.name;
    LoadTileset(d.tileset_name);
    LoadSpriteset(d.spriteset_name);
    bdestmap = d.bdestmap;
    map_file_numbers(*this, d, [](auto& mine, const auto& file) { mine = file; });

    // Entries are reused by index: only the members the file carries are overwritten (an
    // event's `done`, an NPC's statistics and walk stay with the entry).
    portals.swap(d.portals);  // a portal is all file
    num_portals = (unsigned int)portals.size();

    for (size_t i = 0; i < std::min(events.size(), d.events.size()); i++) d.events[i].done = events[i].done;
    events.swap(d.events);
    num_events = (unsigned int)events.size();

    npcs.resize(d.npcs.size());
    for (size_t i = 0; i < npcs.size(); i++) {
        CNpc& n = npcs[i];
        const CNpc& f = d.npcs[i];
        n.x = f.x;
        n.y = f.y;
        n.extra = f.extra;
        n.sprite = f.sprite;
        n.id = f.id;
    }
    if (!keep_row3_npcs)
        npcs.erase(std::remove_if(npcs.begin(), npcs.end(),
                                  [](const CNpc& n) { return n.sprite == OPENING_SPRITE_ROW; }),
                   npcs.end());
    num_npcs = (unsigned int)npcs.size();

    SetViewSize();
    tiles.swap(d.tiles);
}

MapFileData CMap::FileData(const std::string& path) const {
    MapFileData d;
    // The names as the file stores them.
    d.name = file_name_part(path);
    d.tileset_name = "./data/" + file_name_part(tileset_name);
    d.spriteset_name = "./data/" + file_name_part(spriteset_name);
    d.bdestmap = "./data/" + file_name_part(bdestmap);
    map_file_numbers(*this, d, [](const auto& mine, auto& file) { file = mine; });
    // Counts and lists should agree; if a caller broke that, only entries that exist are written.
    d.portals.assign(portals.begin(), portals.begin() + std::min<size_t>(num_portals, portals.size()));
    d.events.assign(events.begin(), events.begin() + std::min<size_t>(num_events, events.size()));
    d.npcs.assign(npcs.begin(), npcs.begin() + std::min<size_t>(num_npcs, npcs.size()));
    d.tiles = tiles;  // cells the array lacks (a map never shaped by InitMap) are written empty
    return d;
}

int CMap::SaveMap(std::string path) {
    const MapFileData d = FileData(path);
    std::string out, problem;
    if (!encode_map_file(d, out, problem)) {
        // What the reader would refuse is never written.
        show_message("Error: The map %s cannot be saved: %s.", path.c_str(), problem.c_str());
        return -1;
    }

    // Written beside the target and renamed over it once whole, so a failed save never leaves half
    // a map. Not flushed to the disk: only the map tools save maps, their output can be built
    // again, and the flush would cost several times the whole save.
    std::string error;
    if (!replace_file(path, out, false, error)) {
        show_message("Error: The map %s could not be written: %s.", path.c_str(), error.c_str());
        return -1;
    }

    // The names in memory become the ones the file stores, once the file is written.
    name = map_line_value(d.name);
    tileset_name = map_line_value(d.tileset_name);
    spriteset_name = map_line_value(d.spriteset_name);
    bdestmap = map_line_value(d.bdestmap);
    return 0;
}
