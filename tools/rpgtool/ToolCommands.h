// The verbs of each rpgtool area; main.cpp dispatches "rpgtool <area> <verb>" to them.
#pragma once

#include <map>
#include <string>
#include <vector>

// "rpgtool map <verb> ...": build, export, dump, render. Returns the exit status (0 done, 1 failed, 2 usage).
int run_map_command(const std::vector<std::string>& args);

// The usage lines of the map verbs.
extern const char* const MAP_COMMAND_USAGE;

// "rpgtool save dump FILE": the saved game as JSON. Returns the exit status (0 done, 1 failed, 2 usage).
int run_save_command(const std::vector<std::string>& args);

// The usage lines of the save verbs.
extern const char* const SAVE_COMMAND_USAGE;

// "rpgtool check DATA_DIR": lints the whole content. Returns 0 when it is whole, 1 when it has
// problems (listed one a line on standard output) or the folder cannot be read, 2 usage.
int run_check_command(const std::vector<std::string>& args);

// The usage lines of the check.
extern const char* const CHECK_COMMAND_USAGE;

// A command line's words and options, wherever the options stand ("map dump --tiles F" and
// "map dump F --tiles" alike): "--name" alone, or "--name VALUE" for the names that take a
// value; "--" makes every later argument a word.
struct ToolArgs {
    std::vector<std::string> words;
    std::map<std::string, std::string> options;  // name (with its dashes) -> value, "" for a flag
    std::string error;                           // an unknown or repeated option, or a missing value
};
// Splits args; flags and with_value list the options the area knows. Used by each area's verbs.
ToolArgs split_tool_args(const std::vector<std::string>& args, const std::vector<std::string>& flags,
                         const std::vector<std::string>& with_value);
