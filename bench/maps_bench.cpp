// Costs of reading and writing a large map file (256 x 256 tiles, 3 layers, a few hundred records).
#include <allegro.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "CMap.h"
#include "Host.h"
#include "MapFile.h"

namespace {

// A 256 x 256 map of 3 layers with 50 portals, 200 events and 100 NPCs, saved once.
const std::string& big_map_path() {
    static std::string path;
    if (!path.empty()) return path;
    char dir[] = "/tmp/rpgmapbench.XXXXXX";
    if (!mkdtemp(dir)) abort();
    path = std::string(dir) + "/big.map";
    CMap m;
    m.InitMap(256, 256, 16, 16, 3);
    for (unsigned int l = 0; l < 3; l++)
        for (unsigned int r = 0; r < 256; r++)
            for (unsigned int c = 0; c < 256; c++) m.tiles[l][r][c] = CTile{(int)((r * 7 + c + l) % 256), (int)(c & 15), (unsigned char)l};
    m.portals.resize(50);
    m.events.resize(200);
    for (CEvent& e : m.events) e.text = "A sign by the road, with words worn by the rain of many years.";
    m.npcs.resize(100);
    m.num_portals = 50;
    m.num_events = 200;
    m.num_npcs = 100;
    CQuietHost quiet;  // keeps the missing-image warnings off the screen and out of the timings
    CHost* old = host;
    host = &quiet;
    if (m.SaveMap(path) != 0) abort();
    host = old;
    return path;
}

void BM_LoadMap_256x256x3(benchmark::State& state) {
    const std::string& path = big_map_path();
    CQuietHost quiet;
    CHost* old = host;
    host = &quiet;
    CMap m;
    for (auto _ : state) {
        if (m.LoadMap(path, true) != 0) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(m.tiles[2][255][255].tile);
    }
    host = old;
}
BENCHMARK(BM_LoadMap_256x256x3)->Unit(benchmark::kMillisecond);

// Loading over a map of the same shape, as walking back and forth between two maps does.
void BM_LoadMap_FreshMap_256x256x3(benchmark::State& state) {
    const std::string& path = big_map_path();
    CQuietHost quiet;
    CHost* old = host;
    host = &quiet;
    for (auto _ : state) {
        CMap m;
        if (m.LoadMap(path, true) != 0) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(m.tiles[2][255][255].tile);
    }
    host = old;
}
BENCHMARK(BM_LoadMap_FreshMap_256x256x3)->Unit(benchmark::kMillisecond);

void BM_SaveMap_256x256x3(benchmark::State& state) {
    const std::string& path = big_map_path();
    CQuietHost quiet;
    CHost* old = host;
    host = &quiet;
    CMap m;
    if (m.LoadMap(path, true) != 0) abort();
    std::string out = path + ".saved";
    for (auto _ : state)
        if (m.SaveMap(out) != 0) state.SkipWithError("save failed");
    host = old;
}
BENCHMARK(BM_SaveMap_256x256x3)->Unit(benchmark::kMillisecond);

void BM_EncodeMap_256x256x3(benchmark::State& state) {
    CQuietHost quiet;
    CHost* old = host;
    host = &quiet;
    CMap m;
    if (m.LoadMap(big_map_path(), true) != 0) abort();
    std::string bytes, problem;
    for (auto _ : state) {
        if (!encode_map_file(m.FileData("big.map"), bytes, problem)) state.SkipWithError(problem.c_str());
        benchmark::DoNotOptimize(bytes.size());
    }
    host = old;
}
BENCHMARK(BM_EncodeMap_256x256x3)->Unit(benchmark::kMillisecond);

// The decoder alone: the bytes of the file to a checked description, no pictures.
void BM_DecodeMap_256x256x3(benchmark::State& state) {
    std::string bytes;
    FILE* f = fopen(big_map_path().c_str(), "rb");
    if (!f) abort();
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    fclose(f);
    MapFileData d;
    std::string error;
    for (auto _ : state) {
        if (!decode_map_file((const unsigned char*)bytes.data(), bytes.size(), d, error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(d.tiles[2][255][255].tile);
    }
}
BENCHMARK(BM_DecodeMap_256x256x3)->Unit(benchmark::kMillisecond);

}  // namespace
