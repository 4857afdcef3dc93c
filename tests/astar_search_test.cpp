// The battle's path search: costs, successor order, greedy paths, the pool, failures, and the linear-scan search's twin.
#include <gtest/gtest.h>

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

// The cells a search's walker visits from its start to the end of the path.
template <class S>
Cells walk(S& s) {
    Cells cells;
    for (auto* n = s.GetSolutionStart(); n; n = s.GetSolutionNext()) cells.push_back({n->x, n->y});
    return cells;
}

// Runs a search from start to goal to its end and returns its final state.
template <class S>
unsigned int run(S& s, MapSearchNode start, MapSearchNode goal) {
    s.SetStartAndGoalStates(start, goal);
    unsigned int state = s.m_State;
    while (state == Search::SEARCH_STATE_SEARCHING) state = s.SearchStep();
    return state;
}

class AstarTest : public GameRig {
protected:
    MapSearchNode start, goal;

    // Builds `map` from rows of text: '#' blocked, 'S' the start, 'G' the goal, 's' / 'g' the
    // start / goal on a blocked tile, '*' a cell of the expected path; anything else is open.
    void Draw(const std::vector<std::string>& rows) {
        make_map(map, (unsigned int)rows[0].size(), (unsigned int)rows.size(), false);
        for (int y = 0; y < (int)rows.size(); ++y)
            for (int x = 0; x < (int)rows[y].size(); ++x) {
                char c = rows[y][x];
                if (c == '#' || c == 's' || c == 'g') map.tiles[0][y][x].flags = TF_BLOCKED;
                if (c == 'S' || c == 's') start = MapSearchNode(x, y);
                if (c == 'G' || c == 'g') goal = MapSearchNode(x, y);
            }
    }

    // rows with the expected path wiped and the cells between the ends of path marked '*'.
    static std::vector<std::string> Trace(std::vector<std::string> rows, const Cells& path) {
        for (std::string& row : rows)
            for (char& c : row)
                if (c == '*') c = '.';
        for (size_t i = 1; i + 1 < path.size(); ++i) rows[path[i].second][path[i].first] = '*';
        return rows;
    }

    // Fails unless path runs from start to goal in single orthogonal steps.
    void ExpectConnected(const Cells& path) {
        ASSERT_FALSE(path.empty());
        EXPECT_EQ(path.front(), std::make_pair(start.x, start.y));
        EXPECT_EQ(path.back(), std::make_pair(goal.x, goal.y));
        for (size_t i = 1; i < path.size(); ++i)
            EXPECT_EQ(std::abs(path[i].first - path[i - 1].first) + std::abs(path[i].second - path[i - 1].second), 1)
                << "step " << i;
    }
};

TEST_F(AstarTest, CellCostsEstimateAndNeighbourOrder) {
    Draw({"....",
          "....",
          "....",
          "...#"});
    struct Cost {
        int x, y, cost;
    } costs[] = {{0, 0, 0}, {2, 2, 0}, {3, 3, ASTAR_BLOCKED}, {-1, 0, 9}, {0, -1, 9}, {4, 0, 9}, {0, 4, 9}};
    for (const Cost& c : costs) EXPECT_EQ(GetMap(c.x, c.y), c.cost) << c.x << "," << c.y;
    // Leaving a cell costs what that cell costs, whatever the cell entered.
    EXPECT_EQ(MapSearchNode(3, 3).GetCost(MapSearchNode(2, 3)), 9.0f);
    EXPECT_EQ(MapSearchNode(2, 3).GetCost(MapSearchNode(3, 3)), 0.0f);

    struct Estimate {
        int x, y, gx, gy;
        float squared;
    } estimates[] = {{0, 0, 3, 4, 25}, {3, 4, 0, 0, 25}, {5, 5, 5, 5, 0}, {-2, 0, 1, 0, 9}, {0, 0, 4000, 3000, 25e6f}};
    for (const Estimate& e : estimates)
        EXPECT_EQ(MapSearchNode(e.x, e.y).GoalDistanceEstimate(MapSearchNode(e.gx, e.gy)), e.squared) << e.x << "," << e.y;

    MapSearchNode came_from(0, 2);
    struct Order {
        int x, y;
        const MapSearchNode* parent;
        Cells expected;
    } orders[] = {
        {1, 1, nullptr, {{0, 1}, {1, 0}, {2, 1}, {1, 2}}},  // left, up, right, down
        {0, 0, nullptr, {{1, 0}, {0, 1}}},                  // nothing off the map
        {3, 2, nullptr, {{2, 2}, {3, 1}}},                  // nor the wall below
        {1, 2, &came_from, {{1, 1}, {2, 2}, {1, 3}}},       // nor the cell it came from
    };
    for (const Order& o : orders) {
        MapSearchNode out[4];
        int n = MapSearchNode(o.x, o.y).Neighbours(o.parent, out);
        Cells got;
        for (int i = 0; i < n; ++i) got.push_back({out[i].x, out[i].y});
        EXPECT_EQ(got, o.expected) << o.x << "," << o.y;
    }
}

