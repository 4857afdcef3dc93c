// rpg_playthrough: plays the whole story from the title screen to the end picture on the built data/, pressing only player keys.
#include <allegro.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "BotHost.h"
#include "CDisplay.h"
#include "CMain.h"
#include "Interaction.h"
#include "PlayBot.h"
#include "Rolls.h"
#include "Route.h"
#include "Timing.h"

#ifndef RPG_ROUTE_FILE
#define RPG_ROUTE_FILE "content/route.txt"
#endif

namespace {

// The seed a run takes unless told another.
constexpr unsigned int DEFAULT_SEED = 20240601;
// Ticks a whole run may take (about 14 hours of play at 60 ticks a second) and one goal.
constexpr long long RUN_TICKS = 3000000;
constexpr long long GOAL_TICKS = 400000;

struct Args {
    unsigned int seed = DEFAULT_SEED;
    std::string route = RPG_ROUTE_FILE;
    std::string data = "data";
    std::string dir = "playthrough-run";
    std::string shot = "playthrough-last.bmp";
    std::string pictures;
    bool verbose = false;
};

[[noreturn]] void usage(const char* why) {
    fprintf(stderr,
            "rpg_playthrough: %s\n"
            "usage: rpg_playthrough [--seed N] [--route FILE] [--data DIR] [--dir DIR] [--shot FILE.bmp] [--pictures DIR] [--verbose]\n"
            "  plays the story of DIR/data (a link to --data, default ./data) along the route; the game's\n"
            "  saved game goes to DIR (default playthrough-run), the last screen of a failed run to --shot;\n"
            "  --pictures keeps the first screen of each kind in each act there (actN-KIND.bmp)\n",
            why);
    exit(2);
}

Args read_args(int argc, char** argv) {
    Args a;
    for (int i = 1; i < argc; ++i) {
        const std::string k = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) usage(("missing value after " + k).c_str());
            return argv[++i];
        };
        if (k == "--seed") {
            const std::string v = value();
            char* end = nullptr;
            const unsigned long s = strtoul(v.c_str(), &end, 10);
            if (v.empty() || *end || s > UINT_MAX) usage(("not a seed: " + v).c_str());
            a.seed = (unsigned int)s;
        } else if (k == "--route") {
            a.route = value();
        } else if (k == "--data") {
            a.data = value();
        } else if (k == "--dir") {
            a.dir = value();
        } else if (k == "--shot") {
            a.shot = value();
        } else if (k == "--pictures") {
            a.pictures = value();
        } else if (k == "--verbose") {
            a.verbose = true;
        } else {
            usage(("unknown argument " + k).c_str());
        }
    }
    return a;
}

std::string absolute(const std::string& path) {
    if (!path.empty() && path[0] == '/') return path;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return path;
    return std::string(cwd) + "/" + path;
}

// The run's own folder: the game writes its saved game there and reads ./data through a link.
void enter_run_folder(const Args& a) {
    const std::string data = absolute(a.data);
    if (mkdir(a.dir.c_str(), 0755) != 0 && errno != EEXIST) {
        fprintf(stderr, "rpg_playthrough: cannot make %s: %s\n", a.dir.c_str(), strerror(errno));
        exit(2);
    }
    const std::string link = a.dir + "/data";
    unlink(link.c_str());
    if (symlink(data.c_str(), link.c_str()) != 0 || chdir(a.dir.c_str()) != 0) {
        fprintf(stderr, "rpg_playthrough: cannot use %s for the run: %s\n", a.dir.c_str(), strerror(errno));
        exit(2);
    }
    unlink("player.sav");  // every run starts without a saved game
}

// The library without a display, a memory screen of the game's size and the two pages.
void start_library() {
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        fprintf(stderr, "rpg_playthrough: the library did not start\n");
        exit(2);
    }
    set_color_depth(GAME_DEPTH);
    // The packing of a 16-bit X display, so that colours come out as in play.
    _rgb_r_shift_16 = 11;
    _rgb_g_shift_16 = 5;
    _rgb_b_shift_16 = 0;
    screen = create_bitmap_ex(GAME_DEPTH, GAME_W, GAME_H);
    clear_bitmap(screen);
    Display.CreatePages(GAME_W, GAME_H);
}

// The pages again after the game was quit (Shutdown destroyed one), as a new start makes them.
void remake_pages() {
    for (int i = 0; i < 2; ++i)
        if (Display.vscreen[i]) destroy_bitmap(Display.vscreen[i]);
    Display.vscreen[0] = Display.vscreen[1] = Display.vscreen[2] = nullptr;
    Display.CreatePages(GAME_W, GAME_H);
    App.done = false;
}

CPlayBot* listener = nullptr;
void heard(const std::string& from, const std::string& msg) {
    if (listener) listener->Heard(from, msg);
}

int fail(const CPlayBot& bot, const std::string& why, const std::string& shot) {
    fprintf(stderr, "playthrough FAILED: %s\n  at %s\n", why.c_str(), bot.Where().c_str());
    if (screen && save_bitmap(shot.c_str(), screen, nullptr) == 0)
        fprintf(stderr, "  the last screen is in %s\n", shot.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const Args args = read_args(argc, argv);
    Route route;
    std::string error;
    if (!read_route(args.route, route, error)) {
        fprintf(stderr, "rpg_playthrough: %s\n", error.c_str());
        return 2;
    }
    const std::string shot = absolute(args.shot);
    const std::string pictures = args.pictures.empty() ? "" : absolute(args.pictures);
    enter_run_folder(args);
    start_library();

    CBotHost bot_host(RUN_TICKS);
    CAtlas atlas("./data/");
    PlayOptions options;
    options.verbose = args.verbose;
    options.pictures = pictures;
    options.goal_ticks = GOAL_TICKS;
    CPlayBot bot(route, bot_host, atlas, options);
    bot_host.SetMind(&bot);
    host = &bot_host;
    listener = &bot;
    talk_watch = heard;
    printf("playthrough: seed %u, route %s\n", args.seed, args.route.c_str());

    // What the game's own start does, with the seed given and no window: the clock, start-up,
    // the title screen and the field. Quitting to start again goes round once more.
    seed_rolls(args.seed);
    try {
        SetTimers();
        StartUp();
        for (;;) {
            try {
                App.Menu();
                FieldLoop();
            } catch (const GameExit& e) {
                if (bot.TakeRestart()) {
                    printf("   the game was quit; starting it again\n");
                    remake_pages();
                    continue;
                }
                if (e.status != 0) return fail(bot, "the game ended with status " + std::to_string(e.status), shot);
                if (!bot.AtEnd()) return fail(bot, "the game ended before the story did", shot);
                bot.ReportLastAct();
                printf("playthrough: the end picture was shown and the game closed with status 0 after %lld ticks\n",
                       bot_host.Ticks());
                return 0;
            }
        }
    } catch (const PlayStop& s) {
        return fail(bot, s.reason, shot);
    }
}
