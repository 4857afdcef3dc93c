// The field's actions on the map: map event actions, the use key (objects, chests, events and NPCs) and the NPC wander.
#include <climits>
#include <string>

#include "CMain.h"
#include "CMap.h"
#include "CMenu.h"
#include "CPlayer.h"
#include "Grid.h"
#include "Host.h"
#include "Interaction.h"
#include "Quests.h"
#include "Rolls.h"

// Price of a night at the inn, paid from the party's purse.
constexpr int INN_PRICE = 5;

namespace {

bool cell_has(unsigned int layer, long long c, long long r, int flag) {
    // Cells past the int range lie off every map.
    if (c < INT_MIN || c > INT_MAX || r < INT_MIN || r > INT_MAX) return false;
    const CTile* t = map.Cell(layer, (int)c, (int)r);
    return t && (t->flags & flag);
}

// How many events may be looked at now: the count, never past the list.
unsigned int event_count() { return map.num_events < map.events.size() ? map.num_events : (unsigned int)map.events.size(); }

void open_shop(int number) {
    // Shop numbers come from the map file; one outside the shop list would index past it.
    if (number < 0 || number >= MAX_SHOPS) {
        show_message("Error: the map %s names shop %d; there are shops 0 to %d only.", map.name.c_str(), number,
                     MAX_SHOPS - 1);
        return;
    }
    // The member the player has chosen shops; the party's purse pays.
    CPlayer& shopper = player[App.selected_pc == 1 ? 1 : 0];
    shopper.shop.Shop(number, shopper);
}

void inn(const CEvent& e) {
    if (!menu.Choice(Talk(e.speaker, e.text, true))) {
        Talk(e.speaker, "Piss off then!");
    } else if (player[0].gold >= INN_PRICE) {
        Talk("", "After a good nights sleep, your wounds have been healed.");
        player[0].gold -= INN_PRICE;
        player[0].hp = player[0].max_hp;
        player[1].hp = player[1].max_hp;
    } else {
        Talk("", "You don't have enough money to stay here!");
    }
}

void flip_switch(int index) {
    CEvent& e = map.events[index];
    int delta;
    if (!e.done) {
        e.done = true;
        delta = 1;
        Talk("", "You turn the switch off.");
    } else {
        e.done = false;
        delta = -1;
        Talk("", "You turn the switch on.");
    }
    // The box does not touch the events, but look the event up again all the same.
    if ((size_t)index >= map.events.size()) return;
    const CEvent& s = map.events[index];
    if (CTile* t = map.Cell(0, s.x, s.y)) t->tile += delta;
    quest.ProcessQuest(s.quest);
}

// Whether an opened-chest record is the free one at the end of the list.
bool free_record(const CEventCheck& c) { return c.x == 0 && c.map.empty(); }

// Opens the chest of event `index` under the hero: its find laid at his feet and the chest
// recorded as opened. False when it was opened before.
bool open_chest(int index) {
    const CEvent chest = map.events[index];
    std::vector<CEventCheck>& checks = player[0].event_checks;
    for (const CEventCheck& c : checks)
        if (!free_record(c) && c.map == map.name && c.x == chest.x && c.y == chest.y) return false;  // opened before

    size_t slot = 0;
    while (slot < checks.size() && !free_record(checks[slot])) ++slot;
    if (slot == checks.size()) checks.emplace_back();  // a list from a damaged save may lack its free record

    const int item = chest.quest;
    if (item >= 1 && item <= MAX_ITEMS) {
        for (const CInv& it : player[0].items)
            if (it.id == item) {
                Talkf("", "You find %s!", it.name.c_str());
                break;
            }
    }

    const int c = map.tile_w > 0 ? (int)(player[0].x / (unsigned int)map.tile_w) : 0;
    const int r = map.tile_h > 0 ? (int)(player[0].y / (unsigned int)map.tile_h) : 0;
    CEvent found;
    found.x = c;
    found.y = r;
    found.type = EV_OBJECT;
    found.quest = item;
    map.PlaceObject(found);

    // The record keeps the chest's own tile, which is what the opened test above compares,
    // so the chest stays open whichever corner of the hero stood on it.
    checks[slot].map = map.name;
    checks[slot].x = chest.x;
    checks[slot].y = chest.y;
    checks.emplace_back();
    return true;
}

// The automatic save of an opened chest.
void save_after_chest() {
    std::string problem;
    if (!SaveGame(problem)) Talk("", problem);
}

// A cell of the character grid.
struct GridCell {
    long long c, r;
};

bool on_tiles(const CEvent& e, const GridCell* tiles, int n) {
    for (int k = 0; k < n; ++k)
        if (e.x == tiles[k].c && e.y == tiles[k].r) return true;
    return false;
}

void use_under_hero() {
    const CellSpan s = cells_under(player[0].x, player[0].y);
    const GridCell tiles[4] = {{s.c0, s.r0}, {s.c1, s.r0}, {s.c0, s.r1}, {s.c1, s.r1}};
    bool marked = false;
    for (const GridCell& t : tiles) marked = marked || cell_has(1, t.c, t.r, TF_EVENT);
    if (!marked) return;
    bool opened = false;
    for (unsigned int i = 0; i < event_count(); ++i) {
        const CEvent e = map.events[i];
        if (!on_tiles(e, tiles, 4)) continue;
        if (e.type & EV_OBJECT) {
            player[App.selected_pc].PickupObject((int)i);
            break;
        }
        if (e.type & EV_TALK) Talk(e.speaker, e.text);
        if ((e.type & EV_CHEST) && i < map.events.size()) opened = open_chest((int)i) || opened;
    }
    // Saved once the find is in the pack: a save between opening and picking up would hold the
    // chest opened and the find nowhere (the map's objects are not saved), losing it on a load.
    if (opened) save_after_chest();
}

}  // namespace

