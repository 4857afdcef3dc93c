// The battle's path search: costs, successor order, greedy paths, the pool, failures, and the linear-scan search's twin.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "../bench/astar_heap_probe.h"
#include "../bench/astar_linear.h"
#include "Astar.h"
#include "MapBuild.h"
#include "ScriptHost.h"

namespace {

using Search = AStarSearch<MapSearchNode>;
using Cells = std::vector<std::pair<int, int>>;
constexpr unsigned int SEARCHING = Search::SEARCH_STATE_SEARCHING, SUCCEEDED = Search::SEARCH_STATE_SUCCEEDED,
                       FAILED = Search::SEARCH_STATE_FAILED;

// The cells a search's walker visits from its start to the end of the path.
template <class S>
Cells walk(S& s) {
    Cells cells;
    for (auto* n = s.GetSolutionStart(); n; n = s.GetSolutionNext()) cells.push_back({n->x, n->y});
    return cells;
}

class AstarTest : public GameRig {
protected:
    MapSearchNode start, goal;

    // Builds `map` from rows of text: '#' blocked, 'S' the start, 'G' the goal, 'B' both, 's' / 'g'
    // the start / goal on a blocked tile, '*' a cell of the expected path; anything else is open.
    void Draw(const std::vector<std::string>& rows) {
        make_map(map, (unsigned int)rows[0].size(), (unsigned int)rows.size(), false);
        for (int y = 0; y < (int)rows.size(); ++y)
            for (int x = 0; x < (int)rows[y].size(); ++x) {
                const char c = rows[y][x];
                if (c == '#' || c == 's' || c == 'g') map.tiles[0][y][x].flags = TF_BLOCKED;
                if (c == 'S' || c == 's' || c == 'B') start = MapSearchNode(x, y);
                if (c == 'G' || c == 'g' || c == 'B') goal = MapSearchNode(x, y);
            }
    }
    // rows with the path's cells between its ends marked '*' instead of the expected ones;
    // fails unless the path runs from start to goal in single orthogonal steps.
    std::vector<std::string> Trace(std::vector<std::string> rows, const Cells& path) {
        EXPECT_EQ(path.front(), std::make_pair(start.x, start.y));
        EXPECT_EQ(path.back(), std::make_pair(goal.x, goal.y));
        for (std::string& row : rows)
            for (char& c : row) c = c == '*' ? '.' : c;
        for (size_t i = 1; i < path.size(); ++i) {
            EXPECT_EQ(std::abs(path[i].first - path[i - 1].first) + std::abs(path[i].second - path[i - 1].second), 1) << i;
            if (i + 1 < path.size()) rows[path[i].second][path[i].first] = '*';
        }
        return rows;
    }
};

TEST_F(AstarTest, CellCostsEstimateAndNeighbourOrder) {
    Draw({"....", "....", "....", "...#"});
    // GetMap's cost, and the cost of leaving the cell (its own, whatever the blocked cell entered).
    struct { int x, y, cost; } costs[] = {{0, 0, 0}, {2, 2, 0}, {3, 3, ASTAR_BLOCKED}, {-1, 0, 9}, {0, -1, 9}, {4, 0, 9}, {0, 4, 9}};
    for (const auto& c : costs) {
        EXPECT_EQ(GetMap(c.x, c.y), c.cost) << c.x << "," << c.y;
        EXPECT_EQ(MapSearchNode(c.x, c.y).GetCost(MapSearchNode(3, 3)), (float)c.cost) << c.x << "," << c.y;
    }
    struct { int x, y, gx, gy; float squared; } estimates[] = {
        {0, 0, 3, 4, 25}, {3, 4, 0, 0, 25}, {5, 5, 5, 5, 0}, {-2, 0, 1, 0, 9}, {0, 0, 4000, 3000, 25e6f}};
    for (const auto& e : estimates)
        EXPECT_EQ(MapSearchNode(e.x, e.y).GoalDistanceEstimate(MapSearchNode(e.gx, e.gy)), e.squared) << e.x << "," << e.y;
    const MapSearchNode came_from(0, 2);
    const struct { int x, y; const MapSearchNode* parent; Cells expected; } orders[] = {
        {1, 1, nullptr, {{0, 1}, {1, 0}, {2, 1}, {1, 2}}},  // left, up, right, down
        {0, 0, nullptr, {{1, 0}, {0, 1}}},                  // nothing off the map
        {3, 2, nullptr, {{2, 2}, {3, 1}}},                  // nor the wall below
        {1, 2, &came_from, {{1, 1}, {2, 2}, {1, 3}}},       // nor the cell it came from
    };
    for (const auto& o : orders) {
        MapSearchNode out[4];
        Cells got;
        for (int i = 0, n = MapSearchNode(o.x, o.y).Neighbours(o.parent, out); i < n; ++i) got.push_back({out[i].x, out[i].y});
        EXPECT_EQ(got, o.expected) << o.x << "," << o.y;
    }
}

// Paths worked out by hand, expansion by expansion, with the standard heap's own tie order. An
// unreachable goal fails once every reachable cell is expanded once; a pool too dry for a successor
// drops it (too small for start and goal: fails at once). Only the path stays out of the pool, the
// walker walks it, and a failed search shows none (stepping on changes nothing).
TEST_F(AstarTest, DrawnMapsGiveTheGreedyPathOrFailCleanly) {
    const struct { const char* what; std::vector<std::string> rows; unsigned int state; int steps; unsigned int pool = ASTAR_BATTLE_POOL; } cases[] = {
        {"tie", {"...", ".S*", "..G"}, SUCCEEDED, 3},  // right and down lie 1 from the goal: right, pushed first
        // Greedy, not shortest: along the wall's long side after the goal's column (10 moves, not 8).
        {"greedy", {".S*....", "..*****", ".#####*", "....G**", "......."}, SUCCEEDED, 11},
        {"over", {"..***..", "..*#**.", ".S*#.G.", "...#...", "......."}, SUCCEEDED, 10},  // right beats down again
        {"blocked start", {"s**G"}, SUCCEEDED, 4},           // a monster on a blocked tile still leaves it
        {"border", {"S#", "*#", "*.", "G."}, SUCCEEDED, 4},  // nothing off the map is ever tried
        {"start on the goal", {"...", ".B.", "..."}, SUCCEEDED, 1},
        {"blocked goal", {"S..", ".g.", "..."}, FAILED, 8},
        {"walled off", {"S.#..", "..#.G", "###.."}, FAILED, 4},
        {"pool 0", {"S........G"}, FAILED, 0, 0},
        {"pool 1", {"S........G"}, FAILED, 0, 1},
        {"pool 2", {"S........G"}, FAILED, 1, 2},  // the start finds no node for its neighbour
        {"pool 4", {"S........G"}, FAILED, 3, 4},
        {"pool 10", {"S........G"}, FAILED, 9, 10},  // no node left for the goal cell's successor
        {"pool 11", {"S********G"}, SUCCEEDED, 10, 11},
    };
    for (const auto& c : cases) {
        Draw(c.rows);
        CMonsterPath path(c.pool);
        EXPECT_EQ(path.Plan(start.x, start.y, goal.x, goal.y), c.state) << c.what;
        EXPECT_EQ(path.Search().GetStepCount(), c.steps) << c.what;
        const bool moved = path.Next() != nullptr;
        const Cells cells = walk(path.Search());
        EXPECT_EQ(moved, cells.size() > 1) << c.what;
        // A start on the goal holds the goal's node too, hanging apart from the path.
        EXPECT_EQ(path.Search().NodesInUse(), cells.size() == 1 ? 2 : cells.size()) << c.what;
        EXPECT_EQ(c.state == SUCCEEDED ? Trace(c.rows, cells) : c.rows, c.rows) << c.what;
        EXPECT_TRUE(c.state != FAILED || (cells.empty() && path.Search().SearchStep() == FAILED)) << c.what;
        path.Clear();
        EXPECT_EQ(path.Search().NodesInUse(), 0u) << c.what;
    }
}

// The battle plans every monster again after each action menu: each planning gives the last path
// back first, so the pool lends only the current path, and planning takes nothing from the heap.
TEST_F(AstarTest, AThousandReplanningsReuseThePool) {
    make_wall_map(map, 64, 64, 25, 7);
    std::mt19937 rng(11);
    std::vector<MapSearchNode> ends;
    while (ends.size() < 40) {
        const MapSearchNode cell((int)(rng() % 64), (int)(rng() % 64));
        if (GetMap(cell.x, cell.y) == 0) ends.push_back(cell);
    }
    CMonsterPath path;
    std::vector<Cells> fresh;  // each trip planned by a search of its own
    long heap_allocations = 0;
    for (int i = 0; i < 1000; ++i) {
        const MapSearchNode &from = ends[(size_t)(i % 20) * 2], &to = ends[(size_t)(i % 20) * 2 + 1];
        if (i < 20) {
            CMonsterPath once;
            once.Plan(from.x, from.y, to.x, to.y);
            fresh.push_back(walk(once.Search()));
        }
        HeapProbe probe;
        path.Plan(from.x, from.y, to.x, to.y);
        while (path.Next()) continue;
        heap_allocations += probe.allocations();
        ASSERT_EQ(walk(path.Search()), fresh[(size_t)i % 20]) << "planning " << i;
        ASSERT_EQ(path.Search().NodesInUse(), fresh[(size_t)i % 20].size()) << "planning " << i;
    }
    EXPECT_GE(std::count_if(fresh.begin(), fresh.end(), [](const Cells& c) { return !c.empty(); }), 10);  // most trips open
    EXPECT_EQ(HeapProbe::available ? heap_allocations : 0, 0);
    path.Clear();
    EXPECT_EQ(path.Search().NodesInUse(), 0u);
}

TEST(AstarDeathTest, SteppingASearchNeverSetUpStops) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(Search(10).SearchStep(), "src/Astar.hpp:[0-9]+: Assertion `\\(m_State > SEARCH_STATE_NOT_INITIALISED\\) && "
                                          "\\(m_State < SEARCH_STATE_INVALID\\)' failed");
}

