// Dialogue boxes (filled in with the dialogue's own work).
#include "Interaction.h"

BITMAP* text_box = nullptr;

void Talk(std::string, std::string) {}
void Talkf(std::string, std::string, ...) {}
BITMAP* Talk(std::string, std::string, bool) { return screen; }