// Paths worked out by hand, expansion by expansion, with the standard heap's own tie order.
TEST_F(AstarTest, DrawnMapsGiveTheGreedyPath) {
    struct Case {
        const char* what;
        std::vector<std::string> rows;
        int steps;
    } cases[] = {
        // Right and down both lie 1 from the goal; right was pushed first and stays in front.
        {"tie", {"...",
                 ".S*",
                 "..G"}, 3},
        // Greedy, not shortest: it chases the goal's column along the wall's long side (10
        // moves) where going round the short side takes 8. Leaving the start, right and down tie.
        {"greedy", {".S*....",
                    "..*****",
                    ".#####*",
                    "....G**",
                    "......."}, 11},
        // Over the wall's top; beside the goal right beats down on a tie again.
        {"over", {"..***..",
                  "..*#**.",
                  ".S*#.G.",
                  "...#...",
                  "......."}, 10},
        // A monster on a blocked tile still leaves it: only its neighbours must be open.
        {"blocked start", {"s**G"}, 4},
        // Along the map's left border, nothing off the map is ever tried.
        {"border", {"S#",
                    "*#",
                    "*.",
                    "G."}, 4},
    };
    for (const Case& c : cases) {
        Draw(c.rows);
        CMonsterPath path;
        EXPECT_EQ(path.Plan(start.x, start.y, goal.x, goal.y), Search::SEARCH_STATE_SUCCEEDED) << c.what;
        EXPECT_EQ(path.Search().GetStepCount(), c.steps) << c.what;
        Cells cells = walk(path.Search());
        ExpectConnected(cells);
        EXPECT_EQ(Trace(c.rows, cells), c.rows) << c.what;
        EXPECT_EQ(path.Search().NodesInUse(), cells.size()) << c.what << ": only the path stays out of the pool";
    }
}

TEST_F(AstarTest, StartOnTheGoalSucceedsAtOnceWithAnEmptyChain) {
    Draw({"...",
          ".S.",
          "..."});
    CMonsterPath path;
    EXPECT_EQ(path.Plan(1, 1, 1, 1), Search::SEARCH_STATE_SUCCEEDED);
    EXPECT_EQ(path.Search().GetStepCount(), 1);
    EXPECT_EQ(path.Search().m_Start->child, nullptr);
    EXPECT_EQ(path.Next(), nullptr);
    EXPECT_EQ(walk(path.Search()), (Cells{{1, 1}}));
    path.Clear();  // the start and the goal node that hangs apart from it
    EXPECT_EQ(path.Search().NodesInUse(), 0u);
}

