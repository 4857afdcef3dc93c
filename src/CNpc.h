// Non-player characters and monsters: the placed record, its description from the NPC list, movement and battle statistics.
#pragma once

#include <string>

class CMap;

// Monster kinds of the statistics table: a battle map's monster ids run from 1 to this.
constexpr int MONSTER_KINDS = 30;
// NPCs of this sprite row stand only in the opening scene: ordinary map loads drop them.
constexpr unsigned char OPENING_SPRITE_ROW = 3;

// A villager or monster placed on the current map. Copied and assigned member by member
// (map loads reuse entries by index and keep the members the file does not carry).
class CNpc {
public:
    int dir = 1;                    // wander direction: 1 up, 2 down, 3 right, 4 left; other values stand still
    unsigned int x = 0;             // pixel position, left edge
    unsigned int y = 0;             // pixel position, top edge
    int move_x = 0;                 // pixels left in a grid step along x; positive walks left
    int move_y = 0;                 // the same along y; positive walks up
    bool moving = false;            // a grid step is under way
    int battle_steps = 0;           // idle logic frames spent in the monster's battle turn
    bool turn_done = false;         // the monster's battle turn is over
    int extra = 0;                  // carried by the map file; not used in play
    unsigned char sprite = 0;       // cell row in the map's spriteset; row 3 only stays in the opening scene
    int id = 0;                     // 1-based index into npc_info; on battle maps the monster kind
    int target = 0;                 // party member a monster hunts: 0 hero, 1 companion
    unsigned char frame = 0;        // animation frame 0 or 1
    std::string name;               // monster name (battle)
    int damage = 1;                 // greatest damage of one hit
    int hp = 0;                     // hit points
    int exp_reward = 0;             // experience paid when it dies
    int mana = 0;                   // shown in the battle panel
    int gold_reward = 0;            // gold paid when it dies
    int level = 0;                  // shown in the battle panel
    int attack_range = 1;           // reach of its attack in tiles

    // Starts a one-tile step if standing and the way is clear. Called by the battle and cinematics.
    void Move(CMap& map, int dir);
    // Advances the step by one pixel and drags the map's camera along. Called once per tick while moving.
    void UpdateMovement();
    // Chooses the party member a monster hunts. Called at battle start and for the first map of a new game.
    void UpdateTargets();
    // Fills the battle statistics from the monster table by id. Called at battle start and new game.
    void LoadStats();
};

// One record of the NPC list file: the speaker's name, words and conversation script.
class CNpcInfo {
public:
    int id = 1;                 // record number as written in the file (records are found by position)
    std::string name;           // speaker name
    std::string talk;           // what the NPC says; the question for "yesno"
    std::string script;         // conversation keyword
    std::string yes_text;       // reply after yes
    std::string no_text;        // reply after no
    int quest_flag = 0;         // quest bits the script tests, sets or processes
    int quest_next = 0;         // quest number some scripts process
    std::string done_text;      // what the NPC says once the quest bit is set
};

// Conversation keywords of an NPC record (CNpcInfo::script). Any other keyword says nothing.
constexpr const char* NPC_TALKS = "none";                 // words, or done_text once a bit of quest_flag is set
constexpr const char* NPC_ASKS = "yesno";                 // asks; yes runs quest quest_flag (done_text once set)
constexpr const char* NPC_AFTER_QUEST = "setcheckquest";  // once a bit of quest_flag is set, runs quest quest_next
constexpr const char* NPC_CHECKS_QUEST = "checkquest";    // runs quest quest_flag, then talks by its bit
constexpr const char* NPC_SETS_QUEST = "setquest";        // sets the bits of quest_flag and talks
constexpr const char* NPC_RUNS_QUEST = "procquest";       // runs quest quest_next and talks

// Whether `script` is one of the keywords above. Used by the content check.
inline bool npc_keyword_known(const std::string& script) {
    for (const char* k : {NPC_TALKS, NPC_ASKS, NPC_AFTER_QUEST, NPC_CHECKS_QUEST, NPC_SETS_QUEST, NPC_RUNS_QUEST})
        if (script == k) return true;
    return false;
}

// The field of a record whose quest number a conversation with this keyword hands to
// CQuests::ProcessQuest (quest_flag or quest_next), or null when it runs none. Used by the content
// check; CMap::InteractNpcs runs the same fields.
inline int CNpcInfo::*npc_script_quest_field(const std::string& script) {
    if (script == NPC_ASKS || script == NPC_CHECKS_QUEST) return &CNpcInfo::quest_flag;
    if (script == NPC_AFTER_QUEST || script == NPC_RUNS_QUEST) return &CNpcInfo::quest_next;
    return nullptr;
}

// The quest number record r's conversation runs, 0 when it runs none.
inline int npc_script_quest(const CNpcInfo& r) {
    int CNpcInfo::*field = npc_script_quest_field(r.script);
    return field ? r.*field : 0;
}
