// Party members: their record, statistics, level table and walking.
#include "CPlayer.h"

#include "CMap.h"

CPlayer player[2];
int level_table[MAX_LEVEL + 1];

CPlayer::CPlayer() : won_battles(25, "empty"), event_checks(1) {
    const int table[MAX_LEVEL + 1] = {0, 0, 6, 25, 100, 300, 500, 800, 1000, 3000, 6000, 0};
    for (int i = 0; i <= MAX_LEVEL; ++i) level_table[i] = table[i];
}

void CPlayer::Move(CMap, int) {}
