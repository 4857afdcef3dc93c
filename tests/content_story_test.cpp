// The story's trickiest stretch played on the shipped maps with the real scripts: the herb errand and
// the old passage to Selka. Battles and scenes that would need keys are marked as already seen, so
// only the maps, the lists and the quest scripts are exercised.
#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "CCine.h"
#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "PeopleRig.h"
#include "Quests.h"
#include "TempDir.h"

#ifndef RPG_DATA_DIR
#define RPG_DATA_DIR "./data"
#endif

namespace {

constexpr int GRID = 16;

class ContentStory : public PeopleRig {
protected:
    TempDir dir{TempDir::AS_GAME_FOLDER};

    void SetUp() override {
        PeopleRig::SetUp();
        // The game reads ./data/: link the built maps and lists into the test's game folder (not
        // the pictures: the maps' images are kept for the life of the process once loaded).
        DIR* d = opendir(RPG_DATA_DIR);
        ASSERT_NE(d, nullptr);
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            std::string ext = n.size() > 4 ? n.substr(n.size() - 4) : "";
            if (n[0] == '.' || e->d_type == DT_DIR || (ext != ".map" && ext != ".MAP" && ext != ".txt")) continue;
            ASSERT_EQ(symlink((std::string(RPG_DATA_DIR) + "/" + e->d_name).c_str(),
                              dir.path(std::string("data/") + e->d_name).c_str()), 0);
        }
        closedir(d);
    }

    void Go(const char* path) {
        ASSERT_EQ(map.LoadMap(path), 0);
        map.LoadNpcs();
    }
    void Stand(int c, int r, int facing = 0) {
        player[0].x = (unsigned)(c * GRID);
        player[0].y = (unsigned)(r * GRID);
        player[0].facing = facing;
    }
    // Boxes the next action may show are dismissed with SPACE.
    void Expect(int boxes) {
        script.Clear();
        script.said.clear();
        script.Space(boxes);
    }
    // Talks to whoever stands on tile (c, r), from the tile below.
    void TalkTo(int c, int r, int boxes) {
        Stand(c, r + 1, 1);
        Expect(boxes);
        map.InteractNpcs(c * GRID, r * GRID);
    }
    // One step right (or down): the portal check before it and the step-on check after it, as the field does.
    void Step(int dx, int dy) {
        map.CheckPortals(player[0]);
        player[0].x += dx;
        player[0].y += dy;
        map.CheckEvents(player[0]);
    }
    bool Said(const std::string& words) const {
        for (auto& s : script.said)
            if (s.second.find(words) != std::string::npos) return true;
        return false;
    }
};


TEST_F(ContentStory, HerbErrandAndThePassageToSelkaPlayThrough) {
    cine.played[3] = true;  // the plant scene itself needs keys of its own
    Go("./data/brightmere.map");
    TalkTo(24, 39, 2);  // Corwin
    EXPECT_TRUE(Said("Brightmere Cave"));
    EXPECT_EQ(quest.flags & 0x1880, 0x1880u);

    Stand(20, 8);  // the cave mouth opens for the errand
    Expect(0);
    map.CheckPortals(player[0]);
    ASSERT_EQ(map.name, "brightmere_cave.map");

    TalkTo(28, 4, 2);  // Herbalist Yew gives the stinkroot at Arven's feet
    EXPECT_TRUE(Said("You received an item!"));
    Stand(28, 5, 2);  // facing away from Yew, so only the root is picked up
    Expect(0);
    FieldUseAction();
    EXPECT_EQ(player[0].inv[0].id, 3);

    Stand(32, 3);  // the crack up to the plaza
    Expect(0);
    map.CheckPortals(player[0]);
    ASSERT_EQ(map.name, "brightmere.map");
    Expect(3);
    Step(1, 0);  // the first step on the plaza plants the herb
    EXPECT_TRUE(Said("stinkroot into his coat"));
    EXPECT_EQ(quest.flags & 0x180, 0x100u);
    EXPECT_EQ(player[0].exp, 8);

    Stand(17, 43);  // the old passage opens now
    Expect(0);
    map.CheckPortals(player[0]);
    ASSERT_EQ(map.name, "underground.map");
    for (std::string& w : player[0].won_battles)  // the ambush battle itself needs keys
        if (w == "empty") {
            w = "selka_battle.map";
            break;
        }
    Stand(63, 21);
    Expect(1);
    Step(0, 1);
    EXPECT_TRUE(Said("Daylight ahead"));
    ASSERT_EQ(map.name, "selka.map");
    EXPECT_TRUE(quest.flags & 0x80000) << "Selka's north gate opens";
}

}  // namespace
