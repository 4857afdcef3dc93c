// Music across doors: what the playlist is asked to play as maps are entered and on field ticks.
#include <gtest/gtest.h>

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

// A game folder with two ordinary maps, the two maps that have tunes of their own and a battle map.
class Music : public GameRig {
protected:
    TempDir dir{TempDir::AS_GAME_FOLDER};

    void SetUp() override {
        GameRig::SetUp();
        CMap m;
        make_map(m, 20, 15);
        for (const char* name : {"town.map", "inn.map", "orcvillage.MAP", "vorrand.MAP"})
            ASSERT_EQ(m.SaveMap(std::string("./data/") + name), 0);
        m.battle = true;
        ASSERT_EQ(m.SaveMap("./data/orc_battle.map"), 0);
    }
};

// An ordinary door lets the song heard go on; a map with a tune of its own loops it (and goes on
// with it when entered again); leaving it ends the tune, and the field's playlist takes over.
TEST_F(Music, DoorsLetTheSongGoOnAndATunedMapLoopsItsTuneUntilLeft) {
    play_song(3, false);  // a field song is heard
    struct Step {
        const char* path;
        int options;
        Songs asked;
    } steps[] = {
        {"./data/town.map", ENTRY_PLAIN, {}},
        {"./data/inn.map", ENTRY_PLAIN, {}},
        {"./data/orcvillage.map", ENTRY_PLAIN, {"loop 8"}},  // read by another spelling, named "orcvillage.MAP"
        {"./data/orc_battle.map", ENTRY_PASSING, {}},        // into its battle...
        {"./data/orcvillage.map", ENTRY_PLAIN, {}},          // ...and back: the tune goes on
        {"./data/vorrand.MAP", ENTRY_PLAIN, {"loop 5"}},
        {"./data/town.map", ENTRY_PLAIN, {"stop"}},
        {"./data/inn.map", ENTRY_PLAIN, {}},
    };
    for (const Step& s : steps) {
        script.songs.clear();
        ASSERT_EQ(enter_map(s.path, at_start_tiles(), s.options), 0) << s.path;
        EXPECT_EQ(script.songs, s.asked) << s.path;
    }
    // Nothing is heard now: the field's first tick starts a song of the playlist, once.
    script.songs.clear();
    script_rolls({4});
    script.Ticks(3);
    RunField();
    EXPECT_EQ(script.songs, Songs{"play 4"});

    // A tuned map entered while its song plays once from the playlist loops it from the start.
    script.songs.clear();
    play_song(SONG_TRIBAL, false);
    ASSERT_EQ(enter_map("./data/orcvillage.MAP", at_start_tiles()), 0);
    EXPECT_EQ(script.songs, (Songs{"play 8", "loop 8"}));
}

TEST_F(Music, TunesGoByTheExactNameAndOneRollInNineStaysSilent) {
    struct Named {
        const char* name;
        Songs asked;
    } names[] = {
        {"orcvillage.MAP", {"loop 8"}}, {"vorrand.MAP", {"loop 5"}}, {"orcvillage.map", {}},
        {"ORCVILLAGE.MAP", {}},         {"Vorrand.MAP", {}},         {"town.map", {}},
    };
    for (const Named& n : names) {
        script.song_on = false;
        script.songs.clear();
        map.name = n.name;
        map.HandleMusic();
        EXPECT_EQ(script.songs, n.asked) << n.name;
    }
    for (int raw = 0; raw < 18; ++raw) {
        script.song_on = false;
        script.songs.clear();
        script_rolls({raw});
        playlist_tick();
        EXPECT_EQ(script.songs, raw % 9 ? Songs{"play " + std::to_string(raw % 9)} : Songs{}) << raw;
    }
    // While a song is heard the playlist neither rolls nor asks.
    script.songs.clear();
    script.song_on = true;
    script_rolls({5});
    playlist_tick();
    EXPECT_TRUE(script.songs.empty());
    EXPECT_EQ(roll_raw(), 5);
}

}  // namespace
