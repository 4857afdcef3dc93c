// Sound set-up and effects: where the library's software MIDI synth finds its instrument patches, and sound effects played once.
#pragma once

#include <allegro.h>

#include <string>

#include "GameState.h"

// Points the library's MIDI player at the patch index "default.cfg" in the data folder (the
// build writes it from the installed freepats) when that file exists, through the library's
// override configuration, so no allegro.cfg is read for it or written. Must run before
// install_sound; CDisplay::CreateWindows calls it. Returns true when the index was found;
// without it the game still runs, the songs are just not heard.
bool configure_midi_patches(const std::string& data_dir = "./data/");

// A sound effect read from a data file, held for as long as its owner keeps it. A missing or
// unreadable file is silent: the game goes on without the sound.
class CSoundEffect {
public:
    explicit CSoundEffect(const std::string& path);
    ~CSoundEffect();
    CSoundEffect(const CSoundEffect&) = delete;
    CSoundEffect& operator=(const CSoundEffect&) = delete;

    // Plays it once (volume and pan 0 to 255, frequency 1000 as recorded) and tells sound_watch
    // the file, heard or not. Called by the shop on a purchase.
    void Play(int volume, int pan, int frequency) const;

private:
    std::string path_;
    SAMPLE* sample_ = nullptr;
};
