// The library host (keys, pauses, dialogs, music and exit straight from Allegro) and the quiet host of the tools.
#include "Host.h"

#include "Music.h"
#include "Timing.h"

#include <allegro.h>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

static CLibraryHost library_host;
CHost* host = &library_host;

bool CLibraryHost::KeyDown(int scancode) {
    if (scancode <= 0 || scancode >= KEY_MAX) return false;
    if (keyboard_needs_poll()) poll_keyboard();
    return key[scancode] != 0;
}

void CLibraryHost::Idle() {
    // Nothing changes on screen until the next logic tick: rest until it is due instead of
    // drawing the same frame again and again. The bound only matters if the clock stopped.
    wait_for_tick(100);
}

void CLibraryHost::ForgetKeys() {
    remove_keyboard();
    install_keyboard();
}

void CLibraryHost::FlushKeyBuffer() { clear_keybuf(); }

int CLibraryHost::ReadKey() { return readkey(); }

void CLibraryHost::Pause(int ms) { rest(ms); }

void CLibraryHost::Message(const std::string& text) { allegro_message("%s", text.c_str()); }

int CLibraryHost::Alert(const std::string& line1, const std::string& line2, const std::string& line3,
                        const std::string& button1, const std::string& button2) {
    // The library's alert takes ESC for its second button, and the game's second button is
    // "YES" to "quit?": a second press of ESC would end the game. ESC inside the box means the
    // first, harmless button instead. Keys typed before the box opened must not answer it either.
    clear_keybuf();
    int answer = alert3(line1.c_str(), line2.c_str(), line3.c_str(), button1.c_str(), button2.c_str(), nullptr, 0, 0, 0);
    // The field asks while ESC is held: an ESC that answered the box and is still down would
    // open it again at once. Wait for its release, for two seconds at most (a stuck key).
    for (int waited = 0; waited < 2000 && KeyDown(KEY_ESC); waited += 10) rest(10);
    return answer == 2 ? 2 : 1;
}

void CLibraryHost::Exit(int status) {
    allegro_exit();
    exit(status);
}

void CLibraryHost::StartTimers(int bps) {
    LOCK_FUNCTION(increment_speed_counter);
    LOCK_FUNCTION(fps_proc);
    // Installing a callback that is already installed only changes its rate.
    if (install_int_ex(increment_speed_counter, 1193181 / bps) != 0 || install_int(fps_proc, 1000) != 0)
        show_message("Error: the game's timer could not be started; the game cannot run without it.");
}

// Without a MIDI driver the library's player would still start a timer of its own: play nothing.
static bool midi_available() { return midi_driver && midi_driver->id != MIDI_NONE; }

void CLibraryHost::PlaySong(int n, bool looped) {
    // The playlist is read on the first song asked for, if start-up has not read it yet; a song
    // that failed to load is simply not heard.
    if (midi_available()) load_field_songs();
    if (MIDI* song = field_song(n); song && midi_available()) play_midi(song, looped ? TRUE : FALSE);
}

void CLibraryHost::StopSong() {
    if (midi_available()) stop_midi();
}

bool CLibraryHost::SongPlaying() { return midi_available() && midi_pos >= 0; }

void CQuietHost::Exit(int status) { exit(status); }

void show_message(const char* fmt, ...) {
    char buf[2048];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    host->Message(buf);
}
