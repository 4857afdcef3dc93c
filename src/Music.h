// The field playlist and the game's music rules: which song plays on the field, on entering a map and under the title.
#pragma once

#include <allegro.h>

#include <string>

// Songs of the playlist are numbered 1 to FIELD_SONGS; 0 stands for silence.
constexpr int FIELD_SONGS = 8;
// The playlist song that plays under the title screen (and on Vorrand's maps).
constexpr int SONG_KNIGHTS = 5;
// The playlist song of the orc village.
constexpr int SONG_TRIBAL = 8;

// File of playlist song n (1 to FIELD_SONGS); nullptr for any other n.
const char* field_song_file(int n);

// Reads the playlist the first time it is called (later calls read nothing again) and returns
// the files that could not be read, each as "\n  path" ("" when all are there). Called by
// StartUp, which names the missing ones, and by whoever needs a song before it.
std::string load_field_songs();

// Playlist song n once loaded; nullptr for silence, a song that failed to load or an n out of range.
MIDI* field_song(int n);

// How the music goes
// ------------------
// - Songs of the playlist play once each. On a field tick with nothing heard, one roll in nine
//   stays silent and the others start that song (playlist_tick).
// - Going through a door lets the song heard go on. A map with a tune of its own (map_own_tune)
//   starts that tune looped as it is entered, unless it is heard already; leaving it for a map
//   without one ends the tune, and the playlist takes over on the next field tick (music_for_map).
// Every song starts and stops through play_song and stop_song, which go to host->PlaySong /
// host->StopSong, so the tests record what the playlist asked for.

// Starts playlist song n (1 to FIELD_SONGS) looped or once, cutting whatever plays; any other n
// does nothing. Called by the rules below and start-up (the title song); a song started past it
// would not be known to song_heard.
void play_song(int n, bool looped);
// Ends the music. Called by music_for_map.
void stop_song();
// The playlist song heard now (0 when none: a song played once ends by itself); *looped, when
// given, says whether it loops.
int song_heard(bool* looped = nullptr);
// One field tick of music: with nothing heard, a roll of 0 to 8 starts that song once (0 stays
// silent until the next tick). Called by every field tick; a battle that wants music picks it the same way.
void playlist_tick();
// A map with a tune of its own: the map's name, compared exactly (letter case too), and its song.
struct OwnTune {
    const char* map_name;
    int song;
};
// The maps with a tune of their own; the content check holds the maps' spelling to these names.
constexpr OwnTune OWN_TUNES[] = {{"orcvillage.MAP", SONG_TRIBAL}, {"vorrand.MAP", SONG_KNIGHTS}};
// The tune a map of this name has of its own (OWN_TUNES), 0 for every other map.
int map_own_tune(const std::string& map_name);
// Settles the music for the map of this name just entered, as "How the music goes" says.
// Called by CMap::HandleMusic.
void music_for_map(const std::string& map_name);
