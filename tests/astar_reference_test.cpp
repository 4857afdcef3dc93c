// The indexed path search against the plain linear-scan search on many seeded maps: same states, steps, pool use and paths.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "../bench/astar_linear.h"
#include "Astar.h"
#include "ScriptHost.h"

namespace {

using Cells = std::vector<std::pair<int, int>>;

template <class S>
Cells walk(S& s) {
    Cells cells;
    for (auto* n = s.GetSolutionStart(); n; n = s.GetSolutionNext()) cells.push_back({n->x, n->y});
    return cells;
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

class AstarReference : public GameRig {};

TEST_F(AstarReference, SameAsTheLinearScanOnRandomMaps) {
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

TEST_F(AstarReference, SameAsTheLinearScanWhenCheaperWaysReplaceNodes) {
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
