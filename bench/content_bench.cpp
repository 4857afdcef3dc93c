// Cost of the content check on the build's data/: reading the folder whole, and the rules on what was read.
#include <benchmark/benchmark.h>

#include "ContentCheck.h"

// Reads every map, the pictures' sizes and the three lists (33 maps and their lists when shipped).
static void BM_ContentLoad(benchmark::State& state) {
    for (auto _ : state) {
        ContentSet set;
        std::string error;
        if (!load_content(RPG_DATA_PATH, set, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(set.maps.size());
    }
}
BENCHMARK(BM_ContentLoad)->Unit(benchmark::kMillisecond);

// Every rule over the content already read, walkability floods included.
static void BM_ContentCheck(benchmark::State& state) {
    ContentSet set;
    std::string error;
    if (!load_content(RPG_DATA_PATH, set, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    size_t problems = 0;
    for (auto _ : state) problems = check_content(set).size();
    state.counters["problems"] = (double)problems;
}
BENCHMARK(BM_ContentCheck)->Unit(benchmark::kMillisecond);