// A goal that cannot be reached fails once every reachable cell has been expanded once; the
// failed search gives every node back and shows no path, never a node back in the pool.
TEST_F(AstarTest, UnreachableGoalFailsWithNoPathAndNoNodeHeld) {
    struct Case {
        const char* what;
        std::vector<std::string> rows;
        int reachable;
    } cases[] = {
        {"blocked goal", {"S..",
                          ".g.",
                          "..."}, 8},
        {"walled off", {"S.#..",
                        "..#.G",
                        "###.."}, 4},
    };
    for (const Case& c : cases) {
        Draw(c.rows);
        CMonsterPath path;
        EXPECT_EQ(path.Plan(start.x, start.y, goal.x, goal.y), Search::SEARCH_STATE_FAILED) << c.what;
        EXPECT_EQ(path.Search().GetStepCount(), c.reachable) << c.what;
        EXPECT_EQ(path.Search().NodesInUse(), 0u) << c.what;
        EXPECT_EQ(path.Search().GetSolutionStart(), nullptr) << c.what;
        EXPECT_EQ(path.Next(), nullptr) << c.what;
        EXPECT_EQ(path.Search().SearchStep(), Search::SEARCH_STATE_FAILED) << c.what << ": stepping on changes nothing";
    }
}

// Successors that find the pool dry are dropped; a pool too small for the start and goal fails
// at once instead of searching from a null node.
TEST_F(AstarTest, DryPoolDropsSuccessorsAndFailsCleanly) {
    Draw({"S........G"});
    struct Case {
        unsigned int pool;
        unsigned int state;
        int steps;
    } cases[] = {
        {0, Search::SEARCH_STATE_FAILED, 0},
        {1, Search::SEARCH_STATE_FAILED, 0},
        {2, Search::SEARCH_STATE_FAILED, 1},   // the start finds no node for its neighbour
        {4, Search::SEARCH_STATE_FAILED, 3},
        {10, Search::SEARCH_STATE_FAILED, 9},  // no node left for the goal cell's successor
        {11, Search::SEARCH_STATE_SUCCEEDED, 10},
    };
    for (const Case& c : cases) {
        CMonsterPath path(c.pool);
        EXPECT_EQ(path.Plan(0, 0, 9, 0), c.state) << c.pool;
        EXPECT_EQ(path.Search().GetStepCount(), c.steps) << c.pool;
        EXPECT_EQ(path.Search().NodesInUse(), c.state == Search::SEARCH_STATE_SUCCEEDED ? 10u : 0u) << c.pool;
    }
}

// The battle plans every monster again after each action menu. Each planning gives the last
// path back first, so the pool lends only the current path and never runs dry, and planning
// takes nothing from the general heap.
TEST_F(AstarTest, AThousandReplanningsReuseThePool) {
    make_wall_map(map, 64, 64, 25, 7);
    std::mt19937 rng(11);
    auto open_cell = [&] {
        for (;;) {
            int x = (int)(rng() % 64), y = (int)(rng() % 64);
            if (GetMap(x, y) == 0) return MapSearchNode(x, y);
        }
    };
    std::vector<std::pair<MapSearchNode, MapSearchNode>> trips;
    for (int i = 0; i < 20; ++i) trips.push_back({open_cell(), open_cell()});
    std::vector<Cells> fresh;
    int found = 0;
    for (auto& t : trips) {
        CMonsterPath once;
        found += once.Plan(t.first.x, t.first.y, t.second.x, t.second.y) == Search::SEARCH_STATE_SUCCEEDED;
        fresh.push_back(walk(once.Search()));
    }
    ASSERT_GE(found, 10);  // the walls leave most trips open

    CMonsterPath path;
    long heap_allocations = 0;
    for (int i = 0; i < 1000; ++i) {
        size_t t = (size_t)i % trips.size();
        {
            HeapProbe probe;
            path.Plan(trips[t].first.x, trips[t].first.y, trips[t].second.x, trips[t].second.y);
            while (path.Next()) {
            }
            heap_allocations += probe.allocations();
        }
        ASSERT_EQ(walk(path.Search()), fresh[t]) << "planning " << i;
        ASSERT_EQ(path.Search().NodesInUse(), fresh[t].size()) << "planning " << i;
    }
    if (HeapProbe::available) {
        EXPECT_EQ(heap_allocations, 0);
    }
    path.Clear();
    EXPECT_EQ(path.Search().NodesInUse(), 0u);
}

