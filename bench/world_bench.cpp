// Costs of one field frame (map window, NPCs, hero, page copy) and of one walking tick by map size.
#include <allegro.h>
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "CDisplay.h"
#include "CMap.h"
#include "CPlayer.h"
#include "bench_pages.h"

// A w x h map with both layers filled (overlay on every `overlay_every`-th cell) and n NPCs.
static void bench_map(CMap& m, unsigned int w, unsigned int h, int overlay_every, int npcs) {
    m = CMap();
    m.InitMap(w, h, 16, 16, 2);
    m.tileset = bench_sheet();
    m.spriteset = bench_sheet();
    for (unsigned int r = 0; r < h; ++r)
        for (unsigned int c = 0; c < w; ++c) {
            m.tiles[0][r][c].tile = (int)((r * 7 + c) % 256 + 1);
            if ((r * w + c) % (unsigned)overlay_every == 0) m.tiles[1][r][c].tile = (int)((r + c) % 256 + 1);
        }
    srand(99);
    for (int i = 0; i < npcs; ++i) {
        CNpc n;
        n.x = 320 + (unsigned)(rand() % 600);
        n.y = 240 + (unsigned)(rand() % 440);
        n.sprite = (unsigned char)(rand() % 8);
        n.frame = (unsigned char)(rand() % 2);
        m.npcs.push_back(n);
    }
    m.num_npcs = m.npcs.size();
}

// One field frame as the loop draws it: ground and overlay window, NPCs, the hero, the
// status line, and the page copied to the screen. Argument: overlay on every n-th cell.
static void BM_FieldFrame(benchmark::State& state) {
    ensure_pages();
    bench_map(map, 100, 100, (int)state.range(0), 20);
    CPlayer& hero = player[0];
    hero.sprite = bench_sheet();
    hero.x = 653;
    hero.y = 462;
    hero.UpdateMovement();  // an unaligned view: 42 x 32 cells touched
    for (auto _ : state) {
        BITMAP* page = Display.GetSurface();
        map.DrawMap(0, hero.scroll_x, hero.scroll_y);
        map.DrawObjects(0, hero.scroll_x, hero.scroll_y);
        masked_blit(hero.sprite, page, 16 * hero.frame, 16 * hero.facing, hero.x - hero.scroll_x,
                    hero.y - hero.scroll_y, 16, 16);
        textprintf_ex(page, font, 0, 0, makecol(255, 0, 0), -1, "%d fps %d", 0, 60);
        Display.ShowPage();
    }
}
BENCHMARK(BM_FieldFrame)->Arg(1)->Arg(8)->Unit(benchmark::kMicrosecond);

// One walking tick of the field loop (portal check, one-pixel step, event check) on a map of
// the given side; the hero paces back and forth across an open stretch.
static void BM_WalkTick(benchmark::State& state) {
    ensure_pages();
    unsigned int side_w = (unsigned)state.range(0), side_h = (unsigned)state.range(1);
    bench_map(map, side_w, side_h, 4, 20);
    for (int i = 0; i < 8; ++i) {
        CPortal p;
        p.x = 16 * i;
        p.y = 0;
        map.portals.push_back(p);
        CEvent e;
        e.x = i;
        e.y = 1;
        e.type = EV_STEP_MESSAGE;
        e.done = true;
        map.events.push_back(e);
    }
    map.num_portals = map.portals.size();
    map.num_events = map.events.size();
    CPlayer& hero = player[0];
    hero.x = 48;
    hero.y = 96;
    int dir = 3;
    for (auto _ : state) {
        map.CheckPortals(hero);
        hero.Move(map, dir);
        map.CheckEvents(hero);
        if (hero.x >= 200) dir = 4;
        if (hero.x <= 48) dir = 3;
    }
}
BENCHMARK(BM_WalkTick)->Args({20, 15})->Args({256, 256})->Unit(benchmark::kNanosecond);

// What a step cost when the map was handed over by value: the copy alone, for comparison.
static void BM_MapCopy(benchmark::State& state) {
    CMap m;
    bench_map(m, (unsigned)state.range(0), (unsigned)state.range(1), 4, 20);
    for (auto _ : state) {
        CMap copy(m);
        benchmark::DoNotOptimize(copy.tiles.data());
    }
}
BENCHMARK(BM_MapCopy)->Args({20, 15})->Args({256, 256})->Unit(benchmark::kMicrosecond);
