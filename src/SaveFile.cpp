// The saved game file: encoder, checking decoder and the reading of a file from disk.
#include "SaveFile.h"

#include <algorithm>

#include "ByteIO.h"
#include "DataFiles.h"

const char* const SAVE_STAT_NAMES[SAVE_STAT_COUNT] = {
    "str", "wis", "intel", "con", "cha", "hp", "max_hp", "mana", "max_mana", "exp", "level",
    "ac", "base_ac", "damage", "base_damage", "gold", "num_won", "move_range", "attack_range",
};

namespace {

// The free won-battle entry.
const char* const FREE_BATTLE = "empty";

void put_i32(std::string& out, int v) { put_le32(out, (uint32_t)v); }

void encode_member(std::string& out, const SavedMember& m) {
    put_le32(out, m.x);
    put_le32(out, m.y);
    put_i32(out, m.facing);
    put_i32(out, m.facing);
    for (const CEquip& e : m.equip) {
        put_i32(out, e.id);
        put_i32(out, 0);  // reserved
        put_text_block(out, e.name, SAVE_SHORT_TEXT);
    }
    for (const CInv& s : m.inv) {
        out.push_back(s.equipped ? 1 : 0);
        put_i32(out, s.armour);
        put_i32(out, s.damage);
        put_i32(out, s.id);
        put_i32(out, s.price);
        put_i32(out, s.type);
        put_text_block(out, s.name, SAVE_SHORT_TEXT);
    }
    put_text_block(out, m.name, SAVE_SHORT_TEXT);
    for (int v : m.stats) put_i32(out, v);
    const int won = std::max(m.stats[SS_NUM_WON], 0);
    for (int k = 0; k < won; ++k)
        put_text_block(out, (size_t)k < m.won_battles.size() ? m.won_battles[k] : FREE_BATTLE, SAVE_SHORT_TEXT);
}

// The saved game's reader: the shared byte reader, with a check that a block is there before
// it is read, so that a short file is named by the block it ends in.
class SaveReader : public ByteReader {
public:
    using ByteReader::ByteReader;

    bool Need(size_t bytes, const std::string& where, std::string& problem) const {
        if (left() >= bytes) return true;
        problem = "the file ends at byte " + std::to_string(size()) + ", inside " + where;
        return false;
    }

    // A count of records of `record` bytes each: never below zero, never more than the rest of
    // the file can hold, so nothing is ever sized by a number the file cannot back.
    bool Fits(const std::string& what, int n, size_t record, std::string& problem) const {
        if (n < 0) {
            problem = what + " " + std::to_string(n) + " is below zero";
            return false;
        }
        if ((unsigned long long)n * record > left()) {
            problem = what + " " + std::to_string(n) + " is more than the file holds";
            return false;
        }
        return true;
    }
};

bool decode_member(SaveReader& r, int index, SavedMember& m, std::string& problem) {
    const std::string who = "player[" + std::to_string(index) + "]";
    if (!r.Need(SAVE_WON_AT, who + "'s record", problem)) return false;
    m.x = r.U32();
    m.y = r.U32();
    r.I32();  // the first copy of facing; the second is the one kept
    m.facing = r.I32();
    // The facing picks the sprite row drawn and the tiles the use key looks at.
    if (m.facing < 0 || m.facing > 4) {
        problem = who + "'s facing " + std::to_string(m.facing) + " is not a direction (0 to 4)";
        return false;
    }
    for (int k = 0; k < EQUIP_SLOTS; ++k) {
        CEquip& e = m.equip[k];
        e.id = r.I32();
        r.I32();  // reserved
        if (!r.Text(SAVE_SHORT_TEXT, e.name)) {
            problem = who + "'s equipment slot " + std::to_string(k) + " has a name without its zero byte";
            return false;
        }
    }
    for (int k = 0; k < INV_SLOTS; ++k) {
        CInv& s = m.inv[k];
        unsigned char equipped = r.U8();
        if (equipped > 1) {  // a flag is 0 or 1; anything else is not a value a bool can hold
            problem = who + "'s inventory slot " + std::to_string(k) + " has the worn flag " +
                      std::to_string(equipped) + ", not 0 or 1";
            return false;
        }
        s.equipped = equipped == 1;
        s.armour = r.I32();
        s.damage = r.I32();
        s.id = r.I32();
        s.price = r.I32();
        s.type = r.I32();
        if (!r.Text(SAVE_SHORT_TEXT, s.name)) {
            problem = who + "'s inventory slot " + std::to_string(k) + " has a name without its zero byte";
            return false;
        }
    }
    if (!r.Text(SAVE_SHORT_TEXT, m.name)) {
        problem = who + "'s name has no zero byte";
        return false;
    }
    for (int& v : m.stats) v = r.I32();
    // The level indexes the level table (the status screen and the trainer look one further).
    const int level = m.stats[SS_LEVEL];
    if (level < 1 || level > MAX_LEVEL) {
        problem = who + "'s level " + std::to_string(level) + " is outside 1 to " + std::to_string(MAX_LEVEL);
        return false;
    }
    const int won = m.stats[SS_NUM_WON];
    if (!r.Fits(who + "'s won-battle count", won, SAVE_SHORT_TEXT, problem)) return false;
    m.won_battles.resize((size_t)won);
    for (int k = 0; k < won; ++k)
        if (!r.Text(SAVE_SHORT_TEXT, m.won_battles[k])) {
            problem = who + "'s won battle " + std::to_string(k) + " has a name without its zero byte";
            return false;
        }
    return true;
}

}  // namespace

