// Finding and opening the game's data files whatever the letter case of their names.
#pragma once

#include <allegro.h>
#include <cstdio>
#include <string>

// The path to open for a data file: the path itself when it exists, otherwise an entry of
// the same folder whose name differs only in letter case, otherwise the path unchanged.
// Content names some files ".MAP" and loads them as ".map"; every loader goes through this.
std::string resolve_data_path(const std::string& path);

// fopen on the resolved path. Used by the map, list and saved-game readers.
FILE* open_data_file(const std::string& path, const char* mode);
// load_bitmap on the resolved path (no palette); null when missing or unreadable.
BITMAP* load_data_bitmap(const std::string& path);
// load_midi on the resolved path; null when missing or unreadable.
MIDI* load_data_midi(const std::string& path);
// load_sample on the resolved path; null when missing or unreadable.
SAMPLE* load_data_sample(const std::string& path);
// The file name part of a path: the text after the last '/' or '\\'.
std::string file_name_part(const std::string& path);
