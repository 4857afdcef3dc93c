// The host of the command-line tools: messages go to standard error, never into a message box.
#pragma once

#include "Host.h"

// Installed by rpgtool before any game code runs; there is no keyboard and no time to wait for.
// `messages` tells the tools a clean load from one with warnings.
class CToolHost : public CQuietHost {
public:
    // Counts the message and writes it to standard error.
    void Message(const std::string& text) override;
    // Writes the question to standard error and takes the first button.
    int Alert(const std::string& line1, const std::string& line2, const std::string& line3, const std::string& button1,
              const std::string& button2) override;
};
