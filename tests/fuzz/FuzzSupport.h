// Shared set-up of the fuzz targets: the library without a display and a host that shows nothing.
#pragma once

#include <allegro.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "Host.h"

// Swallows message boxes (a loader's complaint per bad input would drown the fuzzer's output)
// and turns anything that would wait or end the process into an abort the fuzzer reports.
class CFuzzHost : public CHost {
public:
    int messages = 0;  // message boxes the code under test showed
    bool KeyDown(int) override { return false; }
    void Idle() override { abort(); }  // a parser must not wait for ticks
    void ForgetKeys() override {}
    void FlushKeyBuffer() override {}
    int ReadKey() override { abort(); }
    void Pause(int) override {}
    void Message(const std::string&) override { ++messages; }
    int Alert(const std::string&, const std::string&, const std::string&, const std::string&,
              const std::string&) override { abort(); }
    [[noreturn]] void Exit(int) override { abort(); }
    void StartTimers(int) override {}
};

// Brings the library up without a display once and installs the quiet host. Call at the top of
// LLVMFuzzerTestOneInput (or from LLVMFuzzerInitialize).
inline CFuzzHost& fuzz_setup() {
    static CFuzzHost quiet;
    static bool ready = false;
    if (!ready) {
        if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) abort();
        set_color_depth(16);
        ready = true;
    }
    host = &quiet;
    return quiet;
}
