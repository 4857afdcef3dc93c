// The battle's path search on the current map: a map cell as a search state, its costs, and one monster's planned path.
#pragma once

#include <memory>

#include "Astar.hpp"

// Nodes in the pool of each monster's search.
constexpr unsigned int ASTAR_BATTLE_POOL = 1000;
// GetMap's cost of a cell nobody may enter; cells costing less are walkable.
constexpr int ASTAR_BLOCKED = 9;

// Cost of cell (x, y) of the global map: ASTAR_BLOCKED off the map or on a blocked tile, else 0.
// Called by the search's successor and cost rules.
int GetMap(int x, int y);

// One cell of the map as a search state (tile column and row).
class MapSearchNode {
public:
    int x = 0;
    int y = 0;
    // GetMap of this cell when it was handed out as a neighbour (which had to look it up
    // anyway), so that the search's cost of leaving it reads no map; -1 when not known.
    int cost = -1;

    MapSearchNode() = default;
    MapSearchNode(int cx, int cy, int known_cost = -1) : x(cx), y(cy), cost(known_cost) {}

    // Squared straight-line distance to goal in cells (no square root), worked out in double
    // precision. The search's estimate; the battle also measures a monster's reach with it.
    float GoalDistanceEstimate(const MapSearchNode& goal) const;
    // Whether this is the goal's cell. Called by the search.
    bool IsGoal(const MapSearchNode& goal) const;
    // Whether both are the same cell. Called by the search.
    bool IsSameState(const MapSearchNode& rhs) const;
    // Cost of leaving this cell for successor: GetMap of this cell, not the successor's (so
    // 0 from every walkable cell). Called by the search.
    float GetCost(const MapSearchNode& successor) const;
    // Hands the search each walkable neighbour that is not parent's cell, left, up, right,
    // down (parent null: none is skipped); always true. Called by the search at every expansion.
    template <class Search>
    bool GetSuccessors(Search* search, const MapSearchNode* parent) const {
        MapSearchNode cells[4];
        int n = Neighbours(parent, cells);
        for (int i = 0; i < n; ++i) search->AddSuccessor(cells[i]);
        return true;
    }
    // The neighbours GetSuccessors hands out, in its order, into out; returns how many.
    int Neighbours(const MapSearchNode* parent, MapSearchNode out[4]) const;
    // Where the search's index looks for this cell first (it keeps the low bits). The bits of
    // x and y are interleaved, so the cells round a search share cache lines and the 64 x 64
    // cells of each block of the map take different slots; blocks are told apart by a mix of
    // their numbers laid over the same bits.
    unsigned int Hash() const {
        auto spread = [](unsigned int v) {  // bits 0..5 of v to the even bits 0..10
            v &= 63;
            v = (v | v << 4) & 0x30f;
            v = (v | v << 2) & 0x333;
            return (v | v << 1) & 0x555;
        };
        unsigned int block = ((unsigned int)x >> 6) * 0x9E3779B1u ^ ((unsigned int)y >> 6) * 0x85EBCA77u;
        return (spread((unsigned int)x) | spread((unsigned int)y) << 1) ^ (block >> 20);
    }
    // Writes "Node position : (x,y)" to standard output; a debugging aid.
    void PrintNodeInfo() const;
};

// One monster's planned path: a search with its own pool, planned from the monster's cell to
// its target's cell and then walked one cell at a time. Between plannings the pool lends out
// only the nodes of the last path found, none after a failed search. Movable, so the battle
// can drop the path of a monster that died; a moved-from path may only be assigned or destroyed.
class CMonsterPath {
public:
    explicit CMonsterPath(unsigned int pool = ASTAR_BATTLE_POOL);

    // Plans from cell (sx, sy) to (gx, gy) on the global map, the previous path going back to
    // the pool first, and stands the walker on the start. Returns the final state,
    // SEARCH_STATE_SUCCEEDED or SEARCH_STATE_FAILED. Called by the battle at set-up and after
    // every action menu.
    unsigned int Plan(int sx, int sy, int gx, int gy);
    // The next cell of the path, moving the walker on; null when there is no path or it is
    // used up. Called once per step of the monster.
    const MapSearchNode* Next();
    // Gives every node back; Next gives null until the next Plan. Called when a monster dies.
    void Clear();
    // The engine itself, for checks of its state and nodes.
    AStarSearch<MapSearchNode>& Search() { return *m_Search; }

private:
    std::unique_ptr<AStarSearch<MapSearchNode>> m_Search;
};
