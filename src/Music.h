// The field playlist: the songs heard on the field, under the title and in battle, read once for the whole run.
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
