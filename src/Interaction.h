// Dialogue boxes: every line the game says to the player.
#pragma once

#include <allegro.h>
#include <string>

#include "GameState.h"

// Each box waits for a fresh press of SPACE on the screen kit, so the window's close button asks
// whether to quit meanwhile (NO returns to the box).

// Shows msg with the speaker name and waits for SPACE.
void Talk(std::string from, std::string msg);
// Formats like printf (cut to 254 characters) and shows it like Talk.
void Talkf(std::string from, std::string fmt, ...);
// Draws the same box, waits for SPACE and returns the screen for a choice menu.
BITMAP* Talk(std::string from, std::string msg, bool yesno);
