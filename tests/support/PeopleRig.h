// The fixture of the NPC, dialogue, menu, item, event and quest tests: GameRig plus a grey text box and item records.
#pragma once

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
    // Sets item record id (1-based) in both members' databases.
    void Item(int id, const char* name, int type, int damage, int armour);
};
