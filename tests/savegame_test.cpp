// The saved game: its byte layout, files from an independent writer, round trips, damaged files and failed saves.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "CCine.h"
#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "MapBuild.h"
#include "PeopleRig.h"
#include "Quests.h"
#include "SaveGame.h"
#include "TempDir.h"
#include "Timing.h"

namespace {

// Writes a little-endian 32-bit value at a byte offset.
void set32(std::string& b, size_t at, int v) {
    for (int k = 0; k < 4; ++k) b[at + k] = (char)((unsigned)v >> (8 * k));
}
// A text block as the format stores it: the text, a zero byte, spaces to the end.
std::string block(const std::string& text, size_t size) { return text + '\0' + std::string(size - text.size() - 1, ' '); }

// An independent writer of the format, field by field, with the sizes written out as the format
// gives them (not taken from the game's code).
struct Writer {
    std::string b;
    Writer& i32(int v) { b.append(4, '\0'), set32(b, b.size() - 4, v); return *this; }
    Writer& u8(int v) { b.push_back((char)v); return *this; }
    Writer& text(const std::string& s, size_t size) { b += block(s, size); return *this; }
};

// The statistics in the order the member record stores them.
int CPlayer::* const STATS_IN_FILE_ORDER[] = {
    &CPlayer::str, &CPlayer::wis, &CPlayer::intel, &CPlayer::con, &CPlayer::cha, &CPlayer::hp, &CPlayer::max_hp,
    &CPlayer::mana, &CPlayer::max_mana, &CPlayer::exp, &CPlayer::level, &CPlayer::ac, &CPlayer::base_ac,
    &CPlayer::damage, &CPlayer::base_damage, &CPlayer::gold, &CPlayer::num_won, &CPlayer::move_range,
    &CPlayer::attack_range,
};
constexpr int LEVEL_STAT = 10, WON_STAT = 16;
int stat_value(int seed, int s) { return s == LEVEL_STAT ? 3 + seed : s == WON_STAT ? 25 : 1000 * seed + s; }
// Slot 9's name fills its block: no space after the zero byte.
std::string slot_name(int k) { return k == 9 ? std::string(254, 'M') : "slot" + std::to_string(k); }

// A member record whose every field differs from its neighbours and from the other member's.
void write_member(Writer& w, int seed) {
    w.i32(500 + seed).i32(200 + seed).i32(3 + seed).i32(3 + seed);
    for (int k = 0; k < 5; ++k) w.i32(k + 1 + seed).i32(0).text("equip" + std::to_string(k), 255);
    for (int k = 0; k < 10; ++k)
        w.u8(k == 4).i32(k).i32(2 * k).i32(k + 1).i32(10 * k + seed).i32(k % 7).text(slot_name(k), 255);
    w.text(seed == 0 ? "Arven" : "Miresa", 255);
    for (int s = 0; s < 19; ++s) w.i32(stat_value(seed, s));
    for (int k = 0; k < 25; ++k) w.text(k < 2 ? "cave_battle" + std::to_string(k) + ".map" : "empty", 255);
}

// Offsets of the file the writer makes: two members of 25 won battles, 20 played entries, two chests.
constexpr size_t MEMBER = 10797, WORLD = 2 * MEMBER, PLAYED_AT = WORLD + 4, MAP_AT = PLAYED_AT + 20,
                 FLAGS_AT = MAP_AT + 1024, CHECKS_AT = FLAGS_AT + 8, FILE_SIZE = CHECKS_AT + 4 + 2 * 1032;
constexpr uint64_t FLAGS = 0x8000000100008081ull;

std::string written_save(int played = 20) {
    Writer w;
    write_member(w, 0);
    write_member(w, 1);
    w.i32(played);
    for (int k = 0; k < played; ++k) w.u8(k == 1 ? 1 : k == 3 ? 7 : 0);  // any non-zero byte: played
    w.text("town.map", 1024).i32((int)(FLAGS & 0xFFFFFFFF)).i32((int)(FLAGS >> 32));
    w.i32(2).text("town.map", 1024).i32(3).i32(4).text("", 1024).i32(0).i32(0);
    return w.b;
}

// The saved game in a folder of its own with a small home map, an item list and the people rig.
class SaveGameRig : public PeopleRig {
protected:
    TempDir dir{TempDir::AS_GAME_FOLDER};
    std::string problem;

