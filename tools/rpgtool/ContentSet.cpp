// Reading a whole data folder for the content check: maps decoded without drawing anything, the
// sizes of the pictures they name, and the three text lists.
#include "ContentSet.h"

#include <allegro.h>
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>

#include "CMap.h"
#include "DataFiles.h"

// Longest list file read: far beyond any real list (66 NPC records are about 20 kB).
constexpr size_t MAX_LIST_BYTES = 16u << 20;

std::string CheckProblem::Text() const {
    std::string s = file;
    if (line > 0) s += ":" + std::to_string(line);
    s += ": ";
    if (!where.empty()) s += where + ": ";
    return s + what;
}

std::string content_key(const std::string& path) {
    std::string s = file_name_part(path);
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return (char)std::tolower(c); });
    return s;
}

const ContentMap* ContentSet::Find(const std::string& path) const {
    auto it = maps.find(content_key(path));
    return it == maps.end() ? nullptr : &it->second;
}

ContentMap* ContentSet::Find(const std::string& path) {
    auto it = maps.find(content_key(path));
    return it == maps.end() ? nullptr : &it->second;
}

namespace {

bool is_map_file(const std::string& name) {
    return name.size() > 4 && content_key(name.substr(name.size() - 4)) == ".map";
}

// Width and height of a picture, read once per file; {-1, -1} when it cannot be read.
struct PictureSize {
    int w = -1, h = -1;
};

class PictureSizes {
public:
    explicit PictureSizes(const std::string& dir) : dir_(dir) {}
    // The picture a map names ("./data/tiles.bmp") looked up in the folder, whatever its letter case.
    PictureSize Of(const std::string& stored) {
        const std::string path = resolve_data_path(dir_ + "/" + file_name_part(stored));
        auto it = known_.find(path);
        if (it != known_.end()) return it->second;
        PictureSize size;
        if (BITMAP* b = load_bitmap(path.c_str(), nullptr)) {
            size = {b->w, b->h};
            destroy_bitmap(b);
        }
        return known_[path] = size;
    }

private:
    std::string dir_;
    std::map<std::string, PictureSize> known_;
};

void read_map(const std::string& dir, const std::string& name, ContentSet& out, PictureSizes& pictures) {
    std::string bytes, error;
    FileRead got = read_whole_file(dir + "/" + name, MAP_MAX_FILE_BYTES, bytes, error);
    ContentMap m;
    m.file = name;
    if (got == FileRead::OK)
        decode_map_file((const unsigned char*)bytes.data(), bytes.size(), m.data, error);
    else if (error.empty())
        error = "it cannot be read";
    if (!error.empty()) {
        out.read_problems.push_back({name, 0, "", "the map is damaged: " + error});
        return;
    }
    const std::string key = content_key(name);
    if (out.maps.count(key)) {
        // The game opens the exact name it asks for first, so which of them it reads depends on the asking.
        out.read_problems.push_back({name, 0, "", "its name differs from " + out.maps[key].file +
                                                      " only in letter case: the game may read either"});
        return;
    }
    const PictureSize set = pictures.Of(m.data.tileset_name), sheet = pictures.Of(m.data.spriteset_name);
    if (set.w < 0) {
        out.read_problems.push_back({name, 0, "", "its tileset " + m.data.tileset_name + " cannot be read"});
    } else {
        const SheetCells cells = sheet_cells(set.w, set.h, m.data.tile_w, m.data.tile_h);
        m.tiles = (long)cells.across * cells.down;
    }
    if (sheet.w < 0)
        out.read_problems.push_back({name, 0, "", "its sprite sheet " + m.data.spriteset_name + " cannot be read"});
    else
        m.looks = (long)sheet_cells(sheet.w, sheet.h, m.data.tile_w, m.data.tile_h).down;
    out.maps[key] = std::move(m);
}

// Reads list `name` into `list`; a missing file is a problem.
bool read_list(const std::string& dir, const char* name, ContentList& list, ContentSet& out) {
    std::string error;
    FileRead got = read_whole_file(resolve_data_path(dir + "/" + name), MAX_LIST_BYTES, list.text, error);
    if (got != FileRead::OK) {
        out.read_problems.push_back(
            {name, 0, "", got == FileRead::MISSING ? "the list is missing" : "the list cannot be read: " + error});
        return false;
    }
    list.word_lines = list_word_lines(list.text);
    return true;
}

void damaged(ContentSet& out, const char* name, const ListReadResult& r) {
    // The reader's message starts with "line N: "; the line goes into the problem's own place.
    std::string what = r.error;
    const std::string prefix = "line " + std::to_string(r.line) + ": ";
    if (r.line > 0 && what.compare(0, prefix.size(), prefix) == 0) what = what.substr(prefix.size());
    out.read_problems.push_back({name, r.line, "", "the list is damaged: " + what});
}

void read_lists(const std::string& dir, ContentSet& out) {
    if (read_list(dir, "npcs.txt", out.npc_list, out)) {
        ListReadResult r = parse_npc_list(out.npc_list.text, out.people);
        out.npc_list.ok = r.ok();
        if (!r.ok()) {
            damaged(out, "npcs.txt", r);
        } else {
            // The reader ends the list with a default entry, and with an empty record when a line
            // feed ends the last record's ninth line: keep only the records the file's lines hold.
            const std::string& t = out.npc_list.text;
            size_t lines = (size_t)std::count(t.begin(), t.end(), '\n') + (!t.empty() && t.back() != '\n' ? 1 : 0);
            out.people.resize(std::min(out.people.size() - 1, (lines + NPC_RECORD_LINES - 1) / NPC_RECORD_LINES));
        }
    }
    if (read_list(dir, "equip.txt", out.item_list, out)) {
        CInv items[MAX_ITEMS];
        int count = 0;
        ListReadResult r = parse_equip_list(out.item_list.text, items, count);
        out.item_list.ok = r.ok();
        if (!r.ok()) damaged(out, "equip.txt", r);
        out.items.assign(items, items + count);
    }
    if (read_list(dir, "shops.txt", out.shop_list, out)) {
        int read = 0;
        ListReadResult r = parse_shop_list(out.shop_list.text, out.stock, read);
        out.shop_list.ok = r.ok();
        if (!r.ok()) damaged(out, "shops.txt", r);
        out.shops_read = read / SHOP_ITEMS;
    }
}

}  // namespace

bool load_content(const std::string& dir, ContentSet& out, std::string& error) {
    out = ContentSet();
    struct stat st;
    DIR* d = stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? opendir(dir.c_str()) : nullptr;
    if (!d) {
        error = dir + " is not a folder that can be read";
        return false;
    }
    std::vector<std::string> names;
    while (dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n[0] != '.' && is_map_file(n)) names.push_back(n);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    PictureSizes pictures(dir);
    for (const std::string& n : names) read_map(dir, n, out, pictures);
    read_lists(dir, out);
    return true;
}
