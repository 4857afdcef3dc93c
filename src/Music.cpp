// The field playlist, read once and kept for the whole run, and the rules of what plays when.
#include "Music.h"

#include "DataFiles.h"
#include "Host.h"
#include "Rolls.h"

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

// The song started last and whether it loops; heard only while the host still plays it.
int started_song = 0;
bool started_looped = false;

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

void play_song(int n, bool looped) {
    if (n < 1 || n > FIELD_SONGS) return;
    host->PlaySong(n, looped);
    started_song = n;
    started_looped = looped;
}

void stop_song() {
    host->StopSong();
    started_song = 0;
    started_looped = false;
}

int song_heard(bool* looped) {
    const int n = host->SongPlaying() ? started_song : 0;
    if (looped) *looped = n != 0 && started_looped;
    return n;
}

void playlist_tick() {
    if (song_heard() != 0) return;
    // Drawn on every tick of silence, so a roll of 0 delays the next song by one tick only.
    play_song(roll(FIELD_SONGS + 1), false);
}

int map_own_tune(const std::string& map_name) {
    for (const OwnTune& t : OWN_TUNES)
        if (map_name == t.map_name) return t.song;
    return 0;
}

void music_for_map(const std::string& map_name) {
    bool looped = false;
    const int heard = song_heard(&looped);
    if (const int own = map_own_tune(map_name)) {
        // Coming back from the same map's battle, or from another map of the same tune, the
        // tune goes on rather than starting over.
        if (heard != own || !looped) play_song(own, true);
    } else if (looped) {
        // A map's own tune never ends by itself: leaving the map ends it.
        stop_song();
    }
}
