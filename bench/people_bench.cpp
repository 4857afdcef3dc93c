// Benchmarks of the NPC list read done at every map change, the item list read, and the per-tick NPC checks.
#include <benchmark/benchmark.h>

#include <string>

#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "TextLists.h"

namespace {

// A list of n records as long as the shipped ones' longest lines.
std::string npc_text(int n) {
    std::string t;
    for (int i = 1; i <= n; ++i)
        t += std::to_string(i) + "\r\nVillager " + std::to_string(i) + "\r\n" + std::string(200, 't') +
             "\r\nyesno\r\n" + std::string(60, 'y') + "\r\n" + std::string(60, 'n') + "\r\n4096\r\n0\r\n" +
             std::string(100, 'd') + "\r\n";
    return t;
}

void BM_ParseNpcList(benchmark::State& state) {
    const std::string text = npc_text((int)state.range(0));
    std::vector<CNpcInfo> v;
    for (auto _ : state) {
        parse_npc_list(text, v);
        benchmark::DoNotOptimize(v.data());
    }
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)text.size());
}
BENCHMARK(BM_ParseNpcList)->Arg(15)->Arg(100);

void BM_ParseEquipList(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < MAX_ITEMS; ++i) text += "Item-" + std::to_string(i) + " 4 3 2 100\n";
    CInv items[MAX_ITEMS];
    int n = 0;
    for (auto _ : state) {
        parse_equip_list(text, items, n);
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_ParseEquipList);

// A 64 x 64 walkway map with 25 NPCs in a row, as busy as a town gets.
void busy_map() {
    map = CMap();
    map.width = map.height = 64;
    map.layers = 2;
    map.tiles.assign(2, std::vector<std::vector<CTile>>(64, std::vector<CTile>(64)));
    for (auto& row : map.tiles[0])
        for (CTile& t : row) t.flags = TF_WALKWAY;
    map.npcs.assign(25, CNpc());
    for (int i = 0; i < 25; ++i) {
        map.npcs[i].x = 32 + 40 * (i % 12);
        map.npcs[i].y = 32 + 200 * (i / 12);
        map.npcs[i].dir = 1 + i % 4;
    }
    map.num_npcs = 25;
    player[0].x = 500;
    player[0].y = 500;
}

void BM_CheckNpcs25(benchmark::State& state) {
    busy_map();
    int x = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(map.CheckNpcs(x, 300));
        x = (x + 7) & 511;
    }
}
BENCHMARK(BM_CheckNpcs25);

void BM_FieldNpcWander25(benchmark::State& state) {
    busy_map();
    srand(1);
    for (auto _ : state) FieldNpcWander();
    map = CMap();
}
BENCHMARK(BM_FieldNpcWander25);

}  // namespace
