// Music set-up: where the library's software MIDI synth finds its instrument patches.
#pragma once

#include <string>

// Points the library's MIDI player at the patch index "default.cfg" in the data folder (the
// build writes it from the installed freepats) when that file exists, through the library's
// override configuration, so no allegro.cfg is read for it or written. Must run before
// install_sound; CDisplay::CreateWindows calls it. Returns true when the index was found;
// without it the game still runs, the songs are just not heard.
bool configure_midi_patches(const std::string& data_dir = "./data/");
