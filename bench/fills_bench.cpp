// Speed of the rectangle fills on a whole 640 x 480 page, beside the library's translucent rectfill and a plain blit.
#include <allegro.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

#include "radd.h"
#include "rblend.h"
#include "rtrans.h"

namespace {

constexpr int kW = 640, kH = 480;
constexpr int kFactor = 150;  // what the battle grid and map highlights use

// A page of random pixels, freed at the end of the benchmark.
struct Page {
    BITMAP* b;
    explicit Page(int depth) : b(create_bitmap_ex(depth, kW, kH)) {
        std::mt19937 rng(42);
        for (int y = 0; y < kH; y++)
            for (int x = 0; x < kW; x++) putpixel(b, x, y, int(rng() & (depth == 32 ? 0xFFFFFF : 0xFFFF)));
    }
    ~Page() { destroy_bitmap(b); }
};

void count_pixels(benchmark::State& state, int depth) {
    state.SetItemsProcessed(state.iterations() * kW * kH);
    state.SetBytesProcessed(state.iterations() * kW * kH * (depth / 8));
}

int red(int depth) { return makecol_depth(depth, 255, 0, 0); }

// The library's own fills: its blender at the same strength, rectfill in trans mode.
template <void (*SetBlender)(int, int, int, int)>
void BM_LibraryRectfill(benchmark::State& state) {
    const int depth = int(state.range(0));
    Page page(depth);
    SetBlender(0, 0, 0, kFactor);
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    const int before = getpixel(page.b, 0, 0);
    rectfill(page.b, 0, 0, kW - 1, kH - 1, red(depth));
    if (getpixel(page.b, 0, 0) == before) state.SkipWithError("translucent rectfill drew nothing");
    for (auto _ : state) {
        rectfill(page.b, 0, 0, kW - 1, kH - 1, red(depth));
        benchmark::ClobberMemory();
    }
    solid_mode();
    count_pixels(state, depth);
}
BENCHMARK_TEMPLATE(BM_LibraryRectfill, set_trans_blender)->Name("BM_LibraryTransRectfill")->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_LibraryRectfill, set_add_blender)->Name("BM_LibraryAddRectfill")->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

// The memory's own limit: copying the whole page to another.
void BM_Blit(benchmark::State& state) {
    const int depth = int(state.range(0));
    Page src(depth), dst(depth);
    for (auto _ : state) {
        blit(src.b, dst.b, 0, 0, 0, 0, kW, kH);
        benchmark::ClobberMemory();
    }
    count_pixels(state, depth);
}
BENCHMARK(BM_Blit)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

// The entry points with one implementation forced: args are depth and BlendImpl.
template <void (*Fill)(BITMAP*, int, int, int, int, int, int)>
void BM_Fill(benchmark::State& state) {
    const int depth = int(state.range(0));
    const BlendImpl impl = BlendImpl(state.range(1));
    const BlendImpl saved = blend_impl();
    if (!set_blend_impl(impl)) {
        state.SkipWithError("processor lacks this implementation");
        return;
    }
    state.SetLabel(blend_impl_name(impl));
    Page page(depth);
    for (auto _ : state) {
        Fill(page.b, 0, 0, kW, kH, red(depth), kFactor);
        benchmark::ClobberMemory();
    }
    set_blend_impl(saved);
    count_pixels(state, depth);
}

void fill_args(benchmark::internal::Benchmark* b) {
    for (int depth : {16, 32})
        for (int impl : {BLEND_PLAIN, BLEND_SSE2, BLEND_AVX2}) b->Args({depth, impl});
    b->Unit(benchmark::kMicrosecond);
}
BENCHMARK_TEMPLATE(BM_Fill, blend_rect_trans)->Name("BM_BlendRectTrans")->Apply(fill_args);
BENCHMARK_TEMPLATE(BM_Fill, blend_rect_add)->Name("BM_BlendRectAdd")->Apply(fill_args);

}  // namespace
