// Shared set-up of the fuzz targets: the library without a display and a host that shows nothing.
#pragma once

#include <allegro.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "Host.h"

// A property every input must keep; a broken one is a finding.
inline void fuzz_check(bool ok) {
    if (!ok) abort();
}

// Counts message boxes instead of showing them (a loader's complaint per bad input would
// drown the fuzzer's output) and turns anything that would wait or end the process into an
// abort the fuzzer reports.
class CFuzzHost : public CQuietHost {
public:
    void Idle() override { abort(); }  // a parser must not wait for ticks
    int ReadKey() override { abort(); }
    int Alert(const std::string&, const std::string&, const std::string&, const std::string&,
              const std::string&) override { abort(); }
    [[noreturn]] void Exit(int) override { abort(); }
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
