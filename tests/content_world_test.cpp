// The shipped world: every map the story loads is there, joined up, walkable and roomy enough for its scripts.
#include <allegro.h>
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <deque>
#include <map>
#include <set>
#include <stdexcept>

#include "CMap.h"
#include "CNpc.h"
#include "CPlayer.h"
#include "ScriptHost.h"
#include "StoryFacts.h"
#include "TextLists.h"

#ifndef RPG_DATA_DIR
#define RPG_DATA_DIR "./data"
#endif

namespace {

const std::string kData = RPG_DATA_DIR;
constexpr int GRID = 16;
constexpr size_t MAX_MONSTERS = 25;  // monsters one battle map may field
constexpr int VIEW_W = 640, VIEW_H = 480;  // the screen the scenes draw on

// Scene stages: drawn by the scenes, never walked.
const std::set<std::string> kStages = {"eviltemple.map", "orccine.map", "castle.map", "castlemiresa.map",
                                       "castleend.map", "wastelands.map"};

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char ch) { return (char)std::tolower(ch); });
    return s;
}

std::string file_part(const std::string& path) { return path.substr(path.find_last_of("/\\") + 1); }

struct Cell {
    int c, r;
    bool operator<(const Cell& o) const { return c != o.c ? c < o.c : r < o.r; }
};

bool blocked(const CMap& m, int c, int r) {
    if (c < 0 || r < 0 || (unsigned)c >= m.width || (unsigned)r >= m.height) return true;
    return m.tiles[0][r][c].flags & TF_BLOCKED;
}

// Whether a 16-pixel character fits at pixel (x, y): inside the map, no corner on a blocked tile.
bool fits(const CMap& m, long x, long y) {
    if (x < 0 || y < 0) return false;
    for (long px : {x, x + GRID - 1})
        for (long py : {y, y + GRID - 1})
            if (blocked(m, (int)(px / GRID), (int)(py / GRID))) return false;
    return true;
}

bool overlaps_portal(const CMap& m, long x, long y) {
    for (const CPortal& p : m.portals)
        if (x < p.x + GRID && p.x < x + GRID && y < p.y + GRID && p.y < y + GRID) return true;
    return false;
}

// Every map of data/, read once, by lower-case file name.
class ContentWorld : public GameRig {
protected:
    static std::map<std::string, CMap>& maps() {
        static std::map<std::string, CMap> all;
        return all;
    }

    void SetUp() override {
        GameRig::SetUp();
        if (!maps().empty()) return;
        DIR* d = opendir(kData.c_str());
        ASSERT_NE(d, nullptr) << kData;
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n.size() < 5 || lower(n.substr(n.size() - 4)) != ".map") continue;
            CMap m;
            ASSERT_EQ(m.LoadMap(kData + "/" + n, true), 0) << n;
            maps()[lower(n)] = m;
        }
        closedir(d);
    }

    // The map a path names, found whatever its letter case; null when there is none.
    static const CMap* find(const std::string& path) {
        auto it = maps().find(lower(file_part(path)));
        return it == maps().end() ? nullptr : &it->second;
    }
    static const CMap& get(const std::string& name) {
        const CMap* m = find(name);
        if (!m) throw std::runtime_error("no map " + name);
        return *m;
    }
    // The records of npcs.txt, without the default entry the reader appends.
    static const std::vector<CNpcInfo>& people() {
        static std::vector<CNpcInfo> list;
        if (list.empty()) {
            std::string text;
            if (read_text_file(kData + "/npcs.txt", text) && parse_npc_list(text, list).ok() && !list.empty())
                list.pop_back();
        }
        return list;
    }
    static bool has_event(const CMap& m, int type, int quest) {
        for (const CEvent& e : m.events)
            if ((e.type & type) && e.quest == quest) return true;
        return false;
    }
};

