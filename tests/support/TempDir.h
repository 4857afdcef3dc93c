// A throw-away folder for one test, and whole-file read and write helpers.
#pragma once

#include <string>

// A fresh folder under /tmp, removed with its contents at the end. AS_GAME_FOLDER also makes
// it the working folder, with data/ and data/music/, until then.
class TempDir {
public:
    enum Use { JUST_A_FOLDER, AS_GAME_FOLDER };
    explicit TempDir(Use use = JUST_A_FOLDER);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string path(const std::string& name) const;

private:
    std::string dir_;
    std::string old_cwd_;
};

std::string read_file(const std::string& path);  // "" for a missing file
void write_file(const std::string& path, const std::string& bytes);
