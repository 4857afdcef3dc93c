// Party members: their record and statistics, walking, items and equipment, shops and the saved game.
#pragma once

#include <allegro.h>
#include <climits>
#include <string>
#include <vector>

#include "GameState.h"

class CMap;
class CPlayer;

// Fixed sizes of the item data model.
constexpr int MAX_ITEMS = 35;
constexpr int INV_SLOTS = 10;
constexpr int EQUIP_SLOTS = 5;
constexpr int MAX_SHOPS = 12;
constexpr int SHOP_ITEMS = 5;
constexpr int MAX_LEVEL = 11;
constexpr int HEALING_POTION = 4;
// Won-battle entries of the hero: battles recorded beyond them are fought unrecorded.
constexpr int WON_BATTLE_SLOTS = 25;
// The companion's name, given by start-up (both records are constructed as the hero).
constexpr const char* COMPANION_NAME = "Miresa";

// Adds a reward (gold, experience) to a member's count. A saved game may hold any count, so one
// already near the top stops at INT_MAX instead of wrapping round to a negative purse.
inline void add_reward(int& count, int reward) {
    count = (reward > 0 && count > INT_MAX - reward) ? INT_MAX : count + reward;
}

// Item types.
enum ItemType {
    IT_HEAD = 0,
    IT_ARMS = 1,
    IT_LEGS = 2,
    IT_RING = 3,
    IT_WEAPON = 4,
    IT_USABLE = 6,
};

// An item record of the database, or an inventory slot (id 0 = empty).
class CInv {
public:
    std::string name;
    int id = 0;
    int type = 0;
    int damage = 0;
    int armour = 0;
    bool equipped = false;  // inventory slots: worn
    int price = 0;
};

// An equipment slot: the worn item's id (0 = nothing) and name.
class CEquip {
public:
    int id = 0;
    std::string name;
};

// An opened chest: map name and tile. The entry with x 0 is the free entry.
class CEventCheck {
public:
    std::string map;
    int x = 0;
    int y = 0;
};

// The shop screen of one party member, with the shop list read from shops.txt. Its pictures are menu_art's.
class CShop {
public:
    int stock[MAX_SHOPS][SHOP_ITEMS] = {};  // item ids sold by each shop

    // Loads the shop pictures (the shared menu_art). Called at start-up and after a game is loaded.
    void Init();
    // Runs the buying screen of shop `number` for shopper p. Called by the shop event.
    void Shop(int number, CPlayer& p);
    // The most characters an item's name may have to stay inside the shop's pictures: in the
    // list, where a blank and this price follow it; in the equipment frame, after the label of
    // this slot (0 to EQUIP_SLOTS - 1). Read by the content check.
    static int ListNameRoom(int price);
    static int EquipNameRoom(int slot);
};

// One party member. player[0] is the hero and holds the party's gold, won battles and opened chests.
class CPlayer {
public:
    int move_x = 0;           // pixels left in a grid step; positive moves left
    int move_y = 0;           // positive moves up
    unsigned int x = 64;      // left edge in map pixels
    unsigned int y = 64;      // top edge in map pixels
    int moving = 0;           // a grid step is under way
    BITMAP* sprite = nullptr; // character sheet (not owned)
    int facing = 0;           // 1 up, 2 down, 3 right, 4 left; 0 before the first move
    int frame = 0;            // walking frame
    int scroll_x = 0;         // view that follows this character
    int scroll_y = 0;
    CEquip equip[EQUIP_SLOTS];
    CInv inv[INV_SLOTS];
    CShop shop;
    CInv items[MAX_ITEMS];    // this member's copy of the item database
    std::string name = "Arven";
    int str = 0, wis = 0, intel = 0, con = 0, cha = 0;
    int hp = 0, max_hp = 0, mana = 0, max_mana = 0;
    int exp = 0;
    int level = 1;
    int ac = 0, base_ac = 0;
    int damage = 1, base_damage = 1;
    int gold = 10;
    int num_won = WON_BATTLE_SLOTS;
    int move_range = 5;
    int attack_range = 1;
    std::vector<std::string> won_battles;
    std::vector<CEventCheck> event_checks;

    // Defaults as constructed: 25 free won-battle entries, one free chest record; writes level_table.
    CPlayer();

    // Rolls a new character's attributes and hit points. Called for both members by a new game.
    void InitStats();
    // Recomputes ac and damage from the worn inventory slots. Called by the status screen and equipment changes.
    void UpdateStats();

    // Free walking step of one pixel unless a wall or an NPC is in the way, then the view follows
    // on that axis. The map is only read (never copied). Called once a tick per held arrow key.
    void Move(const CMap& map, int dir);
    // Starts a 16-pixel battle step unless walls, NPCs or the other member block it. Called by the battle.
    void MoveBlock(const CMap& map, int dir);
    // Starts a 16-pixel step that only walls stop. Called by the battle's free-look cursor.
    void ViewBlock(const CMap& map, int dir);
    // Advances a grid step by one pixel and re-centres the view on the global map. Called every
    // battle tick and after the party is placed somewhere (new game, portal, battle end, scenes).
    void UpdateMovement();

    // Items and equipment. Invariants: at most one worn slot per wearable type; equip[t].id is
    // that slot's item or 0; an empty slot (id 0) is never worn; ids outside 1..MAX_ITEMS are refused.
    // (Re)reads ./data/equip.txt into items; a missing or damaged file is reported once and the
    // records not read stay. Called for both members at start-up and after a game is loaded.
    void GetInfo();
    // Refreshes the worn items' names from the database. Called by the inventory screens and the shop.
    void UpdateEquip();
    // Refreshes name, type, damage and armour of the filled slots. Called by the status menu.
    void UpdateInventory();
    // Puts the item into the lowest empty slot; false (with a message when full) if it cannot. Called by the shop.
    bool AddObject(int id);
    // Takes the object of map event event_index into the lowest empty slot and off the map. Called by the use key.
    void PickupObject(int event_index);
    // Lays the slot's item on the ground at the character's feet (taking it off first). Called by the item menu.
    void DropObject(int slot);
    // Wears item id held in slot, taking off what is worn of its type; ac and damage follow. Called by the item menu.
    void WearObject(int id, int slot);
    // Takes off the item worn in slot; ac and damage follow. Called by WearObject, DropObject and GiveObject.
    void RemoveObject(int slot);
    // Hands the slot's item to `to` (taking it off first); "The other player's inventory is full!" and
    // false when `to` has no room. Called by the item menu's "Give to Other PC".
    bool GiveObject(int slot, CPlayer& to);
};

// Writes the saved game "player.sav": written whole beside it, flushed to the disk, then renamed
// over it, so the last save survives any failure. False when it could not, with `problem` a
// sentence for the player naming the file and the reason. Called at save points and by chests.
bool SaveGame(std::string& problem);
// Reads "player.sav" and checks all of it before anything changes; then puts the party, the
// played scenes, the quest word and the opened chests in place and enters the saved map (the
// item lists and shop pictures read again, the map's NPCs placed). False with nothing changed
// when the file is missing, damaged or names a map that cannot be read, with `problem` a
// sentence naming the file and the reason. Called by the title menu.
bool LoadGame(std::string& problem);
