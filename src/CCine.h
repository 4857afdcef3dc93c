// Cinematics: the scripted scenes between maps.
#pragma once

#include <vector>

#include "GameState.h"

// Which scenes have run; numbers 1 to 3 run once. Saved with the game.
class CCine {
public:
    std::vector<bool> played = std::vector<bool>(20, false);

    // Starts scene `number` unless it has run before. Called by map entry, portals and quest scripts.
    void BeginCine(int number);
};

