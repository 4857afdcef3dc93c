// Case-insensitive lookup of data files and the loaders built on it.
#include "DataFiles.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

std::string file_name_part(const std::string& path) {
    size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string resolve_data_path(const std::string& path) {
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) == 0) return path;
    size_t cut = path.find_last_of('/');
    std::string dir = cut == std::string::npos ? "." : path.substr(0, cut);
    std::string base = cut == std::string::npos ? path : path.substr(cut + 1);
    if (dir.empty()) dir = "/";
    DIR* d = opendir(dir.c_str());
    if (!d) return path;
    std::string found = path;
    while (dirent* e = readdir(d)) {
        if (strcasecmp(e->d_name, base.c_str()) == 0) {
            found = (cut == std::string::npos ? std::string() : path.substr(0, cut + 1)) + e->d_name;
            break;
        }
    }
    closedir(d);
    return found;
}

FILE* open_data_file(const std::string& path, const char* mode) {
    return fopen(resolve_data_path(path).c_str(), mode);
}

BITMAP* load_data_bitmap(const std::string& path) {
    return load_bitmap(resolve_data_path(path).c_str(), nullptr);
}

MIDI* load_data_midi(const std::string& path) { return load_midi(resolve_data_path(path).c_str()); }

SAMPLE* load_data_sample(const std::string& path) { return load_sample(resolve_data_path(path).c_str()); }
