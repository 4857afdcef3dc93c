// Dialogue boxes: every line the game says to the player.
#pragma once

#include <allegro.h>
#include <string>

#include "GameState.h"

// Each box waits for a fresh press of SPACE on the screen kit, so the window's close button asks
// whether to quit meanwhile (NO returns to the box).

// Shows msg with the speaker name and waits for SPACE; a text of more than 360 characters goes on
// over pages of five rows, each turned by a fresh press.
void Talk(std::string from, std::string msg);
// Formats like printf (cut to 254 characters) and shows it like Talk. The format is a plain C
// string, so that the compiler checks it against the arguments. Called by the chest ("You find %s!").
void Talkf(const std::string& from, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
// Draws the same box, waits for SPACE and returns the screen for a choice menu.
BITMAP* Talk(std::string from, std::string msg, bool yesno);
