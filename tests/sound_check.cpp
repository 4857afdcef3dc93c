// Plays one of the game's sounds or songs through the library so a test can record the output.
// Usage: rpg_soundcheck DATA_DIR (wav NAME | midi NAME) ; exit 77 when no sound can be set up.
#include <allegro.h>

#include <cstdio>
#include <string>

#include "Sound.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s DATA_DIR (wav|midi) NAME\n", argv[0]);
        return 2;
    }
    std::string data = argv[1], kind = argv[2], name = argv[3];
    if (allegro_init() != 0 || install_timer() != 0) {
        std::fprintf(stderr, "soundcheck: library not available (no X display?)\n");
        return 77;
    }
    if (!configure_midi_patches(data)) std::fprintf(stderr, "soundcheck: no default.cfg in %s\n", data.c_str());
    if (install_sound(DIGI_AUTODETECT, kind == "midi" ? MIDI_DIGMID : MIDI_NONE, nullptr) != 0) {
        std::fprintf(stderr, "soundcheck: no sound output: %s\n", allegro_error);
        return 77;
    }
    int status = 0;
    if (kind == "wav") {
        SAMPLE* s = load_sample((data + "/music/" + name).c_str());
        if (!s) { std::fprintf(stderr, "soundcheck: cannot load %s\n", name.c_str()); return 1; }
        play_sample(s, 255, 128, 1000, 0);
        rest(800);  // the driver mixes in real time: give it the sample's length and a margin
        destroy_sample(s);
    } else {
        MIDI* m = load_midi((data + "/music/" + name).c_str());
        if (!m) { std::fprintf(stderr, "soundcheck: cannot load %s\n", name.c_str()); return 1; }
        if (play_midi(m, 0) != 0) status = 1;
        rest(2500);
        stop_midi();
        destroy_midi(m);
    }
    remove_sound();
    return status;
}
END_OF_MAIN()
