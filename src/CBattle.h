// The tactical grid battle.
#pragma once

#include <allegro.h>
#include <vector>

#include "GameState.h"

// One cell of the battle grid: whether it is highlighted (movement or attack area).
class CCoord {
public:
    bool marked = false;
};

// The battle on the loaded battle map.
class CBattle {
public:
    int origin_x = 0, origin_y = 0;
    int turn = 0;
    BITMAP* choice_box = nullptr;
    BITMAP* selector = nullptr;
    int gold_won = 0, exp_won = 0;
    std::vector<std::vector<CCoord>> grid;

    // Runs one whole battle on the loaded map. Called by portals, quest scripts and a cinematic.
    void Battle(bool stay);
};