// What runs of both searches came to, so the checks can see the maps cover every outcome.
struct Tally { int succeeded = 0, failed = 0, cancelled = 0, left = 0, dry = 0, reopened = 0; };

// Steps both searches side by side through `trips` trips on one pair for each of `maps` seeds, as
// the battle re-plans; make(rng, seed, w, h) builds the seed's map, sets its size and returns the
// pool. Trips join cells anywhere, walls and borders included, the goal sometimes the start; some
// are cancelled, some left under way for the next, and a finished one is cancelled too late. Every
// step must leave the same state, step count and pool use, and every end the same path.
template <class State, class Make>
void compare(unsigned int maps, int trips, Make make, Tally& tally) {
    for (unsigned int seed = 0; seed < maps; ++seed) {
        std::mt19937 rng(seed);
        unsigned int w = 0, h = 0;
        const unsigned int pool = make(rng, seed, w, h);
        AStarSearch<State> fast(pool);
        LinearAStarSearch<State> slow(pool);
        for (int trip = 0; trip < trips; ++trip) {
            SCOPED_TRACE(::testing::Message() << "seed " << seed << " trip " << trip);
            const State start((int)(rng() % w), (int)(rng() % h));
            const State goal = rng() % 8 == 0 ? start : State((int)(rng() % w), (int)(rng() % h));
            const unsigned int odd = rng() % 10, at = odd < 2 ? rng() % 30 : ~0u;  // cancelled (0) or left (1) at step
            fast.SetStartAndGoalStates(start, goal);
            slow.SetStartAndGoalStates(start, goal);
            ASSERT_EQ(fast.m_State, slow.m_State);
            ASSERT_EQ(fast.NodesInUse(), slow.NodesInUse());
            unsigned int state = fast.m_State;
            std::set<std::pair<int, int>> expanded;
            bool again = false, dry = false;
            for (unsigned int step = 0; state == SEARCHING && !(step == at && odd == 1); ++step) {
                if (step == at) fast.CancelSearch(), slow.m_CancelRequest = true, tally.cancelled++;
                state = fast.SearchStep();
                ASSERT_EQ(state, slow.SearchStep());
                ASSERT_EQ(fast.GetStepCount(), slow.GetStepCount());
                ASSERT_EQ(fast.NodesInUse(), slow.NodesInUse());
                if (state != SEARCHING) break;
                dry |= fast.m_FixedSizeAllocator.m_pFirstFree == nullptr;
                // A cell expanded twice was reached again more cheaply and replaced its closed node.
                again |= !expanded.insert({fast.m_ClosedList.back()->m_UserState.x, fast.m_ClosedList.back()->m_UserState.y}).second;
            }
            tally.reopened += again, tally.dry += dry;
            if (state == SEARCHING) {
                tally.left++;
                continue;
            }
            ASSERT_EQ(walk(fast), walk(slow));
            (state == SUCCEEDED ? tally.succeeded : tally.failed)++;
            fast.CancelSearch(), slow.m_CancelRequest = true;
            ASSERT_EQ(fast.SearchStep(), state);
            ASSERT_EQ(slow.SearchStep(), state);
        }
    }
}

