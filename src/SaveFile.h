// The saved game file "player.sav": its byte layout, a pure encoder and a checking decoder, and reading one from disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CPlayer.h"

// Every integer is 32-bit little-endian, a flag one byte (0 or 1), and a text block of size B
// holds the text, one zero byte and spaces up to B bytes (so at most B - 1 characters).
constexpr size_t SAVE_SHORT_TEXT = 255;   // names: members, items, won battles
constexpr size_t SAVE_LONG_TEXT = 1024;   // map names

// Member record: offsets from its start. It opens with x, y, facing and facing again.
constexpr size_t SAVE_EQUIP_AT = 16;
constexpr size_t SAVE_EQUIP_SIZE = 4 + 4 + SAVE_SHORT_TEXT;  // id, reserved (0), name
constexpr size_t SAVE_INV_AT = SAVE_EQUIP_AT + EQUIP_SLOTS * SAVE_EQUIP_SIZE;
constexpr size_t SAVE_INV_SIZE = 1 + 5 * 4 + SAVE_SHORT_TEXT;  // equipped, armour, damage, id, price, type, name
constexpr size_t SAVE_NAME_AT = SAVE_INV_AT + INV_SLOTS * SAVE_INV_SIZE;
constexpr size_t SAVE_STATS_AT = SAVE_NAME_AT + SAVE_SHORT_TEXT;

// The statistics of a member record, in file order (num_won counts the won-battle entries).
enum SaveStat {
    SS_STR, SS_WIS, SS_INTEL, SS_CON, SS_CHA, SS_HP, SS_MAX_HP, SS_MANA, SS_MAX_MANA, SS_EXP, SS_LEVEL,
    SS_AC, SS_BASE_AC, SS_DAMAGE, SS_BASE_DAMAGE, SS_GOLD, SS_NUM_WON, SS_MOVE_RANGE, SS_ATTACK_RANGE,
    SAVE_STAT_COUNT
};
// The CPlayer member name of each statistic, in file order ("str", "wis", ...).
extern const char* const SAVE_STAT_NAMES[SAVE_STAT_COUNT];

constexpr size_t SAVE_WON_AT = SAVE_STATS_AT + SAVE_STAT_COUNT * 4;  // num_won text blocks follow
// Opened-chest entry of the world record: map name, column, row.
constexpr size_t SAVE_CHECK_SIZE = SAVE_LONG_TEXT + 4 + 4;
// Larger files are refused before they are read (a real save is about 22 kB).
constexpr size_t SAVE_MAX_FILE_BYTES = 16u << 20;

static_assert(SAVE_INV_AT == 1331 && SAVE_NAME_AT == 4091 && SAVE_WON_AT == 4422, "member record layout");

// Bytes of a member record with this many won-battle entries (10 797 with the usual 25).
constexpr size_t save_member_size(size_t won) { return SAVE_WON_AT + won * SAVE_SHORT_TEXT; }
// Bytes of the world record with this many played entries and opened-chest entries.
constexpr size_t save_world_size(size_t played, size_t checks) {
    return 4 + played + SAVE_LONG_TEXT + 8 + 4 + checks * SAVE_CHECK_SIZE;
}

// One party member as the file stores it. Inventory slots keep every CInv member but the
// database's own; equipment slots their id and name.
struct SavedMember {
    unsigned int x = 0, y = 0;  // pixel position (stored as 32-bit integers)
    int facing = 0;             // direction code 0..4
    CEquip equip[EQUIP_SLOTS];
    CInv inv[INV_SLOTS];
    std::string name;
    int stats[SAVE_STAT_COUNT] = {};
    std::vector<std::string> won_battles;  // stats[SS_NUM_WON] entries when decoded
};

// The whole saved game: both members, the played scenes, the map, the quest word and the
// hero's opened chests (the companion's are not stored).
struct SavedGame {
    SavedMember member[2];
    std::vector<bool> played;
    std::string map;      // file name of the current map under ./data/
    uint64_t flags = 0;   // quest flags
    std::vector<CEventCheck> event_checks;
};

// The exact bytes of the file. The won-battle count written is stats[SS_NUM_WON]; entries
// missing from won_battles are written as "empty". Text too long for its block is cut to it
// (and at a zero byte). Used by SaveGame, the tests and the fuzz target.
std::string encode_save(const SavedGame& save);

// Reads and checks every byte of a saved game. True with `out` filled; otherwise false with
// `problem` naming what is wrong and where (a short file, a count below zero or beyond what
// the file holds, a text without its zero byte, a flag other than 0 or 1, a facing or level
// out of range, bytes after the last record) and `out` unspecified. Touches no global.
// Used by LoadGame, rpgtool and the fuzz target.
bool decode_save(const unsigned char* data, size_t size, SavedGame& out, std::string& problem);

// Reads and decodes the file at path. False with `problem` a sentence naming the file and the
// problem ("There is no saved game: ...", "... cannot be read: ...", "... is damaged: ...").
// Used by LoadGame and rpgtool.
bool read_save_file(const std::string& path, SavedGame& out, std::string& problem);
