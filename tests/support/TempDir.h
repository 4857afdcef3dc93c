// A throw-away folder for one test, and whole-file read and write helpers.
#pragma once

#include <string>

// A fresh folder under /tmp, removed with everything in it when the object goes.
// With AS_GAME_FOLDER it is also the working folder while it lives, holding data/ and
// data/music/ as the game expects (relative "./data/..." paths then land in it); the
// destructor goes back to the folder the test started in.
// Invariant: the folder exists from construction to destruction.
class TempDir {
public:
    enum Use { JUST_A_FOLDER, AS_GAME_FOLDER };
    explicit TempDir(Use use = JUST_A_FOLDER);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // A path inside the folder ("" gives the folder itself, ending in '/').
    std::string path(const std::string& name) const;

private:
    std::string dir_;
    std::string old_cwd_;  // empty unless the folder was entered
};

// The whole file's bytes; "" for a missing file.
std::string read_file(const std::string& path);
// Writes bytes as the whole file; a file that cannot be written fails the running test.
void write_file(const std::string& path, const std::string& bytes);
