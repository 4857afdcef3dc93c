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

    // Makes `map` w x h tiles with two layers, everything walkable, named "test.map".
    void MakeMap(int w, int h);
    // Adds an event of this type and quest field on tile (c, r) of `map`, marks the tile's
    // layer-1 event flag (as the map tools do) and counts it; returns its index.
    int AddEvent(int c, int r, int type, int quest = 0);
    // Puts an NPC with this record id at pixel (x, y) on `map` and counts it; returns it.
    CNpc& PlaceNpc(unsigned int x, unsigned int y, int id = 1);
    // Makes record id (1-based) of `map.npc_info` a plain talker ("none") with these words,
    // growing the list so one default entry follows it, as the list reader leaves it.
    CNpcInfo& Talker(int id, const char* name, const char* talk);
    // Sets item record id (1-based) in both members' databases.
    void Item(int id, const char* name, int type, int damage, int armour);
};