// A new run may start in any state: the nodes of a run under way go back too. Cancelling
// fails the next step; the next run forgets the request.
TEST_F(AstarTest, RestartAndCancelGiveEveryNodeBack) {
    make_wall_map(map, 20, 20, 0, 1);
    Search s(ASTAR_BATTLE_POOL);
    s.SetStartAndGoalStates(MapSearchNode(0, 0), MapSearchNode(19, 19));
    for (int i = 0; i < 5; ++i) s.SearchStep();
    ASSERT_GT(s.NodesInUse(), 2u);
    s.SetStartAndGoalStates(MapSearchNode(0, 0), MapSearchNode(19, 19));
    EXPECT_EQ(s.NodesInUse(), 2u);
    s.SearchStep();
    s.CancelSearch();
    EXPECT_EQ(s.SearchStep(), Search::SEARCH_STATE_FAILED);
    EXPECT_EQ(s.NodesInUse(), 0u);
    EXPECT_EQ(s.GetSolutionStart(), nullptr);
    EXPECT_EQ(run(s, MapSearchNode(0, 0), MapSearchNode(19, 19)), Search::SEARCH_STATE_SUCCEEDED);
    s.CancelSearch();  // too late for a finished search
    EXPECT_EQ(s.SearchStep(), Search::SEARCH_STATE_SUCCEEDED);
    EXPECT_EQ(walk(s).size(), 39u);
}

TEST(AstarDeathTest, SteppingASearchNeverSetUpStops) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            Search s(10);
            s.SearchStep();
        },
        "src/Astar.hpp:[0-9]+: Assertion `\\(m_State > SEARCH_STATE_NOT_INITIALISED\\) && "
        "\\(m_State < SEARCH_STATE_INVALID\\)' failed");
}

// What a run of both searches came to, for the checks that the maps cover every outcome.
struct Tally {
    int succeeded = 0, failed = 0, cancelled = 0, dry = 0, reopened = 0;
};

// Sets both searches up from start to goal and steps them side by side to the end, cancelling
// both before step cancel_at (when not negative); every step must leave the same state, step
// count and pool use, and the end the same path.
template <class Fast, class Slow, class State>
void run_both(Fast& fast, Slow& slow, const State& start, const State& goal, int cancel_at, Tally& tally) {
    fast.SetStartAndGoalStates(start, goal);
    slow.SetStartAndGoalStates(start, goal);
    ASSERT_EQ(fast.m_State, slow.m_State);
    ASSERT_EQ(fast.NodesInUse(), slow.NodesInUse());
    unsigned int state = fast.m_State;
    std::set<std::pair<int, int>> expanded;
    bool again = false, dry = false;
    int steps = 0;
    while (state == Fast::SEARCH_STATE_SEARCHING) {
        if (steps++ == cancel_at) {
            fast.CancelSearch();
            slow.m_CancelRequest = true;
            tally.cancelled++;
        }
        state = fast.SearchStep();
        ASSERT_EQ(state, slow.SearchStep());
        ASSERT_EQ(fast.GetStepCount(), slow.GetStepCount());
        ASSERT_EQ(fast.NodesInUse(), slow.NodesInUse());
        if (state != Fast::SEARCH_STATE_SEARCHING) break;
        dry |= fast.m_FixedSizeAllocator.m_pFirstFree == nullptr;
        // The node just expanded closes the list; a cell expanded twice was reached again more
        // cheaply and replaced its closed node.
        const State& cell = fast.m_ClosedList.back()->m_UserState;
        again |= !expanded.insert({cell.x, cell.y}).second;
    }
    tally.reopened += again;
    tally.dry += dry;
    ASSERT_EQ(walk(fast), walk(slow));
    (state == Fast::SEARCH_STATE_SUCCEEDED ? tally.succeeded : tally.failed)++;
}

