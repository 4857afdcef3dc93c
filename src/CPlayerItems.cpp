// The item database, inventory and equipment of a party member.
#include <string>

#include "CMap.h"
#include "CPlayer.h"
#include "Grid.h"
#include "Host.h"
#include "Interaction.h"
#include "TextLists.h"

// Where both party members read their copy of the item database.
static const char* const ITEM_LIST_FILE = "./data/equip.txt";

std::string item_list_problem;

// Whether an id names a record of the item database (0 is the empty slot, not an item).
static bool valid_item(int id) { return id >= 1 && id <= MAX_ITEMS; }

void CPlayer::GetInfo() {
    std::string text;
    std::string problem;
    if (!read_text_file(ITEM_LIST_FILE, text)) {
        problem = std::string("Error: couldn't read the item list ") + ITEM_LIST_FILE + "; the items stay as they were.";
    } else {
        int count = 0;
        ListReadResult r = parse_equip_list(text, items, count);
        if (r.ok()) {
            item_list_problem.clear();
            return;
        }
        problem = std::string("Error: the item list ") + ITEM_LIST_FILE + " is damaged (" + r.error + "); " +
                  std::to_string(count) + " items were read, the others stay as they were.";
    }
    if (problem != item_list_problem) show_message("%s", problem.c_str());
    item_list_problem = problem;
}

void CPlayer::UpdateEquip() {
    for (CEquip& e : equip)
        if (valid_item(e.id)) e.name = items[e.id - 1].name;
}

void CPlayer::UpdateInventory() {
    for (CInv& s : inv) {
        // An id from a damaged saved game names no record; leave such a slot alone.
        if (!valid_item(s.id)) continue;
        const CInv& rec = items[s.id - 1];
        s.name = rec.name;
        s.type = rec.type;
        s.damage = rec.damage;
        s.armour = rec.armour;
    }
}

bool CPlayer::AddObject(int id) {
    if (!valid_item(id)) return false;  // a shop row naming no item sells nothing
    for (CInv& s : inv) {
        if (s.id == 0) {
            s.id = id;
            return true;
        }
    }
    Talk("", "You don't have any room in your inventory!");
    return false;
}

void CPlayer::PickupObject(int event_index) {
    if (event_index < 0 || (size_t)event_index >= map.events.size()) return;
    const int id = map.events[event_index].quest;
    CInv* free_slot = nullptr;
    for (CInv& s : inv)
        if (s.id == 0) {
            free_slot = &s;
            break;
        }
    if (!valid_item(id) || !free_slot) {
        Talk("", "Not enough room!");
        return;
    }
    *free_slot = CInv();
    free_slot->id = id;

    const int c = map.events[event_index].x, r = map.events[event_index].y;
    map.events.erase(map.events.begin() + event_index);
    if (map.num_events > 0) map.num_events--;

    for (const CEvent& e : map.events)
        if ((e.type & EV_OBJECT) && e.x == c && e.y == r) return;  // another object still lies here
    if (CTile* cell = map.Cell(1, c, r)) {
        cell->flags &= ~TF_EVENT;
        cell->tile = 0;
    }
}

void CPlayer::DropObject(int slot) {
    if (slot < 0 || slot >= INV_SLOTS || inv[slot].id == 0) return;
    if (inv[slot].equipped) RemoveObject(slot);
    CEvent e;
    e.x = (int)cell_of(x);
    e.y = (int)cell_of(y);
    e.type = EV_OBJECT;
    e.quest = inv[slot].id;
    map.PlaceObject(e);
    inv[slot] = CInv();
}

void CPlayer::WearObject(int id, int slot) {
    if (valid_item(id) && slot >= 0 && slot < INV_SLOTS && inv[slot].id == id) {
        // Take the values from the database now, so that ac and damage follow at once
        // even when the slot has not been refreshed since it was filled.
        const CInv& rec = items[id - 1];
        inv[slot].name = rec.name;
        inv[slot].type = rec.type;
        inv[slot].damage = rec.damage;
        inv[slot].armour = rec.armour;
        const int t = rec.type;
        if (t >= 0 && t < EQUIP_SLOTS) {
            for (int i = 0; i < INV_SLOTS; ++i)
                if (inv[i].equipped && inv[i].type == t) RemoveObject(i);
            equip[t].id = id;
            inv[slot].equipped = true;
        }
    }
    UpdateStats();
}

void CPlayer::RemoveObject(int slot) {
    if (slot < 0 || slot >= INV_SLOTS) return;
    const int t = inv[slot].type;
    if (t >= 0 && t < EQUIP_SLOTS) {
        equip[t].id = 0;
        equip[t].name.clear();
    }
    inv[slot].equipped = false;
    UpdateStats();
}

bool CPlayer::GiveObject(int slot, CPlayer& to) {
    if (slot < 0 || slot >= INV_SLOTS || inv[slot].id == 0 || &to == this) return false;
    CInv* free_slot = nullptr;
    for (CInv& s : to.inv)
        if (s.id == 0) {
            free_slot = &s;
            break;
        }
    if (!free_slot) {
        Talk("", "The other player's inventory is full!");
        return false;
    }
    if (inv[slot].equipped) RemoveObject(slot);
    *free_slot = CInv();
    free_slot->id = inv[slot].id;
    inv[slot] = CInv();
    UpdateEquip();
    UpdateInventory();
    return true;
}
