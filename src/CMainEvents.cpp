// The field's actions on the map: map event actions, the use key (objects, chests, events and NPCs) and the NPC wander.
#include <cstdlib>
#include <string>

#include "CMain.h"
#include "CMap.h"
#include "CMenu.h"
#include "CPlayer.h"
#include "Host.h"
#include "Interaction.h"
#include "Quests.h"

// Price of a night at the inn, paid from the party's purse.
constexpr int INN_PRICE = 5;
// Pixels of the fixed grid the use action and the wander work on.
constexpr int GRID = 16;

namespace {

bool cell_has(unsigned int layer, int c, int r, int flag) {
    const CTile* t = map.Cell(layer, c, r);
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
    // The buying screen opens here for player[App.selected_pc] once the shop screen is in the game.
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

void open_chest(int index) {
    const CEvent chest = map.events[index];
    std::vector<CEventCheck>& checks = player[0].event_checks;
    for (const CEventCheck& c : checks)
        if (!free_record(c) && c.map == map.name && c.x == chest.x && c.y == chest.y) return;  // opened before

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
    std::string problem;
    if (!SaveGame(problem)) Talk("", problem);
}

bool on_tiles(const CEvent& e, const int (*tiles)[2], int n) {
    for (int k = 0; k < n; ++k)
        if (e.x == tiles[k][0] && e.y == tiles[k][1]) return true;
    return false;
}

void use_under_hero() {
    const int x = (int)player[0].x, y = (int)player[0].y;
    const int tiles[4][2] = {{x / GRID, y / GRID}, {(x + 15) / GRID, y / GRID}, {x / GRID, (y + 15) / GRID},
                             {(x + 15) / GRID, (y + 15) / GRID}};
    bool marked = false;
    for (const auto& t : tiles) marked = marked || cell_has(1, t[0], t[1], TF_EVENT);
    if (!marked) return;
    for (unsigned int i = 0; i < event_count(); ++i) {
        const CEvent e = map.events[i];
        if (!on_tiles(e, tiles, 4)) continue;
        if (e.type & EV_OBJECT) {
            player[App.selected_pc].PickupObject((int)i);
            return;
        }
        if (e.type & EV_TALK) Talk(e.speaker, e.text);
        if ((e.type & EV_CHEST) && i < map.events.size()) open_chest((int)i);
    }
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

    const int x = (int)player[0].x, y = (int)player[0].y;
    int ahead[2][2];
    int px, py;
    switch (player[0].facing) {
    case 1:
        ahead[0][0] = x / GRID, ahead[1][0] = (x + 15) / GRID;
        ahead[0][1] = ahead[1][1] = y / GRID - 1;
        px = x, py = y - GRID;
        break;
    case 2:
        ahead[0][0] = x / GRID, ahead[1][0] = (x + 15) / GRID;
        ahead[0][1] = ahead[1][1] = (y + 15) / GRID + 1;
        px = x, py = y + GRID;
        break;
    case 3:
        ahead[0][0] = ahead[1][0] = (x + 15) / GRID + 1;
        ahead[0][1] = y / GRID, ahead[1][1] = (y + 15) / GRID;
        px = x + GRID, py = y;
        break;
    case 4:
        ahead[0][0] = ahead[1][0] = x / GRID - 1;
        ahead[0][1] = y / GRID, ahead[1][1] = (y + 15) / GRID;
        px = x - GRID, py = y;
        break;
    default:
        return;  // not facing anywhere yet
    }
    if (cell_has(1, ahead[0][0], ahead[0][1], TF_EVENT) || cell_has(1, ahead[1][0], ahead[1][1], TF_EVENT)) {
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

// Whether two 16-pixel characters at these positions overlap.
bool touch(long ax, long ay, long bx, long by) { return labs(ax - bx) < GRID && labs(ay - by) < GRID; }

// Whether NPC i may stand at (nx, ny): not on the hero (the companion walks on him) and not on another NPC.
bool wander_clear(unsigned int i, long nx, long ny) {
    if (touch(nx, ny, player[0].x, player[0].y)) return false;
    for (unsigned int k = 0; k < map.num_npcs && k < map.npcs.size(); ++k)
        if (k != i && touch(nx, ny, map.npcs[k].x, map.npcs[k].y)) return false;
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
        const long nx = n.x, ny = n.y;
        // Each NPC walks only onto walkway tiles, one pixel a pass, and waits while the
        // hero or another NPC stands in its way; a blocked NPC keeps its direction.
        if (n.dir == 3 && cell_has(0, (int)(nx / GRID + 1), (int)(ny / GRID), TF_WALKWAY)) {
            if (wander_clear(i, nx + 1, ny)) n.x++;
        } else if (n.dir == 4 && cell_has(0, (int)((nx + 15) / GRID - 1), (int)(ny / GRID), TF_WALKWAY)) {
            if (nx > 0 && wander_clear(i, nx - 1, ny)) n.x--;
        } else if (n.dir == 1 && cell_has(0, (int)(nx / GRID), (int)((ny + 15) / GRID - 1), TF_WALKWAY)) {
            if (ny > 0 && wander_clear(i, nx, ny - 1)) n.y--;
        } else if (n.dir == 2 && cell_has(0, (int)(nx / GRID), (int)(ny / GRID + 1), TF_WALKWAY)) {
            if (wander_clear(i, nx, ny + 1)) n.y++;
        } else {
            n.dir = rand() % 50 + 1;
        }
    }
}