TEST_F(ContentWorld, EveryMapTheStoryNamesIsThereAndEveryPortalLeadsToOne) {
    // Maps the scripts and scenes load by name.
    for (const char* n : {"duskwing.map", "duskwing_battle.map", "worldmap.map", "eviltemple.map", "orccine.map",
                          "castle.map", "castlemiresa.map", "castlebattle.map", "castleend.MAP", "wastelands.MAP",
                          "selka_battle.map", "selka.map", "cloudcity.map", "orcvillage.map", "cave_battle.map",
                          "cave_battle2.map"})
        EXPECT_NE(find(n), nullptr) << n;
    // Two maps have a tune of their own, picked by the exact name written in the file.
    EXPECT_EQ(get("orcvillage.map").name, "orcvillage.MAP");
    EXPECT_EQ(get("vorrand.map").name, "vorrand.MAP");
    for (auto& [name, m] : maps()) {
        for (const CPortal& p : m.portals) {
            EXPECT_NE(find(p.dest_map), nullptr) << name << " -> " << p.dest_map;
        }
        if (m.battle) {
            EXPECT_NE(find(m.bdestmap), nullptr) << name << " returns to " << m.bdestmap;
        }
    }
}

TEST_F(ContentWorld, ScenesAndScriptsFindTheRoomAndTheGroundTheyNeed) {
    // Views the scenes draw: the stage must fill the screen from that corner.
    const struct { const char* map; int view_x, view_y; } views[] = {
        {"duskwing.map", 0, 0},   {"eviltemple.map", 0, 0}, {"orccine.map", 400, 50}, {"castle.map", 400, 993},
        {"castlemiresa.map", 400, 993}, {"castleend.map", 400, 192}, {"wastelands.map", 0, 0}};
    for (const auto& v : views) {
        const CMap& m = get(v.map);
        EXPECT_GE(m.width * GRID, (unsigned)(v.view_x + VIEW_W)) << v.map;
        EXPECT_GE(m.height * GRID, (unsigned)(v.view_y + VIEW_H)) << v.map;
    }
    // Where scripts put the hero: the landing meadow, and the orc village after Miresa's scene.
    EXPECT_TRUE(fits(get("worldmap.map"), 1152, 112));
    EXPECT_TRUE(fits(get("orcvillage.map"), 576, 256));

    // The opening: NPC 0 of the home map is the row-3 elder, walking 100 pixels right in the view.
    const CMap& home = get("duskwing.map");
    ASSERT_GT(home.npcs.size(), 0u);
    EXPECT_EQ(home.npcs[0].sprite, 3);
    for (long x = home.npcs[0].x; x <= (long)home.npcs[0].x + 100 + GRID; x += GRID)
        EXPECT_TRUE(fits(home, x, home.npcs[0].y) && x + GRID <= VIEW_W) << "the elder's walk at x " << x;

    int plant_maps = 0, locket_maps = 0, lock_maps = 0;
    for (auto& [name, m] : maps()) {
        SCOPED_TRACE(name);
        // The plant scene draws the current map from (500, 200) while the hero walks 100 pixels right.
        for (const CEvent& e : m.events)
            if ((e.type & EV_STEP_MESSAGE) && e.quest == 0x100) {
                ++plant_maps;
                EXPECT_GE(m.width, 72u);
                EXPECT_GE(m.height, 43u);
                EXPECT_TRUE(e.x >= 31 && e.x + 7 <= 71 && e.y >= 12 && e.y <= 42) << e.x << "," << e.y;
                for (int c = e.x; c <= e.x + 7; ++c) {
                    EXPECT_FALSE(blocked(m, c, e.y)) << "the walk at column " << c;
                }
            }
        // The old woman's errand drops the locket at (83, 65) of the map she stands on.
        for (const CNpc& n : m.npcs)
            if (!m.battle && n.id >= 1 && (size_t)n.id <= people().size() && people()[n.id - 1].quest_next == 0x8 &&
                people()[n.id - 1].script == "procquest") {
                ++locket_maps;
                EXPECT_FALSE(blocked(m, 83, 65));
            }
        // The ruins' lock: events 0, 1, 2 are its switches; the wall at (24..25, 73) opens onto open floor.
        if (has_event(m, EV_SWITCH, 0x400)) {
            ++lock_maps;
            ASSERT_GE(m.events.size(), 3u);
            for (int i = 0; i < 3; ++i) {
                EXPECT_TRUE((m.events[i].type & EV_SWITCH) && m.events[i].quest == 0x400) << i;
            }
            EXPECT_FALSE(blocked(m, 24, 72) || blocked(m, 25, 72));
            EXPECT_TRUE(m.height >= 74u && m.width >= 26u);
        }
    }
    EXPECT_EQ(plant_maps, 1);
    EXPECT_EQ(locket_maps, 1);
    EXPECT_EQ(lock_maps, 1);
}

