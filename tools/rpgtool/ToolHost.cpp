// The tools' host: every message the game code shows is printed on standard error.
#include "ToolHost.h"

#include <cstdio>

void CToolHost::Message(const std::string& text) {
    CQuietHost::Message(text);
    fprintf(stderr, "rpgtool: %s\n", text.c_str());
}

int CToolHost::Alert(const std::string& line1, const std::string& line2, const std::string& line3, const std::string&,
                     const std::string&) {
    fprintf(stderr, "rpgtool: %s %s %s\n", line1.c_str(), line2.c_str(), line3.c_str());
    return 1;
}
