// The fixture of the NPC, dialogue, menu, item, event and quest tests.
#include "PeopleRig.h"

#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "Interaction.h"
#include "MapBuild.h"

void PeopleRig::SetUp() {
    GameRig::SetUp();
    script.Grace(400);
    text_box = create_bitmap(640, 80);
    clear_to_color(text_box, makecol(192, 192, 192));
    player[1].name = "Miresa";
    for (int k = 0; k < MAX_ITEMS; ++k)
        for (CPlayer& p : player) {
            p.items[k] = CInv();
            p.items[k].id = k + 1;
            p.items[k].name = "item" + std::to_string(k + 1);
        }
}

void PeopleRig::TearDown() {
    destroy_bitmap(text_box);
    text_box = nullptr;
    GameRig::TearDown();
}

void PeopleRig::MakeMap(int w, int h) {
    make_map(map, (unsigned int)w, (unsigned int)h, false);
    map.name = "test.map";
}

int PeopleRig::AddEvent(int c, int r, int type, int quest) {
    add_event(map, c, r, type, quest);
    map.tiles[1][r][c].flags |= TF_EVENT;
    return (int)map.events.size() - 1;
}

CNpc& PeopleRig::PlaceNpc(unsigned int x, unsigned int y, int id) { return place_npc(map, x, y, id); }

CNpcInfo& PeopleRig::Talker(int id, const char* name, const char* talk) {
    if (map.npc_info.size() < (size_t)id + 1) map.npc_info.resize((size_t)id + 1);
    CNpcInfo& r = map.npc_info[(size_t)id - 1];
    r.name = name;
    r.script = "none";
    r.talk = talk;
    return r;
}

void PeopleRig::Item(int id, const char* name, int type, int damage, int armour) {
    for (CPlayer& p : player) {
        CInv& r = p.items[id - 1];
        r.name = name;
        r.id = id;
        r.type = type;
        r.damage = damage;
        r.armour = armour;
    }
}
