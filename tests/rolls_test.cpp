// The one source of rolls: a scripted result reaches each rule that draws one, in the rule's range.
#include <gtest/gtest.h>

#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "MapBuild.h"
#include "Quests.h"
#include "Rolls.h"
#include "ScriptHost.h"

TEST_F(GameRig, ScriptedRollsReachTheRulesThatDrawThem) {
    // A standing NPC with no walkway around it draws its next wander direction: raw % 50 + 1.
    make_map(map, 10, 10, false);
    place_npc(map, 64, 64).dir = 9;
    script_rolls({152});
    FieldNpcWander();
    EXPECT_EQ(map.npcs[0].dir, 3);

    // Five attributes of 10..18, then the hit points of 8..10, in that order.
    script_rolls({0, 8, 17, 4, 13, 5});
    player[0].InitStats();
    const int rolled[] = {player[0].str, player[0].wis, player[0].intel, player[0].con, player[0].cha,
                          player[0].max_hp};
    const int expected[] = {10, 18, 18, 14, 14, 10};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(rolled[i], expected[i]) << i;

    // A monster picks its target between the two members once the companion has joined.
    CNpc monster;
    script_rolls({7});
    monster.UpdateTargets();
    EXPECT_EQ(monster.target, 0);  // no companion: nothing drawn, the scripted 7 waits
    quest.flags = QF_COMPANION;
    monster.UpdateTargets();
    EXPECT_EQ(monster.target, 1);
}
