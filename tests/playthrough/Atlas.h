// What the automated player knows of the world's maps, and how it finds its way over them and between them.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "CMap.h"

// A tile of a map (column, row).
struct Tile {
    int c = 0, r = 0;
    bool operator==(const Tile& o) const { return c == o.c && r == o.r; }
    bool operator!=(const Tile& o) const { return !(*this == o); }
    bool operator<(const Tile& o) const { return r != o.r ? r < o.r : c < o.c; }
};

// A map as the player plans over it: its walls, portals, events and people. Made from a map file
// (as it lies in data/) or from the current map as it stands (switches turned, people where they
// are). Invariant: blocked has width x height entries, row by row.
struct PlanMap {
    std::string name;  // file name part, as the game names the map
    int width = 0, height = 0;
    bool battle = false;
    int cine = 0;
    std::vector<unsigned char> blocked;  // layer 0's blocked flag of each tile
    std::vector<CPortal> portals;
    std::vector<CEvent> events;
    std::vector<CNpc> npcs;

    bool OnMap(Tile t) const { return t.c >= 0 && t.r >= 0 && t.c < width && t.r < height; }
    // Whether the hero cannot stand on t: a wall, or off the map.
    bool Wall(Tile t) const { return !OnMap(t) || blocked[(size_t)t.r * (size_t)width + (size_t)t.c] != 0; }
    // The portal whose square is tile t, or -1.
    int PortalAt(Tile t) const;
    // Index of the first event on tile t with any of the type bits, or -1.
    int EventAt(Tile t, int type_bits) const;
};

// The plan map of the current map as it stands now (the global map).
PlanMap plan_of_current_map();
// The plan map of a decoded map file.
PlanMap plan_of_file(const std::string& name, const struct MapFileData& d);

// The maps of data/, read once each as the player first needs them.
class CAtlas {
public:
    explicit CAtlas(std::string data_dir = "./data/") : dir_(std::move(data_dir)) {}
    // The map file of this name (found whatever its letter case), or null when it is missing or
    // damaged.
    const PlanMap* File(const std::string& name);

private:
    std::string dir_;
    std::map<std::string, PlanMap> maps_;  // by lower-case name; an empty name marks a failed read
};

// The lower-case file name part of a map path ("./data/Vorrand.MAP" gives "vorrand.map"): how
// the player compares map names.
std::string map_key(const std::string& path);

// The four tiles next to t, up, down, right, left.
std::vector<Tile> neighbours(Tile t);

// Tiles the walk must not enter (beyond walls) and tiles it should rather avoid.
struct WalkRules {
    std::set<Tile> closed;  // people, portals not taken
    std::set<Tile> costly;  // step-on messages that are not the goal
};

// The cheapest walk over `m` from `from` to any of `goals` (each step 1, a costly tile 40 more),
// from and goals included; empty when there is none. The start tile may itself be closed.
std::vector<Tile> find_path(const PlanMap& m, Tile from, const std::set<Tile>& goals, const WalkRules& rules);

// Rules for walking the map m: portals closed (but those to battles in `won`, which only vanish
// when stepped on), step-on tiles costly, and with people the tiles every person's square covers closed.
WalkRules walk_rules(const PlanMap& m, bool people, const std::set<std::string>& won = {});

// The first leg of a journey: the walk on the current map, to the goal itself or to the portal
// where the journey leaves it.
struct Leg {
    std::vector<Tile> path;  // from the hero's tile to the leg's end
    int portal = -1;         // the portal at the end of the walk, or -1 when the goal is reached
    std::string via;         // the maps the journey passes, for messages ("a -> b -> c")
};

// What a journey may pass through besides open ground.
struct JourneyRules {
    std::set<std::string> shut;     // portals found shut, by portal_key
    std::set<int> scenes_seen;      // entry scenes already played: their maps are plain maps now
    std::set<std::string> battles_won;  // battle maps won (map keys): their portals only vanish
    bool people = true;             // people on the current map block their tiles
};

// Plans a journey from tile `from` on `here` (the current map as it stands) to any of
// `goal_tiles` on the map `goal_map` (tiles of that map as its file lies, or of `here`). Portals
// lead on when their destination is a readable map that is no battle map and plays no scene on
// entry that has not been seen (unless it is the goal's map), and they are not shut. A portal to
// a battle won is walked over like ground. People on `here` block its tiles. False when no
// journey exists.
bool plan_journey(CAtlas& atlas, const PlanMap& here, Tile from, const std::string& goal_map,
                  const std::set<Tile>& goal_tiles, const JourneyRules& rules, Leg& out);

// The key a shut portal is known by in plan_journey's `shut`.
std::string portal_key(const std::string& map_name, Tile t);