void HandleEvents(int index) {
    // Each bit reads the event afresh: an action may change the list.
    auto ev = [index]() -> const CEvent* {
        return index >= 0 && (size_t)index < map.events.size() ? &map.events[index] : nullptr;
    };
    const CEvent* e = ev();
    if (!e) return;
    if (e->type & EV_TALK) Talk(e->speaker, e->text);
    if ((e = ev()) && (e->type & EV_SHOP)) {
        Talk(e->speaker, e->text);
        open_shop(e->quest);
    }
    if ((e = ev()) && (e->type & EV_INN)) inn(CEvent(*e));
    if ((e = ev()) && (e->type & EV_SAVE)) {
        if (!menu.ClericChoice(Talk(e->speaker, e->text, true))) {
            std::string problem;
            Talk("", SaveGame(problem) ? "You successfully saved!" : problem);
        }
    }
    if ((e = ev()) && (e->type & EV_SWITCH)) flip_switch(index);
    if ((e = ev()) && (e->type & EV_TRAINER)) menu.TrainerChoice(Talk(e->speaker, e->text, true));
}

void FieldUseAction() {
    use_under_hero();

    // The two cells just past the side the hero faces, and the point one square ahead.
    const CellSpan s = cells_under(player[0].x, player[0].y);
    GridCell ahead[2];
    switch (player[0].facing) {
    case DIR_UP: ahead[0] = {s.c0, s.r0 - 1}, ahead[1] = {s.c1, s.r0 - 1}; break;
    case DIR_DOWN: ahead[0] = {s.c0, s.r1 + 1}, ahead[1] = {s.c1, s.r1 + 1}; break;
    case DIR_RIGHT: ahead[0] = {s.c1 + 1, s.r0}, ahead[1] = {s.c1 + 1, s.r1}; break;
    case DIR_LEFT: ahead[0] = {s.c0 - 1, s.r0}, ahead[1] = {s.c0 - 1, s.r1}; break;
    default: return;  // not facing anywhere yet
    }
    const Offset o = dir_offset(player[0].facing);
    const int px = (int)player[0].x + o.dx * CELL, py = (int)player[0].y + o.dy * CELL;
    if (cell_has(1, ahead[0].c, ahead[0].r, TF_EVENT) || cell_has(1, ahead[1].c, ahead[1].r, TF_EVENT)) {
        for (unsigned int i = 0; i < event_count(); ++i) {
            const CEvent& e = map.events[i];
            if (!on_tiles(e, ahead, 2)) continue;
            if (e.type & EV_OBJECT) {
                player[App.selected_pc].PickupObject((int)i);
                break;
            }
            HandleEvents((int)i);
        }
    }
    map.InteractNpcs(px, py);
}

namespace {

// Whether NPC i may stand at (nx, ny): not on the hero (the companion walks on him) and not on another NPC.
bool wander_clear(unsigned int i, long long nx, long long ny) {
    if (squares_overlap(nx, ny, player[0].x, player[0].y)) return false;
    for (unsigned int k = 0; k < map.num_npcs && k < map.npcs.size(); ++k)
        if (k != i && squares_overlap(nx, ny, map.npcs[k].x, map.npcs[k].y)) return false;
    return true;
}

}  // namespace

void FieldNpcWander() {
    for (unsigned int i = 0; i < map.num_npcs && i < map.npcs.size(); ++i) {
        CNpc& n = map.npcs[i];
        if (++App.timer > 30) {
            n.frame = n.frame == 1 ? 0 : 1;
            App.timer = 0;
        }
        const long long nx = n.x, ny = n.y, last = CELL - 1;
        // Each NPC walks only onto walkway tiles, one pixel a pass, and waits while the
        // hero or another NPC stands in its way; a blocked NPC keeps its direction.
        if (n.dir == DIR_RIGHT && cell_has(0, cell_of(nx) + 1, cell_of(ny), TF_WALKWAY)) {
            if (wander_clear(i, nx + 1, ny)) n.x++;
        } else if (n.dir == DIR_LEFT && cell_has(0, cell_of(nx + last) - 1, cell_of(ny), TF_WALKWAY)) {
            if (nx > 0 && wander_clear(i, nx - 1, ny)) n.x--;
        } else if (n.dir == DIR_UP && cell_has(0, cell_of(nx), cell_of(ny + last) - 1, TF_WALKWAY)) {
            if (ny > 0 && wander_clear(i, nx, ny - 1)) n.y--;
        } else if (n.dir == DIR_DOWN && cell_has(0, cell_of(nx), cell_of(ny) + 1, TF_WALKWAY)) {
            if (wander_clear(i, nx, ny + 1)) n.y++;
        } else {
            n.dir = roll(50) + 1;
        }
    }
}
