// The host of the command-line tools: messages go to standard error, never into a message box.
#pragma once

#include "Host.h"

// Installed by rpgtool before any game code runs; there is no keyboard and no time to wait for.
class CToolHost : public CHost {
public:
    int messages = 0;  // messages written so far (the tools use it to tell a clean load from one with warnings)
    bool KeyDown(int) override { return false; }
    void Idle() override {}
    void ForgetKeys() override {}
    void FlushKeyBuffer() override {}
    int ReadKey() override { return 0; }
    void Pause(int) override {}
    void Message(const std::string& text) override;
    int Alert(const std::string& line1, const std::string& line2, const std::string& line3, const std::string& button1,
              const std::string& button2) override;
    [[noreturn]] void Exit(int status) override;
};
