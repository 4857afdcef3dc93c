// The battle's re-planning of every monster's path: the indexed search against the linear-scan baseline, with the heap untouched.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "Astar.h"
#include "CMap.h"
#include "astar_heap_probe.h"
#include "astar_linear.h"

namespace {

constexpr int SIDE = 64;
constexpr int MONSTERS = 25;
using Engine = AStarSearch<MapSearchNode>;

struct Trip {
    MapSearchNode from, to;
};

// 25 monsters on open cells in the eastern third of `map`, each hunting one of the two party
// members at hero and companion.
std::vector<Trip> monsters(MapSearchNode hero, MapSearchNode companion) {
    std::mt19937 rng(5);
    std::vector<Trip> trips;
    while (trips.size() < (size_t)MONSTERS) {
        MapSearchNode m(40 + (int)(rng() % 24), (int)(rng() % SIDE));
        if (GetMap(m.x, m.y) == 0) trips.push_back({m, trips.size() % 2 ? companion : hero});
    }
    return trips;
}

// A 64 x 64 field with one cell in six a rock, the party in the west: the searches run
// nearly straight.
std::vector<Trip> field_map() {
    make_wall_map(map, SIDE, SIDE, 16, 2024);
    map.tiles[0][30][6].flags = map.tiles[0][34][6].flags = 0;
    return monsters(MapSearchNode(6, 30), MapSearchNode(6, 34));
}

// A 64 x 64 map where the party holds a walled keep (columns 8 to 30, rows 14 to 50) close
// behind its eastern wall, its one gate in the western wall, among scattered rocks. Each
// monster's greedy search fills the ground before the eastern wall (about 790 cells, most of
// what its pool of 1000 allows) before it goes round to the gate: the hardest planning a
// battle that still finds every path asks for.
std::vector<Trip> keep_map() {
    make_wall_map(map, SIDE, SIDE, 5, 2024);
    const int left = 8, right = 30, top = 14, bottom = 50, gate = 32;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            bool wall = (x == left || x == right || y == top || y == bottom) && !(x == left && y == gate);
            map.tiles[0][y][x].flags = wall ? TF_BLOCKED : 0;
        }
    return monsters(MapSearchNode(24, 30), MapSearchNode(24, 34));
}

// The path a walker of s follows, cell by cell.
template <class S>
std::vector<std::pair<int, int>> walk(S& s) {
    std::vector<std::pair<int, int>> cells;
    for (auto* n = s.GetSolutionStart(); n; n = s.GetSolutionNext()) cells.push_back({n->x, n->y});
    return cells;
}

// One planning as the battle makes it after an action menu.
template <class S>
void plan(S& s, const Trip& t) {
    s.SetStartAndGoalStates(t.from, t.to);
    while (s.m_State == Engine::SEARCH_STATE_SEARCHING) s.SearchStep();
    s.GetSolutionStart();
}

// Plans all 25 paths with searches of type S made once, as the battle makes them at its
// start; each iteration is one re-planning after an action menu. The first planning is checked
// against the other kind of search, cell by cell, and the general heap is watched throughout.
template <class S, class Other>
void plan_all(benchmark::State& state, std::vector<Trip> (*make_map)()) {
    std::vector<Trip> trips = make_map();
    std::vector<std::unique_ptr<S>> searches;
    for (int i = 0; i < MONSTERS; ++i) searches.emplace_back(new S(ASTAR_BATTLE_POOL));
    long found = 0, expansions = 0;
    for (int i = 0; i < MONSTERS; ++i) {
        Other other(ASTAR_BATTLE_POOL);
        plan(*searches[i], trips[i]);
        plan(other, trips[i]);
        if (walk(*searches[i]) != walk(other) || searches[i]->GetStepCount() != other.GetStepCount())
            state.SkipWithError("the two searches found different paths");
        found += searches[i]->m_State == Engine::SEARCH_STATE_SUCCEEDED;
        expansions += searches[i]->GetStepCount();
    }
    long heap_allocations = 0;
    for (auto _ : state) {
        HeapProbe probe;
        for (int i = 0; i < MONSTERS; ++i) plan(*searches[i], trips[i]);
        heap_allocations += probe.allocations();
    }
    state.counters["paths_found"] = (double)found;
    state.counters["expansions"] = (double)expansions;
    if (HeapProbe::available) state.counters["heap_allocs"] = (double)heap_allocations;
}

using Indexed = AStarSearch<MapSearchNode>;
using Linear = LinearAStarSearch<MapSearchNode>;

void BM_PlanAll25_Keep_Indexed(benchmark::State& state) { plan_all<Indexed, Linear>(state, keep_map); }
void BM_PlanAll25_Keep_LinearScan(benchmark::State& state) { plan_all<Linear, Indexed>(state, keep_map); }
void BM_PlanAll25_Field_Indexed(benchmark::State& state) { plan_all<Indexed, Linear>(state, field_map); }
void BM_PlanAll25_Field_LinearScan(benchmark::State& state) { plan_all<Linear, Indexed>(state, field_map); }
BENCHMARK(BM_PlanAll25_Keep_Indexed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlanAll25_Keep_LinearScan)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlanAll25_Field_Indexed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlanAll25_Field_LinearScan)->Unit(benchmark::kMicrosecond);

// One battle's searches made and released, the only time the heap is asked: 25 pools of 1000.
void BM_MakeBattleSearches(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<CMonsterPath> paths(MONSTERS);
        benchmark::DoNotOptimize(paths.data());
    }
}
BENCHMARK(BM_MakeBattleSearches)->Unit(benchmark::kMicrosecond);

}  // namespace
