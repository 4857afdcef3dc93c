// Costs of saving and loading the game: the whole LoadGame and SaveGame (with and without the
// flush to disk), and the codec alone, on a full save (every slot, battle and name filled).
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "CCine.h"
#include "CMap.h"
#include "CPlayer.h"
#include "Host.h"
#include "Quests.h"
#include "SaveGame.h"

namespace {

void write_text(const std::string& path, const std::string& text) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f || fwrite(text.data(), 1, text.size(), f) != text.size() || fclose(f) != 0) abort();
}

// Fills both members, the scenes, the quest word and 40 opened chests as a late game has them.
void fill_state() {
    for (CPlayer& p : player) {
        p.x = 600, p.y = 400, p.facing = 3;
        for (int k = 0; k < EQUIP_SLOTS; ++k) p.equip[k] = {k + 1, "Worn-Thing-" + std::to_string(k)};
        for (int k = 0; k < INV_SLOTS; ++k) {
            p.inv[k].id = k + 1;
            p.inv[k].name = "Carried-Item-" + std::to_string(k);
            p.inv[k].damage = k;
        }
        p.won_battles.assign(25, "");
        for (int k = 0; k < 25; ++k) p.won_battles[k] = "battle_number_" + std::to_string(k) + ".map";
    }
    cine.played.assign(20, true);
    quest.flags = 0x7FFFFF;
    player[0].event_checks.assign(41, CEventCheck());
    for (int k = 0; k < 40; ++k) player[0].event_checks[k] = {"dungeon_level_" + std::to_string(k % 5) + ".map", k + 1, k};
}

// A game folder in /tmp with a 64 x 64 town of 3 layers (40 events, 20 NPCs), the item and NPC
// lists, and a full save of it. Made once; the benchmarks work inside it.
const std::string& game_folder() {
    static std::string dir;
    if (!dir.empty()) return dir;
    char tmpl[] = "/tmp/rpgsavebench.XXXXXX";
    if (!mkdtemp(tmpl)) abort();
    dir = tmpl;
    if (chdir(dir.c_str()) != 0 || mkdir("data", 0755) != 0) abort();
    CQuietHost quiet;
    CHost* old = host;
    host = &quiet;
    CMap town;
    town.InitMap(64, 64, 16, 16, 3);
    town.events.resize(40);
    for (CEvent& e : town.events) e.text = "A sign by the road, with words worn by the rain of many years.";
    town.npcs.resize(20);
    town.num_events = 40;
    town.num_npcs = 20;
    if (town.SaveMap("data/town.map") != 0) abort();
    std::string items, npcs;
    for (int i = 0; i < MAX_ITEMS; ++i) items += "Item-" + std::to_string(i) + " 4 3 2 100\n";
    for (int i = 1; i <= 15; ++i)
        npcs += std::to_string(i) + "\nVillager " + std::to_string(i) + "\n" + std::string(200, 't') + "\nyesno\n" +
                std::string(60, 'y') + "\n" + std::string(60, 'n') + "\n4096\n0\n" + std::string(100, 'd') + "\n";
    write_text("data/equip.txt", items);
    write_text("data/npcs.txt", npcs);
    if (map.LoadMap("./data/town.map") != 0) abort();
    fill_state();
    std::string problem;
    if (!save_game_to(SAVE_FILE, false, problem)) abort();
    host = old;
    return dir;
}

// Runs a benchmark inside the game folder with a quiet host, and puts both back afterwards.
class InGameFolder {
public:
    InGameFolder() {
        if (!getcwd(old_dir_, sizeof old_dir_)) abort();
        if (chdir(game_folder().c_str()) != 0) abort();
        old_host_ = host;
        host = &quiet_;
    }
    ~InGameFolder() {
        host = old_host_;
        if (chdir(old_dir_) != 0) perror(old_dir_);
    }

private:
    char old_dir_[4096];
    CHost* old_host_;
    CQuietHost quiet_;
};

void BM_LoadGame_FullSave(benchmark::State& state) {
    InGameFolder here;
    std::string problem;
    for (auto _ : state)
        if (!LoadGame(problem)) state.SkipWithError(problem.c_str());
}
BENCHMARK(BM_LoadGame_FullSave)->Unit(benchmark::kMicrosecond);

void BM_SaveGame_FullSave_Flushed(benchmark::State& state) {
    InGameFolder here;
    fill_state();
    std::string problem;
    for (auto _ : state)
        if (!SaveGame(problem)) state.SkipWithError(problem.c_str());
}
BENCHMARK(BM_SaveGame_FullSave_Flushed)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_SaveGame_FullSave_NoFlush(benchmark::State& state) {
    InGameFolder here;
    fill_state();
    std::string problem;
    for (auto _ : state)
        if (!save_game_to(SAVE_FILE, false, problem)) state.SkipWithError(problem.c_str());
}
BENCHMARK(BM_SaveGame_FullSave_NoFlush)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_DecodeSave_FullSave(benchmark::State& state) {
    InGameFolder here;
    fill_state();
    const std::string bytes = encode_save(gather_saved_game());
    SavedGame s;
    std::string problem;
    for (auto _ : state)
        if (!decode_save((const unsigned char*)bytes.data(), bytes.size(), s, problem))
            state.SkipWithError(problem.c_str());
}
BENCHMARK(BM_DecodeSave_FullSave)->Unit(benchmark::kMicrosecond);

void BM_EncodeSave_FullSave(benchmark::State& state) {
    InGameFolder here;
    fill_state();
    for (auto _ : state) benchmark::DoNotOptimize(encode_save(gather_saved_game()).size());
}
BENCHMARK(BM_EncodeSave_FullSave)->Unit(benchmark::kMicrosecond);

}  // namespace
