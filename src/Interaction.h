// Dialogue boxes: every line the game says to the player.
#pragma once

#include <allegro.h>
#include <string>

// Frame image of the dialogue box, loaded at start-up from "./data/text.bmp".
extern BITMAP* text_box;

// When set, told the speaker and text of every box as it opens (tests read the game's words through it).
extern void (*talk_watch)(const std::string& from, const std::string& msg);

// Shows msg with the speaker name and waits for SPACE.
void Talk(std::string from, std::string msg);
// Formats like printf (cut to 254 characters) and shows it like Talk.
void Talkf(std::string from, std::string fmt, ...);
// Draws the same box, waits for SPACE and returns the screen for a choice menu.
BITMAP* Talk(std::string from, std::string msg, bool yesno);
