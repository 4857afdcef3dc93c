// The content check's rules: what the game's code needs of every map and list, checked on a data
// folder read whole (ContentSet). The facts come from the game's own headers (StoryFacts.h for the
// story's maps and views, Quests.h, Music.h, CBattle.h, CPlayer.h, CNpc.h, CMap.h for numbers and limits).
#include "ContentCheck.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "CBattle.h"
#include "CDisplay.h"
#include "CMap.h"
#include "CMenu.h"
#include "CNpc.h"
#include "CPlayer.h"
#include "ContentReach.h"
#include "DataFiles.h"
#include "Grid.h"
#include "Music.h"
#include "StoryFacts.h"

namespace {

// Pixels or tiles of a map as (x, y) or (column, row).
using Points = std::vector<std::pair<long long, long long>>;

// The file name shown for problems of the maps as a whole (a monster kind that fights nowhere).
const char* const ALL_MAPS = "*.map";

std::string num(long long v) { return std::to_string(v); }
std::string hex(long long v) {
    char b[24];
    snprintf(b, sizeof b, "0x%llx", (unsigned long long)(unsigned int)v);
    return b;
}
std::string pixel(long long x, long long y) { return "pixel (" + num(x) + ", " + num(y) + ")"; }
std::string tile(long long c, long long r) { return "tile (" + num(c) + ", " + num(r) + ")"; }
std::string size_of(const MapFileData& d) { return num(d.width) + " x " + num(d.height) + " tiles"; }
std::string portal_at(size_t i, const CPortal& p) { return "portal " + num((long long)i) + " at " + pixel(p.x, p.y); }
std::string event_at(size_t i, const CEvent& e) { return "event " + num((long long)i) + " at " + tile(e.x, e.y); }
std::string npc_at(size_t i, const CNpc& n) { return "NPC " + num((long long)i) + " at " + pixel(n.x, n.y); }
// Tiles needed to cover `px` pixels with tiles of `size` pixels.
long long tiles_for(long long px, int size) { return size > 0 ? (px + size - 1) / size : px; }

// Why the character square at pixel (x, y) does not fit on a map ("blocked", "outside ..."), or "" when it does.
std::string misfit(const MapFileData& d, long long x, long long y) {
    if (square_fits(d, x, y)) return "";
    const TileSpan s = tiles_under(d, x, y);
    if (!tile_on_map(d, s.c0, s.r0) || !tile_on_map(d, s.c1, s.r1)) return "outside the map (" + size_of(d) + ")";
    return "blocked";
}

bool stand_on(const CEvent& e) { return e.type & (EV_STEP_MESSAGE | EV_CHEST | EV_OBJECT); }

// A quest number run on a map: by an event (step-on or switch) or by an NPC's conversation.
struct QuestUse {
    int quest;
    const CEvent* event;  // the event that runs it, or null for an NPC
    std::string where;
};

class Checker {
public:
    explicit Checker(const ContentSet& s) : set_(s) {}
    std::vector<CheckProblem> Run();

private:
    void Add(const std::string& file, const std::string& where, const std::string& what) {
        out_.push_back({file, 0, where, what});
    }
    void AddLine(const std::string& file, int line, const std::string& what) { out_.push_back({file, line, "", what}); }

    bool IsStage(const ContentMap& m) const;
    bool Walked(const ContentMap& m) const { return !m.data.battle && !IsStage(m); }
    std::vector<QuestUse> QuestsRunOn(const ContentMap& m) const;
    size_t Records() const { return set_.people.size(); }

    void CheckName(const ContentMap& m);
    void CheckTiles(const ContentMap& m);
    void CheckPortals(const ContentMap& m);
    void CheckPlacing(const ContentMap& m);
    void CheckEvents(const ContentMap& m);
    void CheckQuestRooms(const ContentMap& m);
    void CheckReach(const ContentMap& m);
    void CheckStoryMaps();
    void CheckStoryReach();
    void CheckOpening();
    void CheckBattles();
    void CheckEventIndices();
    void CheckPeople();
    void CheckItemsAndShops();

