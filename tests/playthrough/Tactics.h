// How the automated player fights a party member's turn: drink, close in and strike, or advance.
#pragma once

#include <vector>

#include "Atlas.h"

// A monster as the player sees it on the battlefield.
struct Foe {
    Tile at;
    int hp = 0;
    int damage = 0;  // the most one blow can take
    int reach = 1;
};

// The battlefield at the start of a party member's move. Invariant: walls has width x height
// entries, row by row, and so has range.
struct Board {
    int width = 0, height = 0;
    std::vector<unsigned char> walls;
    std::vector<unsigned char> range;  // the movement range the member may step inside
    Tile me;
    bool ally_on_field = false;
    Tile ally;
    std::vector<Foe> foes;
    int hp = 0, max_hp = 0;
    int potions = 0;  // healing potions in either pack
    int armour = 0;

    bool Inside(Tile t) const { return t.c >= 0 && t.r >= 0 && t.c < width && t.r < height; }
    bool Wall(Tile t) const { return !Inside(t) || walls[(size_t)t.r * (size_t)width + (size_t)t.c] != 0; }
    bool InRange(Tile t) const { return Inside(t) && range[(size_t)t.r * (size_t)width + (size_t)t.c] != 0; }
    // Whether a foe or the ally stands on t.
    bool Taken(Tile t) const;
};

// What the member does this turn.
enum TurnAct {
    TURN_DRINK,    // drink a potion first (it costs no turn), then plan again
    TURN_ATTACK,   // walk `path`, then strike the foe on `target`
    TURN_ADVANCE,  // walk `path` towards the foes, then end the turn
};

struct TurnPlan {
    TurnAct act = TURN_ADVANCE;
    std::vector<Tile> path;  // from the member's tile to where it acts (just its tile when it stays)
    Tile target;             // the foe struck (TURN_ATTACK)
};

// The blows the member may take before its next turn: the two hardest hitters' most (more than
// two rarely reach one member in a round), each less the rolls its armour turns away.
int danger(const Board& b);

// Plans the turn: a potion when the hit points are down to the danger and a potion is at hand;
// otherwise the weakest foe the member can stand next to inside its range (ties: the shortest
// walk); otherwise the tile in range from which the nearest foe is the fewest steps away.
TurnPlan plan_turn(const Board& b);
