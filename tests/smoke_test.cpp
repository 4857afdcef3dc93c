// The rig itself: the library is up without a display and the data model starts at its defaults.
#include <gtest/gtest.h>

#include "CMap.h"
#include "CPlayer.h"

TEST(Rig, DefaultsBeforeAnyGameCode) {
    EXPECT_EQ(player[0].won_battles.size(), 25u);
    EXPECT_EQ(level_table[2], 6);
    EXPECT_EQ(map.name, "NULL");
}
