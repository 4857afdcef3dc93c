// rpgtool: content tools on the command line, "rpgtool <area> <verb> ...". The map area lives in MapCommands.cpp,
// the save area in SaveCommands.cpp, the content check in CheckCommands.cpp.
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ToolCommands.h"
#include "ToolHost.h"

namespace {

CToolHost tool_host;

// One area of the tool and the function that runs its verbs.
struct Area {
    const char* name;
    int (*run)(const std::vector<std::string>& args);
    const char* usage;
};

const Area areas[] = {
    {"map", run_map_command, MAP_COMMAND_USAGE},
    {"save", run_save_command, SAVE_COMMAND_USAGE},
    {"check", run_check_command, CHECK_COMMAND_USAGE},
};

int usage() {
    fprintf(stderr, "usage: rpgtool <area> <verb> [arguments]\n");
    for (const Area& a : areas) fprintf(stderr, "%s", a.usage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    host = &tool_host;
    // No display: memory bitmaps, image files and text only, packed as the game's 16-bit mode.
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        fprintf(stderr, "rpgtool: the Allegro library cannot start\n");
        return 1;
    }
    set_color_depth(16);
    _rgb_r_shift_16 = 11; _rgb_g_shift_16 = 5; _rgb_b_shift_16 = 0;
    _rgb_r_shift_15 = 10; _rgb_g_shift_15 = 5; _rgb_b_shift_15 = 0;
    _rgb_r_shift_32 = 16; _rgb_g_shift_32 = 8; _rgb_b_shift_32 = 0; _rgb_a_shift_32 = 24;

    if (argc < 3) return usage();
    for (const Area& a : areas)
        if (strcmp(argv[1], a.name) == 0) return a.run(std::vector<std::string>(argv + 2, argv + argc));
    fprintf(stderr, "rpgtool: unknown area '%s'\n", argv[1]);
    return usage();
}