TEST_F(AstarTest, SameAsTheLinearScanOnRandomMaps) {
    Tally tally;
    compare<MapSearchNode>(300, 6, [](std::mt19937& rng, unsigned int seed, unsigned int& w, unsigned int& h) {
        const unsigned int pools[] = {ASTAR_BATTLE_POOL, ASTAR_BATTLE_POOL, 200, 40, 3};
        w = 1 + rng() % 40, h = 1 + rng() % 40;
        make_wall_map(map, w, h, (int)(rng() % 50), seed);
        return pools[rng() % 5];
    }, tally);
    EXPECT_GT(tally.succeeded, 500);
    EXPECT_GT(tally.failed, 300);
    EXPECT_GT(tally.cancelled, 50);
    EXPECT_GT(tally.left, 50);
    EXPECT_GT(tally.dry, 100);
}

// A grid whose cells cost 0 to 4 to leave (5 a wall), so cheaper ways to held cells turn up and the
// searches replace open and closed nodes: the branches the battle's zero-cost map never takes.
std::vector<int> grid_cost;  // of each cell of the weighted grid, row by row
int grid_w = 0, grid_h = 0;
struct WeightedCell {
    int x = 0, y = 0;
    WeightedCell() = default;
    WeightedCell(int cx, int cy) : x(cx), y(cy) {}
    float GoalDistanceEstimate(const WeightedCell& g) const { return (float)(std::abs(x - g.x) + std::abs(y - g.y)); }
    bool IsGoal(const WeightedCell& g) const { return IsSameState(g); }
    bool IsSameState(const WeightedCell& o) const { return x == o.x && y == o.y; }
    float GetCost(const WeightedCell&) const { return (float)grid_cost[(size_t)(y * grid_w + x)]; }
    unsigned int Hash() const { return (unsigned int)(y * grid_w + x); }
    template <class Search>
    bool GetSuccessors(Search* s, const WeightedCell* parent) const {
        for (const WeightedCell n : {WeightedCell(x - 1, y), WeightedCell(x, y - 1), WeightedCell(x + 1, y), WeightedCell(x, y + 1)})
            if (n.x >= 0 && n.y >= 0 && n.x < grid_w && n.y < grid_h && grid_cost[(size_t)(n.y * grid_w + n.x)] <= 4 &&
                !(parent && parent->IsSameState(n)))
                s->AddSuccessor(n);
        return true;
    }
};

TEST_F(AstarTest, SameAsTheLinearScanWhenCheaperWaysReplaceNodes) {
    Tally tally;
    compare<WeightedCell>(100, 4, [](std::mt19937& rng, unsigned int seed, unsigned int& w, unsigned int& h) {
        w = 2 + rng() % 30, h = 2 + rng() % 30;
        grid_w = (int)w, grid_h = (int)h;
        grid_cost.resize(w * h);
        for (int& c : grid_cost) c = (int)(rng() % 6);
        return seed % 4 == 0 ? 60 : ASTAR_BATTLE_POOL;
    }, tally);
    EXPECT_GT(tally.reopened, 100);
    EXPECT_GT(tally.succeeded, 200);
}

}  // namespace
