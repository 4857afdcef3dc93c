// Sound set-up and effects: hands the software MIDI synth the patch index the build generated, and plays effects.
#include "Sound.h"

#include "DataFiles.h"

#include <allegro.h>
#include <cstdio>

bool configure_midi_patches(const std::string& data_dir) {
    std::string dir = data_dir;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    std::string index = resolve_data_path(dir + "default.cfg");
    FILE* f = std::fopen(index.c_str(), "r");
    if (!f) return false;
    std::fclose(f);
    // The library reads the folder's default.cfg and loads each patch by the path it names.
    // The override configuration is never saved, unlike set_config_string, which would
    // leave an allegro.cfg behind in the working directory.
    static std::string config;
    config = "[sound]\npatches = " + dir + "\n";
    override_config_data(config.c_str(), static_cast<int>(config.size()));
    return true;
}

void (*sound_watch)(const std::string& file) = nullptr;

CSoundEffect::CSoundEffect(const std::string& path) : path_(path), sample_(load_data_sample(path)) {}

CSoundEffect::~CSoundEffect() {
    if (sample_) destroy_sample(sample_);
}

void CSoundEffect::Play(int volume, int pan, int frequency) const {
    if (sound_watch) sound_watch(path_);
    if (sample_) play_sample(sample_, volume, pan, frequency, FALSE);
}