TEST_F(ContentWorld, PortalsAndStartTilesPutThePartyOnOpenGround) {
    for (auto& [name, m] : maps()) {
        SCOPED_TRACE(name);
        if (!kStages.count(name)) {
            EXPECT_TRUE(fits(m, (long)m.p0_x * GRID, (long)m.p0_y * GRID)) << "hero start";
            EXPECT_TRUE(fits(m, (long)m.p1_x * GRID, (long)m.p1_y * GRID)) << "companion start";
            for (const CNpc& n : m.npcs) {
                EXPECT_TRUE(fits(m, n.x, n.y)) << "NPC " << n.id << " stands in a wall at " << n.x << "," << n.y;
            }
        }
        if (m.battle && find(m.bdestmap)) {
            EXPECT_TRUE(fits(*find(m.bdestmap), m.bdest_x, m.bdest_y)) << "after the battle";
        }
        for (const CPortal& p : m.portals) {
            const CMap* to = find(p.dest_map);
            if (!to || to->battle) continue;  // a battle puts the party on its own start tiles
            EXPECT_TRUE(fits(*to, p.dest_x, p.dest_y)) << "arrival on " << p.dest_map << " at " << p.dest_x << "," << p.dest_y;
            EXPECT_FALSE(overlaps_portal(*to, p.dest_x, p.dest_y)) << "arrival on a portal of " << p.dest_map;
        }
    }
}

TEST_F(ContentWorld, BattlesFieldEveryMonsterKindWithinTheLimits) {
    std::set<int> fought;
    std::set<std::string> recorded;  // battles written into the won-battle list
    for (auto& [name, m] : maps()) {
        for (const CPortal& p : m.portals)
            if (find(p.dest_map) && find(p.dest_map)->battle) recorded.insert(lower(file_part(p.dest_map)));
        if (!m.battle) continue;
        SCOPED_TRACE(name);
        EXPECT_GE(m.npcs.size(), 1u);
        EXPECT_LE(m.npcs.size(), MAX_MONSTERS);
        for (const CNpc& n : m.npcs) {
            CNpc probe;
            probe.id = n.id;
            probe.LoadStats();
            EXPECT_FALSE(probe.name.empty()) << "no monster of kind " << n.id;
            fought.insert(n.id);
        }
    }
    recorded.insert("selka_battle.map");  // the ambush records itself
    EXPECT_LE(recorded.size(), CPlayer().won_battles.size());
    for (int kind = 1;; ++kind) {
        CNpc probe;
        probe.id = kind;
        probe.LoadStats();
        if (probe.name.empty()) break;
        EXPECT_TRUE(fought.count(kind)) << probe.name << " (kind " << kind << ") fights nowhere";
    }
}

// A step-on event fires once while its list entry lives, and entries are kept by index from one
// map to the next: a step-on or switch sharing its index with another map's could start out
// fired. Each index holds such an event on one map only, and the world map holds no events at
// all, so every journey over it starts the next map's events afresh.
TEST_F(ContentWorld, NoTwoMapsShareTheIndexOfAStepOnOrSwitch) {
    EXPECT_TRUE(get("worldmap.map").events.empty());
    std::map<size_t, std::string> owner;
    for (auto& [name, m] : maps())
        for (size_t i = 0; i < m.events.size(); ++i)
            if (m.events[i].type & (EV_STEP_MESSAGE | EV_SWITCH)) {
                auto [it, fresh] = owner.emplace(i, name);
                EXPECT_TRUE(fresh || it->second == name) << "event " << i << " of " << name << " and of " << it->second;
            }
}

