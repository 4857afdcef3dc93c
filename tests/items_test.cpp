// Inventory and equipment: picking up, dropping, wearing and taking off items, and the checks on item ids.
#include <gtest/gtest.h>

#include "CDisplay.h"
#include "CMain.h"
#include "CMap.h"
#include "CMenu.h"
#include "CPlayer.h"
#include "Interaction.h"
#include "PeopleRig.h"
#include "Quests.h"
#include "TempDir.h"
#include "Timing.h"

namespace {

class Items : public PeopleRig {
protected:
    void SetUp() override {
        PeopleRig::SetUp();
        MakeMap(10, 10);
        Item(1, "Helm", IT_HEAD, 0, 2);
        Item(2, "Cap", IT_HEAD, 0, 1);
        Item(3, "Sword", IT_WEAPON, 3, 0);
        Item(4, "Potion", IT_USABLE, 0, 0);
        Item(5, "Odd", 5, 9, 9);
        player[0].x = 32;
        player[0].y = 48;
    }
    void Object(int c, int r, int id) {
        AddEvent(c, r, EV_OBJECT, id);
        map.tiles[1][r][c].tile = OBJECT_TILE;
    }
};

TEST_F(Items, WearingASecondHelmetTakesTheFirstOffAtOnce) {
    CPlayer& p = player[0];
    p.inv[0].id = 1;
    p.inv[1].id = 2;
    p.inv[2].id = 3;
    p.WearObject(1, 0);
    EXPECT_EQ(p.ac, 2);
    p.WearObject(3, 2);
    EXPECT_EQ(p.damage, 4);
    p.WearObject(2, 1);
    EXPECT_FALSE(p.inv[0].equipped);
    EXPECT_TRUE(p.inv[1].equipped);
    EXPECT_EQ(p.equip[IT_HEAD].id, 2);
    EXPECT_EQ(p.ac, 1);
    p.RemoveObject(2);
    EXPECT_EQ(p.damage, 1);
    EXPECT_EQ(p.equip[IT_WEAPON].id, 0);
    p.UpdateEquip();
    EXPECT_EQ(p.equip[IT_HEAD].name, "Cap");
}

TEST_F(Items, UnwearableTypesOnlyRecomputeAndBadIdsAreRefused) {
    CPlayer& p = player[0];
    p.inv[0].id = 5;
    p.inv[1].id = 4;
    p.base_damage = 3;
    p.WearObject(5, 0);
    p.WearObject(4, 1);
    EXPECT_FALSE(p.inv[0].equipped);
    EXPECT_EQ(p.damage, 3);
    for (const CEquip& e : p.equip) EXPECT_EQ(e.id, 0);
    p.WearObject(0, 0);
    p.WearObject(36, 0);
    p.WearObject(4, 12);
    p.inv[2].id = 99;  // from a damaged saved game
    p.UpdateInventory();
    EXPECT_TRUE(p.inv[2].name.empty());
    EXPECT_EQ(p.inv[1].name, "Potion");
}

TEST_F(Items, AddObjectFillsTheLowestSlotAndRefusesWhenFull) {
    CPlayer& p = player[0];
    p.inv[0].id = 3;
    EXPECT_TRUE(p.AddObject(4));
    EXPECT_EQ(p.inv[1].id, 4);
    EXPECT_FALSE(p.AddObject(0));
    EXPECT_FALSE(p.AddObject(36));
    EXPECT_TRUE(script.said.empty());
    for (CInv& s : p.inv) s.id = 1;
    script.Space();
    EXPECT_FALSE(p.AddObject(4));
    ASSERT_EQ(script.said.size(), 1u);
    EXPECT_EQ(script.said[0].second, "You don't have any room in your inventory!");
}

TEST_F(Items, DropThenPickUpLeavesTheCellClean) {
    CPlayer& p = player[0];
    p.inv[3].id = 3;
    p.WearObject(3, 3);
    p.DropObject(3);
    EXPECT_EQ(p.damage, 1);  // the dropped sword no longer counts
    EXPECT_EQ(p.inv[3].id, 0);
    ASSERT_EQ(map.num_events, 1u);
    EXPECT_EQ(map.events[0].x, 2);
    EXPECT_EQ(map.events[0].y, 3);
    EXPECT_EQ(map.events[0].quest, 3);
    EXPECT_EQ(map.tiles[1][3][2].tile, OBJECT_TILE);
    p.PickupObject(0);
    EXPECT_EQ(p.inv[0].id, 3);
    EXPECT_EQ(map.num_events, 0u);
    EXPECT_EQ(map.tiles[1][3][2].tile, 0);
    EXPECT_EQ(map.tiles[1][3][2].flags & TF_EVENT, 0);
}

TEST_F(Items, TwoObjectsOnACellKeepTheMarkerUntilTheLastIsTaken) {
    Object(4, 4, 1);
    Object(4, 4, 2);
    player[0].PickupObject(1);
    EXPECT_EQ(map.tiles[1][4][4].flags & TF_EVENT, TF_EVENT);
    EXPECT_EQ(map.events.size(), 1u);
    player[0].PickupObject(0);
    EXPECT_EQ(map.tiles[1][4][4].flags & TF_EVENT, 0);
    EXPECT_EQ(player[0].inv[0].id, 2);
    EXPECT_EQ(player[0].inv[1].id, 1);
}

TEST_F(Items, PickingUpNothingOrIntoAFullPackSaysNotEnoughRoom) {
    Object(1, 1, 0);
    Object(2, 2, 40);
    script.Space(2);
    player[0].PickupObject(0);
    player[0].PickupObject(1);
    player[0].PickupObject(7);  // no such event
    EXPECT_EQ(map.num_events, 2u);
    ASSERT_EQ(script.said.size(), 2u);
    EXPECT_EQ(script.said[0].second, "Not enough room!");
    EXPECT_EQ(player[0].inv[0].id, 0);
}

TEST_F(Items, DroppingOffTheMapKeepsTheEventButTouchesNoCell) {
    player[0].x = 500;
    player[0].inv[0].id = 1;
    player[0].DropObject(0);
    EXPECT_EQ(map.num_events, 1u);
    player[0].DropObject(0);  // empty now: nothing more
    EXPECT_EQ(map.num_events, 1u);
}

TEST_F(Items, GivingAWornSwordTakesItOffAndFillsTheOthersLowestSlot) {
    CPlayer& p = player[0];
    p.inv[2].id = 3;
    p.WearObject(3, 2);
    EXPECT_EQ(p.damage, 4);
    player[1].inv[0].id = 4;
    EXPECT_TRUE(p.GiveObject(2, player[1]));
    EXPECT_EQ(p.damage, 1);
    EXPECT_EQ(p.equip[IT_WEAPON].id, 0);
    EXPECT_EQ(p.inv[2].id, 0);
    EXPECT_EQ(player[1].inv[1].id, 3);
    EXPECT_FALSE(player[1].inv[1].equipped);
    EXPECT_FALSE(p.GiveObject(2, player[1]));  // the slot is empty now
}

TEST_F(Items, GivingToAFullPackChangesNeither) {
    player[0].inv[0].id = 1;
    for (CInv& s : player[1].inv) s.id = 4;
    script.Space();
    EXPECT_FALSE(player[0].GiveObject(0, player[1]));
    EXPECT_EQ(script.said.back().second, "The other player's inventory is full!");
    EXPECT_EQ(player[0].inv[0].id, 1);
    EXPECT_EQ(player[1].inv[0].id, 4);
}

}  // namespace
