// The verbs of each rpgtool area; main.cpp dispatches "rpgtool <area> <verb>" to them.
#pragma once

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
