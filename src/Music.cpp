// The field playlist: one table of song files, read once and kept for the whole run.
#include "Music.h"

#include "DataFiles.h"

namespace {

// Index 0 is silence.
const char* const SONG_FILES[FIELD_SONGS + 1] = {
    nullptr,
    "./data/music/space.mid",
    "./data/music/spacewalkbiatch.mid",
    "./data/music/dark.mid",
    "./data/music/dark2.mid",
    "./data/music/knightsrevenge.mid",
    "./data/music/inprog.mid",
    "./data/music/stringscool.mid",
    "./data/music/tribalbeat.mid",
};

MIDI* songs[FIELD_SONGS + 1];
bool songs_read = false;

}  // namespace

const char* field_song_file(int n) { return n >= 1 && n <= FIELD_SONGS ? SONG_FILES[n] : nullptr; }

std::string load_field_songs() {
    if (!songs_read) {
        for (int i = 1; i <= FIELD_SONGS; ++i) songs[i] = load_data_midi(SONG_FILES[i]);
        songs_read = true;
    }
    std::string missing;
    for (int i = 1; i <= FIELD_SONGS; ++i)
        if (!songs[i]) missing += std::string("\n  ") + SONG_FILES[i];
    return missing;
}

MIDI* field_song(int n) { return n >= 1 && n <= FIELD_SONGS ? songs[n] : nullptr; }
