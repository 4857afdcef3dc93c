// Music across doors: what the playlist is asked to play as maps are entered and on field ticks.
#include <string>
#include <vector>

#include "CMain.h"
#include "CMap.h"
#include "MapBuild.h"
#include "MapEntry.h"
#include "Music.h"
#include "Rolls.h"
#include "ScriptHost.h"
#include "TempDir.h"

namespace {

using Songs = std::vector<std::string>;
using Music = GameRig;

// A door lets the song go on; a tuned map (by its exact name) loops its tune, also back from its battle, until left.
TEST_F(Music, DoorsLetTheSongGoOnATunedMapLoopsItsTuneUntilLeftAndThePlaylistRolls) {
    TempDir dir{TempDir::AS_GAME_FOLDER};
    CMap m;
    make_map(m, 20, 15);
    for (const char* name : {"town.map", "inn.map", "orcvillage.MAP", "vorrand.MAP"})
        ASSERT_EQ(m.SaveMap(std::string("./data/") + name), 0);
    m.battle = true;
    ASSERT_EQ(m.SaveMap("./data/orc_battle.map"), 0);
    play_song(3, false);  // a field song is heard
    const struct { const char* path; int options; Songs asked; } steps[] = {
        {"./data/town.map", ENTRY_PLAIN, {}},
        {"./data/orcvillage.map", ENTRY_PLAIN, {"loop 8"}},  // read by another spelling, named "orcvillage.MAP"
        {"./data/orc_battle.map", ENTRY_PASSING, {}},
        {"./data/orcvillage.map", ENTRY_PLAIN, {}},
        {"./data/vorrand.MAP", ENTRY_PLAIN, {"loop 5"}},
        {"./data/town.map", ENTRY_PLAIN, {"stop"}},
        {"./data/inn.map", ENTRY_PLAIN, {}},
    };
    for (const auto& s : steps) {
        script.songs.clear();
        ASSERT_EQ(enter_map(s.path, at_start_tiles(), s.options), 0) << s.path;
        EXPECT_EQ(script.songs, s.asked) << s.path;
    }
    script.songs.clear();  // nothing is heard now: the field's first tick starts a song of the playlist, once
    script_rolls({4});
    script.Ticks(3);
    RunField();
    EXPECT_EQ(script.songs, Songs{"play 4"});
    script.songs.clear(), script.song_on = false;  // tunes go by the exact name
    for (const char* name : {"orcvillage.map", "ORCVILLAGE.MAP", "Vorrand.MAP"}) map.name = name, map.HandleMusic();
    EXPECT_EQ(script.songs, Songs{});
    script.songs.clear();  // a tuned map entered while its song plays once from the playlist loops it from the start
    play_song(SONG_TRIBAL, false);
    ASSERT_EQ(enter_map("./data/orcvillage.MAP", at_start_tiles()), 0);
    EXPECT_EQ(script.songs, (Songs{"play 8", "loop 8"}));
    // The playlist rolls 1 to 8 or silence (that it draws nothing while a song is heard, every battle test relies on).
    for (int raw = 0; raw < 18; ++raw) {
        script.song_on = false, script.songs.clear();
        script_rolls({raw});
        playlist_tick();
        EXPECT_EQ(script.songs, raw % 9 ? Songs{"play " + std::to_string(raw % 9)} : Songs{}) << raw;
    }
}

}  // namespace