TEST_F(AstarTest, SameAsTheLinearScanOnRandomMaps) {
    const unsigned int pools[] = {ASTAR_BATTLE_POOL, ASTAR_BATTLE_POOL, 200, 40, 3};
    Tally tally;
    for (unsigned int seed = 0; seed < 300; ++seed) {
        std::mt19937 rng(seed);
        unsigned int w = 1 + rng() % 40, h = 1 + rng() % 40;
        make_wall_map(map, w, h, (int)(rng() % 50), seed);
        unsigned int pool = pools[rng() % 5];
        AStarSearch<MapSearchNode> fast(pool);
        LinearAStarSearch<MapSearchNode> slow(pool);
        // Several trips on one pair of searches, as the battle re-plans: cells anywhere, walls
        // and borders included, sometimes the start itself as the goal.
        for (int trip = 0; trip < 6; ++trip) {
            MapSearchNode start((int)(rng() % w), (int)(rng() % h));
            MapSearchNode goal = rng() % 8 == 0 ? start : MapSearchNode((int)(rng() % w), (int)(rng() % h));
            int cancel_at = rng() % 10 == 0 ? (int)(rng() % 30) : -1;
            run_both(fast, slow, start, goal, cancel_at, tally);
            if (HasFatalFailure()) FAIL() << "seed " << seed << " trip " << trip;
        }
    }
    EXPECT_GT(tally.succeeded, 500);
    EXPECT_GT(tally.failed, 300);
    EXPECT_GT(tally.cancelled, 50);
    EXPECT_GT(tally.dry, 100);
}

// A grid whose cells cost 0 to 4 to leave, so cheaper ways to held cells turn up and the
// searches replace open and closed nodes: the branches the battle's zero-cost map never takes.
class WeightedCell {
public:
    static std::vector<int> cost;
    static int w, h;
    int x = 0, y = 0;
    WeightedCell() = default;
    WeightedCell(int cx, int cy) : x(cx), y(cy) {}
    float GoalDistanceEstimate(const WeightedCell& g) const { return (float)(std::abs(x - g.x) + std::abs(y - g.y)); }
    bool IsGoal(const WeightedCell& g) const { return IsSameState(g); }
    bool IsSameState(const WeightedCell& o) const { return x == o.x && y == o.y; }
    float GetCost(const WeightedCell&) const { return (float)cost[(size_t)(y * w + x)]; }
    unsigned int Hash() const { return (unsigned int)(y * w + x); }
    template <class Search>
    bool GetSuccessors(Search* s, const WeightedCell* parent) const {
        const int step[4][2] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
        for (const auto& d : step) {
            WeightedCell n(x + d[0], y + d[1]);
            if (n.x < 0 || n.y < 0 || n.x >= w || n.y >= h || cost[(size_t)(n.y * w + n.x)] > 4) continue;
            if (parent && parent->IsSameState(n)) continue;
            s->AddSuccessor(n);
        }
        return true;
    }
};
std::vector<int> WeightedCell::cost;
int WeightedCell::w = 0, WeightedCell::h = 0;

TEST_F(AstarTest, SameAsTheLinearScanWhenCheaperWaysReplaceNodes) {
    Tally tally;
    for (unsigned int seed = 0; seed < 100; ++seed) {
        std::mt19937 rng(seed);
        WeightedCell::w = 2 + (int)(rng() % 30);
        WeightedCell::h = 2 + (int)(rng() % 30);
        WeightedCell::cost.assign((size_t)(WeightedCell::w * WeightedCell::h), 0);
        for (int& c : WeightedCell::cost) c = (int)(rng() % 6);  // 5 is a wall
        unsigned int pool = seed % 4 == 0 ? 60 : ASTAR_BATTLE_POOL;
        AStarSearch<WeightedCell> fast(pool);
        LinearAStarSearch<WeightedCell> slow(pool);
        for (int trip = 0; trip < 4; ++trip) {
            WeightedCell start((int)(rng() % WeightedCell::w), (int)(rng() % WeightedCell::h));
            WeightedCell goal((int)(rng() % WeightedCell::w), (int)(rng() % WeightedCell::h));
            run_both(fast, slow, start, goal, -1, tally);
            if (HasFatalFailure()) FAIL() << "seed " << seed << " trip " << trip;
        }
    }
    EXPECT_GT(tally.reopened, 100);
    EXPECT_GT(tally.succeeded, 200);
}

}  // namespace
