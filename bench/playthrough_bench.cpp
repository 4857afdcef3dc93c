// The automated playthrough: how long the whole story takes when played by rpg_playthrough (goal:
// a few minutes), and how much memory it holds.
//
// Runs the built rpg_playthrough with its default seed on the build's data/ in a throw-away folder,
// once, and reads the child's processor time and peak resident memory from the system. Reports
// the wall time (the time column), `cpu_s`, `max_rss_kB` and `ticks` (logic ticks played, each
// 1/60 s of game time), and `ticks_per_cpu_s`. Needs no display.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void BM_Playthrough(benchmark::State& state) {
    char tmpl[] = "/tmp/rpg_playthrough_bench.XXXXXX";
    if (!mkdtemp(tmpl)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string dir = tmpl, out = dir + "/out.txt";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            FILE* f = freopen(out.c_str(), "w", stdout);
            (void)f;
            execl(RPG_PLAYTHROUGH_PATH, "rpg_playthrough", "--data", RPG_DATA_PATH, "--dir", (dir + "/run").c_str(),
                  "--shot", (dir + "/last.bmp").c_str(), (char*)nullptr);
            _exit(127);
        }
        int status = 0;
        struct rusage use {};
        if (pid < 0 || wait4(pid, &status, 0, &use) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the playthrough failed");
            break;
        }
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(wall);
        const double cpu = (double)use.ru_utime.tv_sec + use.ru_utime.tv_usec / 1e6 + (double)use.ru_stime.tv_sec +
                           use.ru_stime.tv_usec / 1e6;
        long long ticks = 0;
        if (FILE* f = fopen(out.c_str(), "r")) {
            char line[512];
            while (fgets(line, sizeof line, f))
                if (const char* at = strstr(line, "after ")) ticks = atoll(at + 6);
            fclose(f);
        }
        state.counters["cpu_s"] = cpu;
        state.counters["max_rss_kB"] = (double)use.ru_maxrss;
        state.counters["ticks"] = (double)ticks;
        state.counters["ticks_per_cpu_s"] = cpu > 0 ? (double)ticks / cpu : 0;
    }
    const int rc = system(("rm -rf '" + dir + "'").c_str());
    (void)rc;
}
BENCHMARK(BM_Playthrough)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