    void SetUp() override {
        PeopleRig::SetUp();
        CMap town;
        make_map(town, 60, 40);
        add_event(town, 5, 5, EV_TALK);
        ASSERT_EQ(town.SaveMap("./data/town.map"), 0);
        write_file("data/equip.txt", "Sword 4 3 0 10\nHelm 0 0 2 8\n");
        ASSERT_EQ(map.LoadMap("./data/town.map"), 0);
    }
};

TEST_F(SaveGameRig, AnIndependentlyWrittenFileLoadsAndIsSavedBackByteForByte) {
    const std::string file = written_save();
    ASSERT_EQ(file.size(), FILE_SIZE);
    write_file(SAVE_FILE, file);
    // Not in the file: a step under way, an object dropped on the map, the companion's chest list.
    player[0].moving = 1, player[0].move_x = 9;
    player[1].event_checks = {{"cave.map", 1, 1}, {"cave.map", 2, 1}, {}};
    CEvent dropped;
    dropped.x = 2, dropped.y = 2, dropped.type = EV_OBJECT, dropped.quest = 1;
    map.PlaceObject(dropped);
    ASSERT_TRUE(LoadGame(problem)) << problem;
    for (int i = 0; i < 2; ++i) {
        const CPlayer& p = player[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(std::make_tuple(p.x, p.y, p.facing, p.equip[4].id, p.equip[4].name, p.name),
                  std::make_tuple(500u + i, 200u + i, 3 + i, 5 + i, std::string("equip4"), std::string(i ? "Miresa" : "Arven")));
        const CInv& s = p.inv[9];
        EXPECT_EQ(std::make_tuple(p.inv[4].equipped, s.equipped, s.armour, s.damage, s.id, s.price, s.type, s.name),
                  std::make_tuple(true, false, 9, 18, 10, 90 + i, 2, slot_name(9)));
        for (int k = 0; k < 19; ++k) EXPECT_EQ(p.*STATS_IN_FILE_ORDER[k], stat_value(i, k)) << "statistic " << k;
        ASSERT_EQ(p.won_battles.size(), 25u);
        EXPECT_EQ(p.won_battles[1], "cave_battle1.map");
    }
    EXPECT_EQ(cine.played, std::vector<bool>({0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(quest.flags, FLAGS);
    ASSERT_EQ(player[0].event_checks.size(), 2u);
    const CEventCheck& chest = player[0].event_checks[0];
    EXPECT_EQ(std::make_tuple(chest.map, chest.x, chest.y), std::make_tuple("town.map", 3, 4));
    // The map and the item list read again (the dropped object gone), the view centred on the
    // hero, no step under way, her chest list afresh.
    EXPECT_EQ(std::make_tuple(map.name, map.num_events, player[0].items[0].name, player[0].scroll_x, player[0].moving,
                              player[1].event_checks.size()),
              std::make_tuple("town.map", 1u, "Sword", 500 - 320, 0, 1u));

    // Saved again it is the same file, the played byte 7 now written as 1. (The writer's offsets
    // are held to the format by the damaged-file table, whose refusals name the field at each.)
    ASSERT_TRUE(SaveGame(problem)) << problem;
    std::string expected = file;
    expected[PLAYED_AT + 3] = 1;
    EXPECT_EQ(read_file(SAVE_FILE), expected);
}

TEST_F(SaveGameRig, TextTooLongForItsBlockIsCutToItAndAtAZeroByte) {
    SavedGame s, back;
    s.member[0].stats[SS_LEVEL] = s.member[1].stats[SS_LEVEL] = 1;
    s.member[1].name = std::string(300, 'b'), s.map = std::string("cut\0here", 8);
    const std::string b = encode_save(s);
    ASSERT_TRUE(decode_save((const unsigned char*)b.data(), b.size(), back, problem)) << problem;
    EXPECT_EQ(std::make_tuple(back.member[1].name, back.map), std::make_tuple(std::string(254, 'b'), std::string("cut")));
}

TEST_F(SaveGameRig, AShortPlayedListIsPaddedSoEverySceneCanStillBeLookedUp) {
    write_file(SAVE_FILE, written_save(2));
    cine.played.assign(30, true);
    ASSERT_TRUE(LoadGame(problem)) << problem;
    EXPECT_EQ(cine.played, std::vector<bool>({0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

// A real save cut at any byte is refused with a reason; whole, it is read.
TEST_F(SaveGameRig, EveryCutOfARealSaveIsRefused) {
    const std::string b = written_save();
    SavedGame s;
    std::string problem;
    for (size_t n = 0; n < b.size(); ++n) {
        problem.clear();
        ASSERT_FALSE(decode_save((const unsigned char*)b.data(), n, s, problem)) << "cut at " << n;
        ASSERT_FALSE(problem.empty());
    }
    EXPECT_TRUE(decode_save((const unsigned char*)b.data(), b.size(), s, problem));
}

// Each damaged file is refused with a sentence naming the file and the problem, and nothing in
// the game changes.
TEST_F(SaveGameRig, ADamagedFileLeavesTheGameAsItWasAndSaysWhy) {
    player[0].name = "Before";
    player[0].x = 400, quest.flags = 5, cine.played[2] = true;
    player[0].UpdateMovement();
    player[1].event_checks.resize(2);
    // Everything the file keeps, and the parts of the game around it a failed load must not touch.
    auto snapshot = [] {
        return encode_save(gather_saved_game()) + "|" + map.name + "|" + std::to_string(map.num_events) + "|" +
               std::to_string(player[0].scroll_x) + "|" + player[0].items[0].name + "|" +
               std::to_string(player[1].event_checks.size());
    };
    auto refused = [&](const char* says) {
        const std::string before = snapshot();
        EXPECT_FALSE(LoadGame(problem));
        EXPECT_NE(problem.find(says), std::string::npos) << problem;
        EXPECT_NE(problem.find("player.sav"), std::string::npos) << problem;
        EXPECT_EQ(snapshot(), before);
    };
    refused("There is no saved game: player.sav does not exist.");
    ASSERT_EQ(mkdir(SAVE_FILE, 0755), 0);
    refused("The saved game player.sav cannot be read: it is a folder.");
    rmdir(SAVE_FILE);

    auto put = [](size_t at, int v) { return [=](std::string& b) { set32(b, at, v); }; };
    const struct { std::function<void(std::string&)> damage; const char* says; } cases[] = {
        {[](std::string& b) { b.clear(); }, "is damaged: the file ends at byte 0, inside player[0]'s record."},
        {[](std::string& b) { b.resize(MAP_AT + 10); }, "the file ends at byte 21628"},
        {put(MEMBER + 4410, -1), "player[1]'s won-battle count -1 is below zero"},
        {put(4410, 1000), "player[0]'s won-battle count 1000 is more than the file holds"},
        {put(WORLD, -20), "played-scene count -20 is below zero"},
        {put(WORLD, 1 << 30), "played-scene count 1073741824 is more than the file holds"},
        {put(CHECKS_AT, -1), "opened-chest count -1 is below"},
        {put(CHECKS_AT, 3), "opened-chest count 3 is more"},
        {[](std::string& b) { b.replace(4091, 255, std::string(255, 'A')); }, "player[0]'s name has no zero byte"},
        {[](std::string& b) { b.replace(MAP_AT, 1024, std::string(1024, 'm')); }, "the map name has no zero byte"},
        {[](std::string& b) { b[MEMBER + 1331 + 276] = 2; }, "slot 1 has the worn flag 2, not 0 or 1"},
        {put(12, 9), "player[0]'s facing 9 is not a direction"},
        {put(4386, 0), "player[0]'s level 0 is outside 1 to 11"},
        {[](std::string& b) { b += 'x'; }, "1 stray bytes follow the opened-chest list"},
        {[](std::string& b) { b.replace(MAP_AT, 1024, block("gone.map", 1024)); },
         "cannot be loaded: its map ./data/gone.map cannot be read (it is missing)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        std::string b = written_save();
        c.damage(b);
        write_file(SAVE_FILE, b);
        refused(c.says);
    }
}

// The new file runs into a full disk (its name points at /dev/full) while it is written.
TEST_F(SaveGameRig, ASaveThatFillsTheDiskKeepsTheOldFileAndSaysWhy) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    ASSERT_TRUE(SaveGame(problem));
    const std::string old = read_file(SAVE_FILE);
    player[0].gold = 999;
    ASSERT_EQ(symlink("/dev/full", "player.sav.part"), 0);
    EXPECT_FALSE(SaveGame(problem));
    EXPECT_EQ(problem, "The game could not be saved: writing player.sav.part failed (No space left on device). "
                       "Any earlier save is kept.");
    EXPECT_EQ(read_file(SAVE_FILE), old);
    EXPECT_NE(access("player.sav.part", F_OK), 0);
}

// A new game's file holds 20 scenes and only the free chest entry. When saving fails, the save
// point and a chest's automatic save both say so, and the chest opens all the same.
TEST_F(SaveGameRig, ANewGamesFileAndTheSavePointAndTheChestSayWhenSavingFailed) {
    ASSERT_TRUE(SaveGame(problem)) << problem;
    const std::string fresh = read_file(SAVE_FILE);
    ASSERT_EQ(fresh.size(), WORLD + 4 + 20 + 1024 + 8 + 4 + 1032);
    SavedGame s;
    ASSERT_TRUE(decode_save((const unsigned char*)fresh.data(), fresh.size(), s, problem)) << problem;
    EXPECT_EQ(std::make_tuple(s.played.size(), s.event_checks.size()), std::make_tuple(20u, 1u));

    MakeMap(10, 10);
    const int save_point = AddEvent(4, 2, EV_SAVE);
    unlink(SAVE_FILE);
    ASSERT_EQ(mkdir(SAVE_FILE, 0755), 0);
    const std::string failed = "The game could not be saved: player.sav cannot be replaced (Is a directory). "
                               "Any earlier save is kept.";
    script.Clear().Space().Tap(GK_DOWN).Tap(GK_SPACE).Space();
    HandleEvents(save_point);
    EXPECT_EQ(script.said.back().second, failed);
    EXPECT_NE(access("player.sav.part", F_OK), 0);

    player[0].x = 40, player[0].y = 32;  // the chest under the hero: its text, the find, the failure
    AddEvent(3, 2, EV_TALK | EV_CHEST, 4);
    script.Clear().Space(3).said.clear();
    FieldUseAction();
    ASSERT_EQ(script.said.size(), 3u);
    EXPECT_EQ(script.said[2].second, failed);
    EXPECT_EQ(player[0].event_checks.size(), 2u);
}

}  // namespace
