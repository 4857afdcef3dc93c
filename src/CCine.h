// Cinematics: the scripted scenes that carry the story between maps, numbered 1 to 6.
#pragma once

#include <vector>

#include "GameState.h"

// The scenes by number.
enum SceneNumber {
    SCENE_OPENING = 1,     // the elder's welcome at home, then straight on to the citadel
    SCENE_CITADEL = 2,     // the treaty abolished at the Citadel de L'Vorrand, then home
    SCENE_PLANT = 3,       // the Speaker's speech on the current map, the herb found on him
    SCENE_CAVE = 4,        // no scene: only clears the herb errand's start mark
    SCENE_CASTLE = 5,      // the Emperor's castle, the last battle and the end of the game
    SCENE_COMPANION = 6,   // Miresa joins at the orc village
};

// Which scenes have run. Scenes 1 to 3 are marked when they have run and never run again; 4 to 6
// are never marked. Saved with the game; load pads a shorter list with scenes not yet run.
//
// How a scene runs: its stage is entered through enter_map (the music left alone), a title card
// may be printed in red straight onto the screen, then a scene screen on the kit counts its steps,
// one per logic tick, walks its actor a pixel a tick and draws the stage from a fixed view; past
// its threshold the dialogue runs (Talk boxes) and the closing actions follow. A stage that cannot
// be read is reported by the loader and its scene does not play; where the closing actions take
// the party on to another map (the citadel's home, the orc village), they still run.
class CCine {
public:
    std::vector<bool> played = std::vector<bool>(20, false);

    // Plays scene `number` unless it is marked as played; numbers with no scene (0, 7 and up,
    // negative) do nothing. Scene 4 clears quest bit 0x1000 and shows nothing; scene 5 never
    // returns (the game ends with status 0 after the end picture), except when the last battle
    // was lost and the start menu began another game, which it then leaves alone (its caller
    // compares games_begun), or when the castle cannot be read.
    // Called by map entry (CMap::CheckCine), portals and the quest scripts 0x100 and 0x8000.
    void BeginCine(int number);
};

// The scenes, one per number; each takes its number and ignores it. Called by BeginCine only
// (the opening runs the citadel scene itself, without marking it).
// 1: the elder walks right for 100 ticks on the home map (NPC 0, kept although of sprite row 3)
//    and welcomes Arven; then scene 2.
void Cinematic1(int number);
// 2: the commander and a soldier at the citadel, seven boxes after 60 steps; then the home map
//    with the party on its start tiles.
void Cinematic2(int number);
// 3: on the current map, view (500, 200): the hero walks right for 100 ticks, the Speaker speaks
//    three boxes and the guards chain him; then the party's view is centred again.
void CinematicPlant(int number);
// 4: nothing to show.
void CinematicBrightmereCave(int number);
// 5: the castle (the companion leaves the party), the view scrolling down the garden, the burnt
//    companion, the last battle, the Emperor's taunt, the wastelands and the end picture; then
//    the process ends with status 0 after two key presses.
void VorrandCine(int number);
// 6: the orc village's leader and Miresa on the scene's stage; then the orc village with the
//    hero where the scene put him. With quest bit 0x8000 already set it only forgets held keys.
void MiresaCine(int number);
