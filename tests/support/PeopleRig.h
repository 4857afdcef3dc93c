// The fixture of the NPC, dialogue, menu, item, event and quest tests: GameRig plus a grey text box and item records.
#pragma once

#include "CNpc.h"
#include "ScriptHost.h"

// GameRig with what talking and trading need: an 80-pixel grey text box, both members' item
// databases filled with plain records ("item1" to "item35"), the companion named, and a
// grace of 400 ticks after the script so a screen called directly may finish its frames.
class PeopleRig : public GameRig {
protected:
    void SetUp() override;
    void TearDown() override;

    // `map` w x h tiles, two layers, all walkable, named "test.map".
    void MakeMap(int w, int h);
    // Also marks the tile's layer-1 event flag, as the map tools do; returns the event's index.
    int AddEvent(int c, int r, int type, int quest = 0);
    CNpc& PlaceNpc(unsigned int x, unsigned int y, int id = 1);
    // Record id (1-based) of `map.npc_info` as a plain talker, one default entry after it as the reader leaves it.
    CNpcInfo& Talker(int id, const char* name, const char* talk);
    // Item record id (1-based) in both members' databases.
    void Item(int id, const char* name, int type, int damage, int armour);
};
