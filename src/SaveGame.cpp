// The saved game in play: gathers the party, the played scenes, the map and the quest word into
// player.sav, and puts a checked save back. Sits above the scenes and quests whose state it keeps.
#include "SaveGame.h"

#include <algorithm>

#include "CCine.h"
#include "CMap.h"
#include "CPlayer.h"
#include "DataFiles.h"
#include "GameState.h"
#include "Host.h"
#include "MapEntry.h"
#include "MapFile.h"
#include "Quests.h"

namespace {

// The statistics of a member record, in file order, as CPlayer members.
int CPlayer::* const PLAYER_STATS[SAVE_STAT_COUNT] = {
    &CPlayer::str,  &CPlayer::wis,     &CPlayer::intel,  &CPlayer::con,         &CPlayer::cha,
    &CPlayer::hp,   &CPlayer::max_hp,  &CPlayer::mana,   &CPlayer::max_mana,    &CPlayer::exp,
    &CPlayer::level, &CPlayer::ac,     &CPlayer::base_ac, &CPlayer::damage,     &CPlayer::base_damage,
    &CPlayer::gold, &CPlayer::num_won, &CPlayer::move_range, &CPlayer::attack_range,
};

// Copies one part of a member between the record and the player, whole arrays too.
template <class T>
void copy_part(T& to, const T& from) {
    to = from;
}
template <class T, size_t N>
void copy_part(T (&to)[N], const T (&from)[N]) {
    std::copy(from, from + N, to);
}

// Every part of a member that a save keeps, handed to `pair` as (the record's, the player's):
// the one list that gathering a save and applying one both walk. The won battles are decoded
// with exactly num_won entries.
template <class Record, class Player, class Pair>
void member_parts(Record& m, Player& p, Pair pair) {
    pair(m.x, p.x);
    pair(m.y, p.y);
    pair(m.facing, p.facing);
    pair(m.equip, p.equip);
    pair(m.inv, p.inv);
    pair(m.name, p.name);
    for (int k = 0; k < SAVE_STAT_COUNT; ++k) pair(m.stats[k], p.*PLAYER_STATS[k]);
    pair(m.won_battles, p.won_battles);
}

SavedMember gather_member(const CPlayer& p) {
    SavedMember m;
    member_parts(m, p, [](auto& saved, const auto& live) { copy_part(saved, live); });
    return m;
}

void apply_member(const SavedMember& m, CPlayer& p) {
    member_parts(m, p, [](const auto& saved, auto& live) { copy_part(live, saved); });
}

// Whether the saved map can be read, checked whole with the pure decoder before anything of the
// game in play is touched; `error` says why not.
bool saved_map_readable(const std::string& name, std::string& error) {
    const std::string path = resolve_data_path("./data/" + name);
    std::string bytes;
    if (read_whole_file(path, MAP_MAX_FILE_BYTES, bytes, error) != FileRead::OK) {
        if (error.empty()) error = "it is missing";
        return false;
    }
    MapFileData decoded;
    return decode_map_file((const unsigned char*)bytes.data(), bytes.size(), decoded, error);
}

}  // namespace

SavedGame gather_saved_game() {
    SavedGame s;
    s.member[0] = gather_member(player[0]);
    s.member[1] = gather_member(player[1]);
    s.played = cine.played;
    s.map = map.name;
    s.flags = quest.flags;
    s.event_checks = player[0].event_checks;
    return s;
}

bool save_game_to(const std::string& path, bool sync, std::string& problem) {
    std::string error;
    if (replace_file(path, encode_save(gather_saved_game()), sync, error)) return true;
    problem = "The game could not be saved: " + error + ". Any earlier save is kept.";
    return false;
}

bool load_game_from(const std::string& path, std::string& problem) {
    SavedGame s;
    if (!read_save_file(path, s, problem)) return false;
    std::string map_error;
    if (!saved_map_readable(s.map, map_error)) {
        problem = "The saved game " + path + " cannot be loaded: its map ./data/" + s.map + " cannot be read (" +
                  map_error + ").";
        return false;
    }
    // From here on nothing can fail. The game before leaves nothing behind; the saved map is
    // entered like any other (its NPCs placed, the hero and the view on the saved pixel, held keys
    // forgotten so the key that chose "load" does not act in the field, its music settled).
    reset_game_state();
    enter_map("./data/" + s.map, at_pixel(s.member[0].x, s.member[0].y));
    apply_member(s.member[0], player[0]);
    apply_member(s.member[1], player[1]);
    // The scenes look themselves up by number: a shorter list from the file is padded with
    // scenes not yet run, so that every scene can still be found.
    cine.played = s.played;
    cine.played.resize(std::max(s.played.size(), CCine().played.size()), false);
    quest.flags = s.flags;
    player[0].event_checks = s.event_checks;
    for (CPlayer& p : player) {
        p.GetInfo();
        p.shop.Init();
    }
    return true;
}

bool SaveGame(std::string& problem) { return save_game_to(SAVE_FILE, true, problem); }

bool LoadGame(std::string& problem) { return load_game_from(SAVE_FILE, problem); }
