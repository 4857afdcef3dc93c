// Costs of the battle: one frame of the turn loop, and the monsters' turns walking their planned paths, with the heap watched.
#include <allegro.h>
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "CBattle.h"
#include "CBattleLoop.h"
#include "CDisplay.h"
#include "CMap.h"
#include "CPlayer.h"
#include "Host.h"
#include "Quests.h"
#define HEAP_PROBE_USE_ONLY
#include "astar_heap_probe.h"
#include "bench_pages.h"

namespace {

constexpr int SIDE = 64;

// A 64 x 64 battle map, both layers drawn (an overlay on every fourth cell), one cell in
// `rock_in` a rock, and 25 monsters on open cells of the box (x0..x0+w, y0..y0+h).
void battle_map(int rock_in, int x0, int y0, int w, int h) {
    map = CMap();
    map.InitMap(SIDE, SIDE, 16, 16, 2);
    map.name = "bench_battle.map";
    map.battle = true;
    map.tileset = map.spriteset = bench_sheet();
    std::mt19937 rng(7);
    for (int r = 0; r < SIDE; ++r)
        for (int c = 0; c < SIDE; ++c) {
            map.tiles[0][r][c].tile = (r * 7 + c) % 256 + 1;
            if ((r * SIDE + c) % 4 == 0) map.tiles[1][r][c].tile = (r + c) % 256 + 1;
            if (rock_in > 0 && (int)(rng() % (unsigned)rock_in) == 0) map.tiles[0][r][c].flags = TF_BLOCKED;
        }
    map.p0_x = 2, map.p0_y = 2;
    map.p1_x = 3, map.p1_y = 2;
    map.tiles[0][2][2].flags = map.tiles[0][2][3].flags = 0;
    while (map.npcs.size() < 25) {
        CNpc m;
        int c = x0 + (int)(rng() % (unsigned)w), r = y0 + (int)(rng() % (unsigned)h);
        if (map.tiles[0][r][c].flags & TF_BLOCKED) continue;
        bool taken = false;
        for (const CNpc& o : map.npcs) taken |= o.x == (unsigned)c * 16 && o.y == (unsigned)r * 16;
        if (taken) continue;
        m.x = (unsigned)c * 16, m.y = (unsigned)r * 16;
        m.id = 2;  // "A goblin": reach 1
        m.sprite = (unsigned char)(map.npcs.size() % 8);
        map.npcs.push_back(m);
    }
    map.num_npcs = (unsigned)map.npcs.size();
    for (CPlayer& p : player) {
        p.sprite = bench_sheet();
        p.hp = p.max_hp = 10;
    }
    quest.flags |= QF_COMPANION;  // both members drawn
}

// One frame of the hero's turn as the loop draws it: map layers, the 25 monsters, the party, the
// 45 tinted cells of the movement range, and the page copied to the screen.
void BM_BattleFrame(benchmark::State& state) {
    ensure_pages();
    CQuietHost quiet;
    CHost* old = host;
    host = &quiet;
    battle_map(0, 4, 3, 30, 24);  // every monster in view
    map.p0_x = 12, map.p0_y = 12;
    CBattleLoop loop(battle);
    loop.SetUp();
    loop.Draw();  // the range's shape is worked out once
    HeapProbe probe;
    long frames = 0;
    for (auto _ : state) {
        loop.Draw();
        Display.ShowPageKeep();
        ++frames;
    }
    const long allocations = probe.allocations();  // before the counters below take heap of their own
    if (HeapProbe::available) state.counters["heap_allocs"] = (double)allocations;
    benchmark::DoNotOptimize(frames);
    host = old;
    quest.flags = 0;
}
BENCHMARK(BM_BattleFrame)->Unit(benchmark::kMicrosecond);

// The monsters' side of a round as the loop runs it after an action menu: every path planned
// again, then each of the 25 monsters walks up to 14 cells of its path (16 ticks a cell) until
// the turn comes back to the hero. The party is far off, so nobody strikes and no box opens.
// Argument: one cell in n a rock (0: none). Counts the ticks of a round and the heap's allocations.
void BM_BattleMonsterRound(benchmark::State& state) {
    ensure_pages();
    CQuietHost quiet;
    CHost* old = host;
    host = &quiet;
    battle_map((int)state.range(0), 38, 0, 26, SIDE);
    CBattleLoop loop(battle);
    loop.SetUp();
    const std::vector<CNpc> start = map.npcs;
    long ticks = 0, rounds = 0;
    HeapProbe probe;
    for (auto _ : state) {
        for (size_t i = 0; i < start.size(); ++i) {  // back where they started, touching no string
            map.npcs[i].x = start[i].x;
            map.npcs[i].y = start[i].y;
            map.npcs[i].battle_steps = 0;
        }
        loop.Replan();
        battle.turn = TURN_MONSTERS;
        loop.current_monster = 0;
        while (battle.turn == TURN_MONSTERS) {
            speed_counter = 1;
            loop.Tick();
            ++ticks;
        }
        ++rounds;
    }
    const long allocations = probe.allocations();  // before the counters below take heap of their own
    state.counters["ticks_a_round"] = rounds ? (double)ticks / (double)rounds : 0;
    if (HeapProbe::available) state.counters["heap_allocs"] = (double)allocations;
    speed_counter = 0;
    host = old;
    quest.flags = 0;
}
BENCHMARK(BM_BattleMonsterRound)->Arg(0)->Arg(6)->Unit(benchmark::kMillisecond);

}  // namespace
