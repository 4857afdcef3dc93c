// Small helpers of the map tests: a host that records messages, a temporary folder, file I/O and a stand-in screen.
#pragma once

#include <allegro.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "Host.h"

// Swapped in for the library host while it lives: message boxes are recorded, never shown.
class QuietHost : public CHost {
public:
    std::vector<std::string> messages;
    QuietHost() : old_(host) { host = this; }
    ~QuietHost() override { host = old_; }
    bool KeyDown(int) override { return false; }
    void Idle() override {}
    void ForgetKeys() override {}
    void FlushKeyBuffer() override {}
    int ReadKey() override { return 0; }
    void Pause(int) override {}
    void Message(const std::string& text) override { messages.push_back(text); }
    int Alert(const std::string&, const std::string&, const std::string&, const std::string&,
              const std::string&) override {
        return 1;
    }
    [[noreturn]] void Exit(int) override { throw std::runtime_error("Exit called"); }

private:
    CHost* old_;
};

// A fresh folder under /tmp, removed with its files at the end of the test.
class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/rpgmaps.XXXXXX";
        char* d = mkdtemp(tmpl);
        dir_ = d ? d : "/tmp";
    }
    ~TempDir() {
        std::string cmd = "rm -rf '" + dir_ + "'";
        if (dir_ != "/tmp" && system(cmd.c_str()) != 0) {}
    }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

private:
    std::string dir_;
};

inline std::string read_file(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline void write_file(const std::string& p, const std::string& bytes) {
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), (std::streamsize)bytes.size());
}

// A memory bitmap standing in for the screen while it lives (screen_w/screen_h read it).
class ScreenStandIn {
public:
    ScreenStandIn(int w, int h) : old_(screen) { screen = create_bitmap(w, h); }
    ~ScreenStandIn() {
        destroy_bitmap(screen);
        screen = old_;
    }

private:
    BITMAP* old_;
};
