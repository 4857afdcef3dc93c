// The one source of rolls: a scripted result reaches each rule that draws one, in the rule's range.
#include "CMain.h"
#include "CMap.h"
#include "CPlayer.h"
#include "MapBuild.h"
#include "Quests.h"
#include "Rolls.h"
#include "ScriptHost.h"

TEST_F(GameRig, ScriptedRollsReachTheRulesThatDrawThem) {
    make_map(map, 10, 10, false);  // a standing NPC with no walkway round it draws its next wander direction: raw % 50 + 1
    place_npc(map, 64, 64).dir = 9;
    script_rolls({152});
    FieldNpcWander();
    EXPECT_EQ(map.npcs[0].dir, 3);
    script_rolls({0, 8, 17, 4, 13, 5});  // five attributes of 10..18, then the hit points of 8..10
    CPlayer& p = player[0];
    p.InitStats();
    EXPECT_EQ(std::vector<int>({p.str, p.wis, p.intel, p.con, p.cha, p.max_hp}), std::vector<int>({10, 18, 18, 14, 14, 10}));
    CNpc monster;  // a monster picks its target between the two members once the companion has joined
    script_rolls({7});
    monster.UpdateTargets();
    EXPECT_EQ(monster.target, 0);  // no companion: nothing drawn, the scripted 7 waits
    quest.flags = QF_COMPANION;
    monster.UpdateTargets();
    EXPECT_EQ(monster.target, 1);
}