    const ContentSet& set_;
    std::vector<CheckProblem> out_;
    std::map<const ContentMap*, Points> arrivals_;  // pixels where the hero arrives from elsewhere, by map
};

bool Checker::IsStage(const ContentMap& m) const {
    for (const char* s : story::STAGES)
        if (set_.Find(s) == &m) return true;
    return false;
}

std::vector<QuestUse> Checker::QuestsRunOn(const ContentMap& m) const {
    std::vector<QuestUse> uses;
    for (size_t i = 0; i < m.data.events.size(); ++i) {
        const CEvent& e = m.data.events[i];
        if ((e.type & (EV_STEP_MESSAGE | EV_SWITCH)) && e.quest != 0) uses.push_back({e.quest, &e, event_at(i, e)});
    }
    if (m.data.battle) return uses;  // monsters' ids are kinds, not records
    for (size_t i = 0; i < m.data.npcs.size(); ++i) {
        const CNpc& n = m.data.npcs[i];
        if (n.id < 1 || (size_t)n.id > Records()) continue;
        if (int q = npc_script_quest(set_.people[(size_t)n.id - 1])) uses.push_back({q, nullptr, npc_at(i, n)});
    }
    return uses;
}

// ---- One map -----------------------------------------------------------------------------------

void Checker::CheckName(const ContentMap& m) {
    // Opened chests are recorded under this name, and the maps with a tune of their own are known by it.
    if (m.data.name != m.file) Add(m.file, "", "the name inside the file is \"" + m.data.name + "\", not its file name");
}

void Checker::CheckTiles(const ContentMap& m) {
    if (m.tiles < 0) return;  // the tileset could not be read: said already
    const MapFileData& d = m.data;
    for (size_t l = 0; l < d.tiles.size(); ++l) {
        // One line per tile number out of range, at its first cell, with the count of the others.
        struct Seen {
            long long c, r, cells;
        };
        std::map<long long, Seen> beyond;
        for (size_t r = 0; r < d.tiles[l].size(); ++r)
            for (size_t c = 0; c < d.tiles[l][r].size(); ++c) {
                const long long t = d.tiles[l][r][c].tile;
                if (t >= 0 && t <= m.tiles) continue;
                auto it = beyond.emplace(t, Seen{(long long)c, (long long)r, 0}).first;
                ++it->second.cells;
            }
        for (const auto& [t, seen] : beyond)
            Add(m.file, "layer " + num((long long)l) + " at " + tile(seen.c, seen.r),
                "tile " + num(t) + " is not in the tileset (tiles 1 to " + num(m.tiles) + ")" +
                    (seen.cells > 1 ? " (and on " + num(seen.cells - 1) + " more cells)" : ""));
    }
    bool objects = false;
    for (const CEvent& e : d.events) objects = objects || (e.type & (EV_CHEST | EV_OBJECT));
    if (objects && m.tiles < OBJECT_TILE)
        Add(m.file, "", "its tileset has " + num(m.tiles) + " tiles: the picture of an object on the ground (tile " +
                            num(OBJECT_TILE) + ") is missing");
}

void Checker::CheckPortals(const ContentMap& m) {
    const MapFileData& d = m.data;
    for (size_t i = 0; i < d.portals.size(); ++i) {
        const CPortal& p = d.portals[i];
        const std::string where = portal_at(i, p);
        const TileSpan s = tiles_under(d, p.x, p.y);
        if (!tile_on_map(d, s.c0, s.r0)) {
            Add(m.file, where, "the portal lies outside the map (" + size_of(d) + ")");
        } else if (tile_blocked(d, s.c0, s.r0) && tile_blocked(d, s.c1, s.r0) && tile_blocked(d, s.c0, s.r1) &&
                   tile_blocked(d, s.c1, s.r1)) {
            Add(m.file, where, "the portal stands on blocked tiles: nobody can step onto it");
        }
        if (p.cine != 0 && (p.cine < story::FIRST_SCENE || p.cine > story::LAST_SCENE))
            Add(m.file, where, "the portal names scene " + num(p.cine) + "; the scenes are " + num(story::FIRST_SCENE) +
                                   " to " + num(story::LAST_SCENE));
        const ContentMap* to = set_.Find(p.dest_map);
        if (!to) {
            Add(m.file, where, "the portal leads to " + p.dest_map + ", which does not exist");
            continue;
        }
        // The cave's reward looks for its battles by the name the portal records, letter for letter.
        for (const char* b : story::BATTLES_LOOKED_FOR)
            if (content_key(p.dest_map) == content_key(b) && file_name_part(p.dest_map) != b)
                Add(m.file, where, "the portal records its battle as " + file_name_part(p.dest_map) +
                                       ", but the quest scripts look for " + b);
        if (to->data.battle) continue;  // a battle puts the party on its own start tiles
        const std::string bad = misfit(to->data, p.dest_x, p.dest_y);
        if (!bad.empty())
            Add(m.file, where, "the portal puts the hero at " + pixel(p.dest_x, p.dest_y) + " of " + to->file +
                                   ", which is " + bad);
        else if (square_on_portal(to->data, p.dest_x, p.dest_y))
            Add(m.file, where, "the portal puts the hero at " + pixel(p.dest_x, p.dest_y) + " of " + to->file +
                                   ", on a portal there that carries him on at once");
        arrivals_[to].push_back({p.dest_x, p.dest_y});
    }
    if (d.cine != 0 && (d.cine < story::FIRST_SCENE || d.cine > story::LAST_SCENE))
        Add(m.file, "", "the map's entry scene is " + num(d.cine) + "; the scenes are " + num(story::FIRST_SCENE) +
                            " to " + num(story::LAST_SCENE));
}

void Checker::CheckPlacing(const ContentMap& m) {
    const MapFileData& d = m.data;
    const bool stage = IsStage(m);
    if (!stage) {
        const struct { const char* who; int c, r; } starts[] = {{"hero", d.p0_x, d.p0_y}, {"companion", d.p1_x, d.p1_y}};
        for (const auto& s : starts)
            if (!square_fits(d, (long long)s.c * d.tile_w, (long long)s.r * d.tile_h))
                Add(m.file, std::string(s.who) + "'s start " + tile(s.c, s.r), "the start tile is blocked");
    }
    if (d.battle) {
        if (d.npcs.empty()) Add(m.file, "", "a battle map with no monster");
        if (d.npcs.size() > (size_t)BATTLE_MAX_MONSTERS)
            Add(m.file, "", "the battle map fields " + num((long long)d.npcs.size()) + " monsters; a battle takes " +
                                num(BATTLE_MAX_MONSTERS) + " at most");
        const ContentMap* back = set_.Find(d.bdestmap);
        const std::string bad = back ? misfit(back->data, d.bdest_x, d.bdest_y) : "";
        if (!back) {
            Add(m.file, "", "after the battle the party goes to " + d.bdestmap + ", which does not exist");
        } else if (!bad.empty()) {
            Add(m.file, "", "after the battle the hero lands at " + pixel(d.bdest_x, d.bdest_y) + " of " + back->file +
                                ", which is " + bad);
        } else {
            arrivals_[back].push_back({d.bdest_x, d.bdest_y});
        }
    }
    for (size_t i = 0; i < d.npcs.size(); ++i) {
        const CNpc& n = d.npcs[i];
        const std::string where = npc_at(i, n);
        if (m.looks >= 0 && n.sprite >= m.looks)
            Add(m.file, where, "sprite row " + num(n.sprite) + " is not in the sprite sheet (rows 0 to " +
                                   num(m.looks - 1) + ")");
        if (!stage && !square_fits(d, n.x, n.y)) Add(m.file, where, "the NPC stands in a wall or off the map");
        if (d.battle) {
            if (n.id < 1 || n.id > MONSTER_KINDS)
                Add(m.file, where, "monster kind " + num(n.id) + " does not exist (kinds 1 to " + num(MONSTER_KINDS) + ")");
            // The attack cursor strikes whoever stands exactly on its cell: a monster off the grid
            // could never be struck, and the battle never won.
            if (n.x % CELL != 0 || n.y % CELL != 0)
                Add(m.file, where, "the monster stands off the " + num(CELL) + "-pixel grid, where no attack reaches it");
        } else if (set_.npc_list.ok && (n.id < (stage ? 0 : 1) || (size_t)n.id > Records())) {
            Add(m.file, where, "NPC record " + num(n.id) + " does not exist (npcs.txt has records 1 to " +
                                   num((long long)Records()) + ")");
        }
    }
}

void Checker::CheckEvents(const ContentMap& m) {
    const MapFileData& d = m.data;
    for (size_t i = 0; i < d.events.size(); ++i) {
        const CEvent& e = d.events[i];
        const std::string where = event_at(i, e);
        if (!tile_on_map(d, e.x, e.y)) {
            Add(m.file, where, "the event lies outside the map (" + size_of(d) + ")");
            continue;
        }
        if ((e.type & (EV_CHEST | EV_OBJECT)) && set_.item_list.ok && (e.quest < 1 || (size_t)e.quest > set_.items.size()))
            Add(m.file, where, "the event gives item " + num(e.quest) + ", which is not in equip.txt (items 1 to " +
                                   num((long long)set_.items.size()) + ")");
        if (e.type & EV_SHOP) {
            if (e.quest < 0 || e.quest >= MAX_SHOPS)
                Add(m.file, where, "the event opens shop " + num(e.quest) + "; the shops are 0 to " + num(MAX_SHOPS - 1));
            else if (set_.shop_list.ok && e.quest >= set_.shops_read)
                Add(m.file, where, "the event opens shop " + num(e.quest) + ", which shops.txt does not list");
            else if (set_.shop_list.ok &&
                     std::all_of(set_.stock[e.quest], set_.stock[e.quest] + SHOP_ITEMS, [](int id) { return id == 0; }))
                Add(m.file, where, "the event opens shop " + num(e.quest) + ", which sells nothing");
        }
        if ((e.type & (EV_STEP_MESSAGE | EV_SWITCH)) && e.quest != 0 && !quest_has_script(e.quest))
            Add(m.file, where, "the event runs quest " + num(e.quest) + " (" + hex(e.quest) + "), which has no script");
        // The use key looks for events only where layer 1 carries the event flag.
        if ((e.type & ~EV_STEP_MESSAGE) && d.tiles.size() > 1 && !(d.tiles[1][(size_t)e.y][(size_t)e.x].flags & TF_EVENT))
            Add(m.file, where, "layer 1 has no event flag (8) here: the use key never finds the event");
        if ((e.type & EV_SWITCH) && m.tiles >= 0 && d.tiles[0][(size_t)e.y][(size_t)e.x].tile + 1LL > m.tiles)
            Add(m.file, where, "a switch shows the next tile when turned off: tile " +
                                   num(d.tiles[0][(size_t)e.y][(size_t)e.x].tile + 1LL) + " is not in the tileset");
    }
}

// The rooms the quest scripts and the plant scene need on the map where they run.
void Checker::CheckQuestRooms(const ContentMap& m) {
    const MapFileData& d = m.data;
    const long long tw = d.tile_w, th = d.tile_h;
    std::set<int> done;
    for (const QuestUse& u : QuestsRunOn(m)) {
        if (u.quest == (int)QF_HERB_PLANTED) {
            const long long need_w = tiles_for(story::PLANT_VIEW_X + GAME_W, d.tile_w),
                            need_h = tiles_for(story::PLANT_VIEW_Y + GAME_H, d.tile_h);
            if (done.insert(u.quest).second && ((long long)d.width < need_w || (long long)d.height < need_h))
                Add(m.file, u.where, "quest " + hex(u.quest) + " plays the plant scene here from view " +
                                         pixel(story::PLANT_VIEW_X, story::PLANT_VIEW_Y) + ": the map needs " +
                                         num(need_w) + " x " + num(need_h) + " tiles, it has " + size_of(d));
            if (!u.event || !(u.event->type & EV_STEP_MESSAGE) || !tile_on_map(d, u.event->x, u.event->y)) continue;
            // The hero stands on the event's tile and walks right; the scene must show him all the way.
            const long long x = u.event->x * tw, y = u.event->y * th;
            if (x < story::PLANT_VIEW_X || x + story::PLANT_WALK + CELL > story::PLANT_VIEW_X + GAME_W ||
                y < story::PLANT_VIEW_Y || y + CELL > story::PLANT_VIEW_Y + GAME_H) {
                Add(m.file, u.where, "the plant scene's view from " + pixel(story::PLANT_VIEW_X, story::PLANT_VIEW_Y) +
                                         " does not show the hero's walk of " + num(story::PLANT_WALK) +
                                         " pixels right from this tile");
                continue;
            }
            for (long long c = u.event->x; c * tw <= x + story::PLANT_WALK + CELL - 1; ++c)
                if (tile_blocked(d, c, u.event->y)) {
                    Add(m.file, u.where, "the plant scene walks the hero " + num(story::PLANT_WALK) +
                                             " pixels right from here: " + tile(c, u.event->y) + " is blocked");
                    break;
                }
        } else if (u.quest == (int)QF_ERRAND_GIFT && done.insert(u.quest).second) {
            const TilePlace g = ERRAND_GIFT_TILE;
            if (!tile_on_map(d, g.c, g.r))
                Add(m.file, u.where, "quest " + hex(u.quest) + " lays item " + num(ERRAND_GIFT_ITEM) + " at " +
                                         tile(g.c, g.r) + ", outside this map (" + size_of(d) + ")");
        } else if (u.quest == (int)QF_RUINS_OPEN && done.insert(u.quest).second) {
            for (size_t k = 0; k < 3; ++k)
                if (k >= d.events.size() || !(d.events[k].type & EV_SWITCH) || d.events[k].quest != (int)QF_RUINS_OPEN)
                    Add(m.file, "event " + num((long long)k),
                        "quest " + hex(u.quest) + " reads the map's events 0, 1 and 2 as its switches, and this is "
                                                  "not a switch running it");
            const TilePlace g = RUINS_GATE_LEFT;
            if (!tile_on_map(d, g.c + 1, g.r) || g.r < 1) {
                Add(m.file, u.where, "quest " + hex(u.quest) + " opens the gate at " + tile(g.c, g.r) + " and " +
                                         tile(g.c + 1, g.r) + ", outside this map (" + size_of(d) + ")");
            } else {
                // The opened gate takes the look of the tiles above it.
                for (long long c = g.c; c <= g.c + 1; ++c)
                    if (tile_blocked(d, c, g.r - 1))
                        Add(m.file, tile(c, g.r - 1), "the ruins' gate below opens onto this tile and takes its look, "
                                                      "but it is blocked");
            }
        }
    }
}

// Every portal, event, chest and person must be reachable from the start tile or a way in.
void Checker::CheckReach(const ContentMap& m) {
    const MapFileData& d = m.data;
    const std::vector<QuestUse> uses = QuestsRunOn(m);
    auto runs = [&](uint64_t q) {
        return std::any_of(uses.begin(), uses.end(),
                           [q](const QuestUse& u) { return (uint64_t)(unsigned int)u.quest == q; });
    };
    Points opened;
    if (runs(QF_RUINS_OPEN)) opened = {{RUINS_GATE_LEFT.c, RUINS_GATE_LEFT.r}, {RUINS_GATE_LEFT.c + 1, RUINS_GATE_LEFT.r}};
    MapReach reach(d, opened);
    reach.Enter((long long)d.p0_x * d.tile_w, (long long)d.p0_y * d.tile_h);
    for (const auto& a : arrivals_[&m]) reach.Enter(a.first, a.second);
    for (const story::StoryArrival& a : story::STORY_ARRIVALS)
        if (set_.Find(a.path) == &m) reach.Enter(a.at.x, a.at.y);
    reach.Spread();

    const std::string closed = "cannot be walked to from the start tile or any way into the map";
    for (size_t i = 0; i < d.portals.size(); ++i) {
        const CPortal& p = d.portals[i];
        const TileSpan s = tiles_under(d, p.x, p.y);
        bool in = false;
        for (long long c : {s.c0, s.c1})
            for (long long r : {s.r0, s.r1}) in = in || reach.Reached(c, r);
        if (!in && tile_on_map(d, s.c0, s.r0)) Add(m.file, portal_at(i, p), "the portal " + closed);
    }
    for (size_t i = 0; i < d.events.size(); ++i) {
        const CEvent& e = d.events[i];
        if (!tile_on_map(d, e.x, e.y) || e.type == 0) continue;
        if (stand_on(e) ? !reach.Reached(e.x, e.y) : !reach.Beside(e.x, e.y))
            Add(m.file, event_at(i, e), std::string(e.type & EV_CHEST ? "the chest " : "the event ") + closed);
    }
    for (size_t i = 0; i < d.npcs.size(); ++i) {
        const CNpc& n = d.npcs[i];
        if (n.sprite == OPENING_SPRITE_ROW) continue;
        const TileSpan s = tiles_under(d, n.x, n.y);
        bool near = false;
        for (long long c = s.c0; c <= s.c1; ++c)
            for (long long r = s.r0; r <= s.r1; ++r) near = near || reach.Beside(c, r);
        if (!near) Add(m.file, npc_at(i, n), "the NPC " + closed);
    }
    if (runs(QF_ERRAND_GIFT) && tile_on_map(d, ERRAND_GIFT_TILE.c, ERRAND_GIFT_TILE.r) &&
        !reach.Beside(ERRAND_GIFT_TILE.c, ERRAND_GIFT_TILE.r))
        Add(m.file, tile(ERRAND_GIFT_TILE.c, ERRAND_GIFT_TILE.r),
            "quest " + hex(QF_ERRAND_GIFT) + " lays item " + num(ERRAND_GIFT_ITEM) + " here, which " + closed);
}

// ---- The story and the content as a whole ------------------------------------------------------

void Checker::CheckStoryMaps() {
    for (const story::StoryMap& s : story::STORY_MAPS) {
        const ContentMap* m = set_.Find(s.path);
        if (!m) {
            Add(file_name_part(s.path), "", std::string("the map is missing; ") + s.loaded_by + " loads it");
        } else if (s.kind == story::StoryMap::BATTLE && !m->data.battle) {
            Add(m->file, "", std::string("not a battle map, but ") + s.loaded_by + " fights on it");
        } else if (s.kind == story::StoryMap::FIELD && m->data.battle) {
            Add(m->file, "", std::string("a battle map, but ") + s.loaded_by + " sends the party there to walk");
        }
    }
    for (const story::SceneView& v : story::SCENE_VIEWS) {
        const ContentMap* m = set_.Find(v.path);
        if (!m) continue;
        const long long need_w = tiles_for(std::max(v.x, v.to_x) + GAME_W, m->data.tile_w),
                        need_h = tiles_for(std::max(v.y, v.to_y) + GAME_H, m->data.tile_h);
        if ((long long)m->data.width < need_w || (long long)m->data.height < need_h) {
            std::string view = pixel(v.x, v.y);
            if (v.to_x != v.x || v.to_y != v.y) view += " to " + pixel(v.to_x, v.to_y);
            Add(m->file, "", "scene " + num(v.scene) + " draws the map from view " + view + ": it needs " + num(need_w) +
                                 " x " + num(need_h) + " tiles, it has " + size_of(m->data));
        }
    }
    for (const story::StoryArrival& a : story::STORY_ARRIVALS) {
        const ContentMap* m = set_.Find(a.path);
        const std::string bad = m ? misfit(m->data, a.at.x, a.at.y) : "";
        if (!bad.empty()) Add(m->file, pixel(a.at.x, a.at.y), std::string(a.by) + " puts the hero here, which is " + bad);
    }
}

// Every scripted quest is run by something placed in the world; the maps with a tune of their own
// are spelt as the music knows them.
void Checker::CheckStoryReach() {
    std::set<uint64_t> run;
    for (const auto& [key, m] : set_.maps) {
        for (const QuestUse& u : QuestsRunOn(m)) run.insert((uint64_t)(unsigned int)u.quest);
        if (m.data.battle) continue;
        for (const CNpc& n : m.data.npcs)  // a record that sets bits runs nothing, but its bit is the story's
            if (n.id >= 1 && (size_t)n.id <= Records() && set_.people[(size_t)n.id - 1].script == NPC_SETS_QUEST)
                run.insert((uint64_t)(unsigned int)set_.people[(size_t)n.id - 1].quest_flag);
    }
    if (set_.npc_list.ok)
        for (uint64_t q : scripted_quests())
            if (!run.count(q))
                Add(ALL_MAPS, "", "quest " + hex((long long)q) + " has a script, but no event and no NPC on any map "
                                                                 "runs it: the story cannot get past it");
    for (const OwnTune& t : OWN_TUNES) {
        const ContentMap* m = set_.Find(t.map_name);
        if (m && m->file != t.map_name)
            Add(m->file, "", std::string("the map has a tune of its own only under the name ") + t.map_name);
    }
}

void Checker::CheckOpening() {
    const ContentMap* home = set_.Find(story::HOME_MAP);
    if (!home) return;
    const MapFileData& d = home->data;
    if (d.npcs.empty() || d.npcs[0].sprite != OPENING_SPRITE_ROW) {
        Add(home->file, "NPC 0", "scene 1 walks NPC 0 as the elder: it must be there, of sprite row " +
                                     num(OPENING_SPRITE_ROW) + " (only the opening keeps that row)");
        return;
    }
    // The elder walks whole grid steps to the right until the walk's pixels are used up, and
    // must stay on the screen of the scene's view from (0, 0).
    const CNpc& elder = d.npcs[0];
    const long long end = elder.x + tiles_for(story::ELDER_WALK, CELL) * CELL;
    for (long long x = elder.x + CELL; x <= end; x += CELL) {
        bool others = false;
        for (size_t k = 1; k < d.npcs.size(); ++k) others = others || squares_overlap(x, elder.y, d.npcs[k].x, d.npcs[k].y);
        if (!square_fits(d, x, elder.y) || others || x + CELL > GAME_W) {
            Add(home->file, npc_at(0, elder), "scene 1's elder walks " + num(story::ELDER_WALK) +
                                                  " pixels right on the screen, and his way is blocked at " +
                                                  pixel(x, elder.y));
            break;
        }
    }
}

void Checker::CheckBattles() {
    std::set<int> fought;
    for (const auto& [key, m] : set_.maps)
        if (m.data.battle)
            for (const CNpc& n : m.data.npcs) fought.insert(n.id);
    for (int kind = 1; kind <= MONSTER_KINDS; ++kind)
        if (!fought.count(kind)) {
            CNpc monster;
            monster.id = kind;
            monster.LoadStats();
            Add(ALL_MAPS, "", "monster kind " + num(kind) + " (" + monster.name + ") fights on no battle map");
        }
    // Portals record their battles by the name they give; some scripts record their own.
    std::set<std::string> recorded;
    std::vector<std::pair<std::string, std::string>> order;  // recorded name, map file
    auto record = [&](const std::string& name, const ContentMap* m) {
        if (m && m->data.battle && recorded.insert(name).second) order.push_back({name, m->file});
    };
    for (const char* b : story::SCRIPT_RECORDED_BATTLES) record(b, set_.Find(b));
    for (const auto& [key, m] : set_.maps)
        for (const CPortal& p : m.data.portals) record(file_name_part(p.dest_map), set_.Find(p.dest_map));
    if (order.size() > (size_t)WON_BATTLE_SLOTS)
        Add(order[WON_BATTLE_SLOTS].second, "",
            "the battle recorded as " + order[WON_BATTLE_SLOTS].first + " is battle " + num(WON_BATTLE_SLOTS + 1) +
                " of " + num((long long)order.size()) + " that portals and scripts record, and the hero holds " +
                num(WON_BATTLE_SLOTS) +
                " won battles: those past them are never recorded and can be fought again and again");
}

// A step-on message fires once while its entry in the event list lives, and a switch keeps its
// position, and the game keeps the list's entries by index from map to map: two maps with such an
// event at one index would share its state. The world map, crossed between all the others, holds
// no events so that every journey over it starts the next map's events afresh.
void Checker::CheckEventIndices() {
    std::map<size_t, std::string> owner;
    for (const auto& [key, m] : set_.maps)
        for (size_t i = 0; i < m.data.events.size(); ++i) {
            const CEvent& e = m.data.events[i];
            if (!(e.type & (EV_STEP_MESSAGE | EV_SWITCH))) continue;
            auto [it, fresh] = owner.emplace(i, m.file);
            if (!fresh && it->second != m.file)
                Add(m.file, event_at(i, e), "a step-on or switch event at index " + num((long long)i) + " as on " +
                                                it->second + ": maps share an event's fired or turned state by index");
        }
    const ContentMap* world = set_.Find(story::WORLD_MAP);
    if (world && !world->data.events.empty())
        Add(world->file, "", "the world map holds " + num((long long)world->data.events.size()) +
                                 " events; it must hold none, so that crossing it starts every map's events afresh");
}

void Checker::CheckPeople() {
    if (!set_.npc_list.ok) return;
    for (size_t i = 0; i < set_.people.size(); ++i) {
        const CNpcInfo& r = set_.people[i];
        const int first = (int)i * NPC_RECORD_LINES + 1;
        if (r.id != (int)i + 1)
            AddLine("npcs.txt", first, "record number " + num(r.id) + " stands as record " + num((long long)i + 1) +
                                           ": maps find records by their place in the list");
        if (!npc_keyword_known(r.script)) {
            AddLine("npcs.txt", first + NPC_LINE_KEYWORD,
                    "unknown keyword \"" + r.script + "\": " + r.name + " would say nothing");
            continue;
        }
        const int q = npc_script_quest(r);
        if (q != 0 && !quest_has_script(q))
            AddLine("npcs.txt",
                    first + (npc_script_quest_field(r.script) == &CNpcInfo::quest_flag ? NPC_LINE_QUEST_MASK
                                                                                       : NPC_LINE_NEXT_QUEST),
                    r.script + " runs quest " + num(q) + " (" + hex(q) + "), which has no script");
    }
}

void Checker::CheckItemsAndShops() {
    const ContentList& items = set_.item_list;
    constexpr int FIELDS = 5;  // words of one item record
    if (items.ok) {
        const size_t n = set_.items.size();
        if (n < (size_t)HEALING_POTION)
            Add("equip.txt", "", "item " + num(HEALING_POTION) + ", the healing potion the battle uses, is missing");
        else if (set_.items[HEALING_POTION - 1].type != IT_USABLE)
            AddLine("equip.txt", items.word_lines[(size_t)(HEALING_POTION - 1) * FIELDS],
                    "item " + num(HEALING_POTION) + " (" + set_.items[HEALING_POTION - 1].name +
                        ") is the healing potion the battle uses, but its type is " +
                        num(set_.items[HEALING_POTION - 1].type) + ", not " + num(IT_USABLE) + " (usable)");
        for (int id : story::SCRIPT_ITEMS)
            if ((size_t)id > n) Add("equip.txt", "", "item " + num(id) + ", which a quest script gives, is missing");
    }
    if (!items.ok) return;
    std::vector<int> sold_in(set_.items.size() + 1, -1);  // by item id: the first shop selling it
    if (set_.shop_list.ok)
        for (int s = 0; s < set_.shops_read; ++s)
            for (int k = 0; k < SHOP_ITEMS; ++k) {
                const int id = set_.stock[s][k];
                if (id != 0 && (size_t)id > set_.items.size())
                    AddLine("shops.txt", set_.shop_list.word_lines[(size_t)(s * SHOP_ITEMS + k)],
                            "shop " + num(s) + " sells item " + num(id) + ", which is not in equip.txt (items 1 to " +
                                num((long long)set_.items.size()) + ")");
                else if (id > 0 && sold_in[(size_t)id] < 0)
                    sold_in[(size_t)id] = s;
            }
    // A name the menus would write past the edge of their panels: the tightest place it is shown.
    for (size_t i = 0; i < set_.items.size(); ++i) {
        const CInv& it = set_.items[i];
        int room = CMenu::InventoryNameRoom();
        std::string where = "the status menu";
        if (const int s = sold_in[i + 1]; s >= 0 && CShop::ListNameRoom(it.price) < room) {
            room = CShop::ListNameRoom(it.price);
            where = "the list of shop " + num(s) + ", beside its price " + num(it.price) + ",";
        }
        if (it.type >= 0 && it.type < EQUIP_SLOTS && CShop::EquipNameRoom(it.type) < room) {
            room = CShop::EquipNameRoom(it.type);
            where = "the shop's equipment frame";
        }
        if ((long long)it.name.size() > room)
            AddLine("equip.txt", items.word_lines[i * FIELDS],
                    "item " + num((long long)i + 1) + "'s name " + it.name + " has " + num((long long)it.name.size()) +
                        " characters; " + where + " has room for " + num(room));
    }
}

std::vector<CheckProblem> Checker::Run() {
    for (const auto& [key, m] : set_.maps) {
        CheckName(m);
        CheckTiles(m);
        CheckPortals(m);
        CheckPlacing(m);
        CheckEvents(m);
        if (!m.data.battle) CheckQuestRooms(m);
    }
    // Every way into a map is known now.
    for (const auto& [key, m] : set_.maps)
        if (Walked(m)) CheckReach(m);
    CheckStoryMaps();
    CheckStoryReach();
    CheckOpening();
    CheckBattles();
    CheckEventIndices();
    CheckPeople();
    CheckItemsAndShops();
    std::stable_sort(out_.begin(), out_.end(),
                     [](const CheckProblem& a, const CheckProblem& b) { return a.file < b.file; });
    std::vector<CheckProblem> all = set_.read_problems;
    all.insert(all.end(), out_.begin(), out_.end());
    return all;
}

}  // namespace

std::vector<CheckProblem> check_content(const ContentSet& set) { return Checker(set).Run(); }
