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

// What read_whole_file found.
enum class FileRead { OK, MISSING, FAILED };
// Reads the whole file at path (the exact name) into bytes; a file larger than max_bytes is
// refused before anything is read. On FAILED `error` says why in words ("it is a folder", ...).
FileRead read_whole_file(const std::string& path, size_t max_bytes, std::string& bytes, std::string& error);
// Writes bytes to "<path>.part" and renames it over path only once every byte is written (and,
// with sync, flushed to the disk), so path keeps its old contents whatever fails. False with
// `error` naming the file and the reason. Used by SaveGame.
bool replace_file(const std::string& path, const std::string& bytes, bool sync, std::string& error);