std::string encode_save(const SavedGame& save) {
    std::string out;
    out.reserve(save_member_size((size_t)std::max(save.member[0].stats[SS_NUM_WON], 0)) +
                save_member_size((size_t)std::max(save.member[1].stats[SS_NUM_WON], 0)) +
                save_world_size(save.played.size(), save.event_checks.size()));
    encode_member(out, save.member[0]);
    encode_member(out, save.member[1]);
    put_le32(out, (uint32_t)save.played.size());
    for (bool b : save.played) out.push_back(b ? 1 : 0);
    put_text_block(out, save.map, SAVE_LONG_TEXT);
    put_le32(out, (uint32_t)(save.flags & 0xFFFFFFFFu));
    put_le32(out, (uint32_t)(save.flags >> 32));
    put_le32(out, (uint32_t)save.event_checks.size());
    for (const CEventCheck& c : save.event_checks) {
        put_text_block(out, c.map, SAVE_LONG_TEXT);
        put_i32(out, c.x);
        put_i32(out, c.y);
    }
    return out;
}

bool decode_save(const unsigned char* data, size_t size, SavedGame& out, std::string& problem) {
    SaveReader r(data, size);
    for (int i = 0; i < 2; ++i)
        if (!decode_member(r, i, out.member[i], problem)) return false;

    if (!r.Need(4, "the played-scene count", problem)) return false;
    const int n = r.I32();
    if (!r.Fits("the played-scene count", n, 1, problem)) return false;
    out.played.resize((size_t)n);
    for (int k = 0; k < n; ++k) out.played[k] = r.U8() != 0;  // any non-zero byte: the scene has run

    if (!r.Need(SAVE_LONG_TEXT + 8 + 4, "the map name and quest flags", problem)) return false;
    if (!r.Text(SAVE_LONG_TEXT, out.map)) {
        problem = "the map name has no zero byte";
        return false;
    }
    out.flags = r.U64();

    const int m = r.I32();
    if (!r.Fits("the opened-chest count", m, SAVE_CHECK_SIZE, problem)) return false;
    out.event_checks.resize((size_t)m);
    for (int k = 0; k < m; ++k) {
        CEventCheck& c = out.event_checks[k];
        if (!r.Text(SAVE_LONG_TEXT, c.map)) {
            problem = "opened chest " + std::to_string(k) + " has a map name without its zero byte";
            return false;
        }
        c.x = r.I32();
        c.y = r.I32();
    }
    if (r.left() != 0) {
        problem = std::to_string(r.left()) + " stray bytes follow the opened-chest list";
        return false;
    }
    return true;
}

bool read_save_file(const std::string& path, SavedGame& out, std::string& problem) {
    std::string bytes, why;
    switch (read_whole_file(path, SAVE_MAX_FILE_BYTES, bytes, why)) {
    case FileRead::MISSING:
        problem = "There is no saved game: " + path + " does not exist.";
        return false;
    case FileRead::FAILED:
        problem = "The saved game " + path + " cannot be read: " + why + ".";
        return false;
    case FileRead::OK:
        break;
    }
    if (!decode_save((const unsigned char*)bytes.data(), bytes.size(), out, why)) {
        problem = "The saved game " + path + " is damaged: " + why + ".";
        return false;
    }
    return true;
}
