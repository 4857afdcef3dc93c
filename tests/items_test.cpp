// Inventory and equipment: wearing, taking off, picking up and dropping items, and untrusted item ids.
#include <tuple>

#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "PeopleRig.h"

namespace {

class Items : public PeopleRig {
protected:
    CPlayer& p = player[0];
    void SetUp() override {
        PeopleRig::SetUp();
        MakeMap(10, 10);
        Item(1, "Helm", IT_HEAD, 0, 2);
        Item(2, "Cap", IT_HEAD, 0, 1);
        Item(3, "Sword", IT_WEAPON, 3, 0);
        Item(5, "Odd", 5, 9, 9);
        p.x = 32, p.y = 48;
    }
};

// A second helmet takes the first off; unwearable types, bad slots and ids from a damaged save are refused.
TEST_F(Items, WearingASecondHelmetTakesTheFirstOffAndUnwearablesAreRefused) {
    p.inv[0].id = 1, p.inv[1].id = 2, p.inv[2].id = 3;
    p.WearObject(1, 0), p.WearObject(3, 2), p.WearObject(2, 1);
    EXPECT_EQ(std::make_tuple((bool)p.inv[0].equipped, p.ac, p.damage), std::make_tuple(false, 1, 4));
    p.RemoveObject(2);
    EXPECT_EQ(std::make_pair(p.damage, p.equip[IT_WEAPON].id), std::make_pair(1, 0));
    p.inv[3].id = 5, p.inv[4].id = 99;
    p.WearObject(5, 3), p.WearObject(1, 12), p.UpdateInventory();
    EXPECT_EQ(std::make_tuple((bool)p.inv[3].equipped, p.damage, p.equip[IT_HEAD].id), std::make_tuple(false, 1, 2));
    EXPECT_TRUE(p.inv[4].name.empty());
}

// Ids 1 to 35 name the items, the last one too: each can be bought, worn and picked up. Other ids are refused.
TEST_F(Items, EveryIdUpToTheLastItemIsAnItemAndNoOther) {
    Item(35, "Crown", IT_HEAD, 0, 4);
    for (const auto& [id, item] : {std::pair{1, true}, {35, true}, {0, false}, {36, false}, {-1, false}}) {
        for (CInv& s : p.inv) s = CInv();
        EXPECT_EQ(p.AddObject(id), item) << id;
        p.WearObject(id, 0);
        EXPECT_EQ(p.inv[0].equipped, item) << id;
        map = CMap();
        MakeMap(10, 10);
        AddEvent(2, 3, EV_OBJECT, id);
        script.Clear().Space(item ? 0 : 1);  // "Not enough room!"
        p.PickupObject(0);
        EXPECT_EQ(std::make_pair(map.num_events, p.inv[1].id), std::make_pair(item ? 0u : 1u, item ? id : 0)) << id;
    }
}

TEST_F(Items, DropThenPickUpLeavesTheCellClean) {
    p.inv[3].id = 3;
    p.WearObject(3, 3);
    p.DropObject(3);
    EXPECT_EQ(std::make_tuple(p.damage, map.num_events, map.tiles[1][3][2].tile), std::make_tuple(1, 1u, OBJECT_TILE));
    p.PickupObject(0);
    EXPECT_EQ(std::make_tuple(p.inv[0].id, map.num_events, map.tiles[1][3][2].flags & TF_EVENT), std::make_tuple(3, 0u, 0));
    p.PickupObject(7);  // no such event
    p.x = 500;          // off the map: the event is kept, no cell touched
    p.DropObject(0);
    EXPECT_EQ(map.num_events, 1u);
}

}  // namespace