TEST_F(ContentWorld, EveryPortalEventAndPersonCanBeWalkedTo) {
    for (auto& [name, m] : maps()) {
        if (m.battle || kStages.count(name)) continue;
        SCOPED_TRACE(name);
        std::set<Cell> npc_cells, open;
        for (const CNpc& n : m.npcs) npc_cells.insert({(int)(n.x / GRID), (int)(n.y / GRID)});
        // The ruins' lock opens the sealed wall once the switches are set.
        std::set<Cell> unlocked;
        if (has_event(m, EV_SWITCH, 0x400)) unlocked = {{24, 73}, {25, 73}};
        auto passable = [&](Cell t) {
            return (unlocked.count(t) || !blocked(m, t.c, t.r)) && !npc_cells.count(t);
        };
        // Entries: the start tile and every arrival from another map.
        std::deque<Cell> todo = {{m.p0_x, m.p0_y}};
        for (auto& [from, other] : maps())
            for (const CPortal& p : other.portals)
                if (find(p.dest_map) == &m) todo.push_back({p.dest_x / GRID, p.dest_y / GRID});
        for (const Cell& t : todo) open.insert(t);
        while (!todo.empty()) {
            Cell t = todo.front();
            todo.pop_front();
            for (Cell n : {Cell{t.c + 1, t.r}, Cell{t.c - 1, t.r}, Cell{t.c, t.r + 1}, Cell{t.c, t.r - 1}})
                if (!open.count(n) && passable(n)) {
                    open.insert(n);
                    todo.push_back(n);
                }
        }
        auto beside = [&](int c, int r) {
            return open.count({c + 1, r}) || open.count({c - 1, r}) || open.count({c, r + 1}) || open.count({c, r - 1});
        };
        for (const CPortal& p : m.portals)
            EXPECT_TRUE(open.count({p.x / GRID, p.y / GRID})) << "portal to " << p.dest_map << " at " << p.x / GRID << "," << p.y / GRID;
        for (const CEvent& e : m.events) {
            bool stand_on = e.type & (EV_STEP_MESSAGE | EV_CHEST | EV_OBJECT);
            EXPECT_TRUE(stand_on ? open.count({e.x, e.y}) : beside(e.x, e.y) || open.count({e.x, e.y}))
                << "event " << e.speaker << " at " << e.x << "," << e.y;
        }
        for (const CNpc& n : m.npcs) {
            if (n.sprite != 3) {
                EXPECT_TRUE(beside(n.x / GRID, n.y / GRID)) << "NPC " << n.id << " at " << n.x / GRID << "," << n.y / GRID;
            }
        }
    }
}

TEST_F(ContentWorld, MapsNameOnlyPeopleItemsShopsAndQuestsThatExist) {
    std::string text;
    ASSERT_TRUE(read_text_file(kData + "/equip.txt", text));
    CInv items[MAX_ITEMS];
    int item_count = 0;
    ASSERT_TRUE(parse_equip_list(text, items, item_count).ok());
    ASSERT_TRUE(read_text_file(kData + "/shops.txt", text));
    int stock[MAX_SHOPS][SHOP_ITEMS] = {};
    int read = 0;
    ASSERT_TRUE(parse_shop_list(text, stock, read).ok());
    const size_t records = people().size();
    ASSERT_GT(records, 0u);
    BITMAP* sheet = load_bitmap((kData + "/npcs.bmp").c_str(), nullptr);
    ASSERT_NE(sheet, nullptr);
    const int looks = sheet->h / GRID;
    destroy_bitmap(sheet);

    for (auto& [name, m] : maps()) {
        SCOPED_TRACE(name);
        for (const CNpc& n : m.npcs) {
            EXPECT_LT(n.sprite, looks) << "NPC at " << n.x << "," << n.y;
            if (!m.battle && !kStages.count(name)) {
                EXPECT_TRUE(n.id >= 1 && (size_t)n.id <= records) << "NPC id " << n.id;
            }
        }
        for (const CEvent& e : m.events) {
            if (e.type & (EV_CHEST | EV_OBJECT)) {
                EXPECT_TRUE(e.quest >= 1 && e.quest <= item_count) << "item " << e.quest;
            }
            if (e.type & EV_SHOP) {
                ASSERT_TRUE(e.quest >= 0 && e.quest < MAX_SHOPS) << "shop " << e.quest;
                for (int id : stock[e.quest]) {
                    EXPECT_TRUE(id >= 1 && id <= item_count) << "shop " << e.quest << " sells " << id;
                }
            }
            if (e.type & (EV_STEP_MESSAGE | EV_SWITCH) && e.quest) {
                EXPECT_TRUE(scripted_quests().count(e.quest)) << e.quest;
            }
            // The use key finds an event only where layer 1 carries the event flag.
            if (e.type & ~EV_STEP_MESSAGE) {
                EXPECT_TRUE(m.tiles[1][e.y][e.x].flags & TF_EVENT) << e.x << "," << e.y;
            }
        }
    }
}

}  // namespace
