// "rpgtool check DATA_DIR": the content check on a data folder, one line per problem.
#include <cstdio>
#include <iostream>

#include "ContentCheck.h"
#include "ToolCommands.h"

const char* const CHECK_COMMAND_USAGE =
    "  rpgtool check DATA_DIR                    every problem of the maps and lists in DATA_DIR, one a line;\n"
    "                                            exit status 1 when there is any\n";

int run_check_command(const std::vector<std::string>& args) {
    ToolArgs a = split_tool_args(args, {}, {});
    if (!a.error.empty() || a.words.size() != 1) {
        fprintf(stderr, "rpgtool: %s\nusage:\n%s", a.error.empty() ? "check takes one data folder" : a.error.c_str(),
                CHECK_COMMAND_USAGE);
        return 2;
    }
    const std::string& dir = a.words[0];
    ContentSet set;
    std::string error;
    if (!load_content(dir, set, error)) {
        fprintf(stderr, "rpgtool: %s\n", error.c_str());
        return 1;
    }
    const std::vector<CheckProblem> problems = check_content(set);
    for (const CheckProblem& p : problems) std::cout << p.Text() << "\n";
    std::cout.flush();
    if (problems.empty()) {
        fprintf(stderr, "rpgtool: %s: %zu maps and the lists checked, no problems\n", dir.c_str(), set.maps.size());
        return std::cout.good() ? 0 : 1;
    }
    fprintf(stderr, "rpgtool: %s: %zu problem%s\n", dir.c_str(), problems.size(), problems.size() == 1 ? "" : "s");
    return 1;
}
