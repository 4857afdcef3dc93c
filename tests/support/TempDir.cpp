// A throw-away folder for one test, and whole-file read and write helpers.
#include "TempDir.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

TempDir::TempDir(Use use) {
    char tmpl[] = "/tmp/rpgtest.XXXXXX";
    if (!mkdtemp(tmpl)) throw std::runtime_error("cannot make a temporary folder");
    dir_ = tmpl;
    if (use == AS_GAME_FOLDER) {
        char buf[4096];
        if (!getcwd(buf, sizeof buf)) throw std::runtime_error("cannot read the working folder");
        if (chdir(dir_.c_str()) != 0) throw std::runtime_error("cannot enter " + dir_);
        old_cwd_ = buf;
        mkdir("data", 0755);
        mkdir("data/music", 0755);
    }
}

TempDir::~TempDir() {
    if (!old_cwd_.empty() && chdir(old_cwd_.c_str()) != 0) perror(old_cwd_.c_str());
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);  // a leftover folder must not fail the test
}

std::string TempDir::path(const std::string& name) const { return dir_ + "/" + name; }

std::string read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), (std::streamsize)bytes.size());
    f.close();
    if (!f) ADD_FAILURE() << "cannot write " << path;
}
