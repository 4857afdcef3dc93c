// The fixture of the battle tests: PeopleRig plus a battle map, pictures for the party and the menu, and script helpers for the battle's keys.
#pragma once

#include <string>

#include "CBattle.h"
#include "CNpc.h"
#include "PeopleRig.h"

// PeopleRig with `map` a 16 x 12 battle map "arena.map" drawn from a test tileset (its NPCs use
// the same sheet), the hero on start tile (2, 5) and the companion on (2, 7), both with 10 of 10
// hit points and 1 damage, sprite sheets for both, and the menu's frame and selector pictures.
// The companion has not joined unless a test sets the quest flag. A song of the playlist is heard,
// so the battle's playlist draws no roll until a test ends it (script.song_on = false).
class BattleRig : public PeopleRig {
protected:
    BITMAP* tiles = nullptr;
    BITMAP* sprites = nullptr;
    BITMAP* frame = nullptr;
    BITMAP* selector = nullptr;

    void SetUp() override;
    void TearDown() override;

    // A monster of `kind` on cell (c, r).
    CNpc& Monster(int c, int r, int kind);
    // Walls the four cells round the monster in: no path leads out.
    void WalledIn(const CNpc& m);
    // Runs battle.Battle(stay) on the script.
    RunEnd Fight(bool stay = true);

    // Script steps: open the action menu with SPACE and choose entry k (0 "Move" .. 4 "End Turn").
    void Choose(int entry);
    // Open the menu, choose "Attack", move the cursor with the arrow taps given, and strike with SPACE.
    void AttackWith(std::initializer_list<int> arrows);
    // Close the dialogue box that opens within the next `wait` ticks.
    void CloseBoxWithin(int wait);

    // The words of every box shown, one string "speaker|words" each, in order.
    std::string Said() const;
};
