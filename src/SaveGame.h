// Saving and loading the game in play: the saved state gathered from the globals and put back.
#pragma once

#include <string>

#include "SaveFile.h"

// The saved game's file name, in the working directory.
constexpr const char* SAVE_FILE = "player.sav";

// The state the file keeps, taken from player, cine, map and quest. Used by SaveGame and the tests.
SavedGame gather_saved_game();
// SaveGame to any path; sync flushes the file to the disk before it replaces the old one.
// SaveGame calls it with SAVE_FILE and sync; the benchmarks also without.
bool save_game_to(const std::string& path, bool sync, std::string& problem);
// LoadGame from any path. Called by LoadGame and the benchmarks.
bool load_game_from(const std::string& path, std::string& problem);
