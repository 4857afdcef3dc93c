// The game's shell: start-up, the field loop and the actions of map events (the application object CApp is in GameState.h).
#pragma once

#include "GameState.h"

// Close-button callback: sets App.done, so that the loop running (the field's or any modal
// screen's) asks whether to quit.
// Registered with set_close_button_callback by GameMain; runs on the library's thread.
void exit_callback();

// Start-up steps after the display and the timers are up: menu pictures, dialogue box, sprite
// sheets, item lists, shops, the companion's name and the field songs; starts the title music.
// Reports every start-up file it could not load in one message. Called by GameMain.
void StartUp();
// One logic tick of the field loop (keys, walking, use action, menus, NPC wander). Called by the field's screen.
void FieldTick();
// Draws one field frame on the current page and counts it; the kit shows it. Called by the field's screen.
void FieldDraw();
// The use action of SPACE (under the hero, ahead of the hero, NPC ahead). Called by FieldTick.
void FieldUseAction();
// The NPC wander and animation, run on the last pending tick of a pass. Called by FieldTick.
void FieldNpcWander();
// One pass of the field loop on the screen kit: the close button's question, the due ticks, a
// frame drawn and shown, a rest until the next tick. Called by tests.
void FieldPass();
// Runs the field loop (passes of the screen kit's loop) until the game ends. Called by GameMain.
void FieldLoop();
// The whole program; main() forwards to it.
int GameMain();

// Performs the action of the map event at this index (speech, shop, inn, save point, switch, trainer).
// Called by the field loop's use action.
void HandleEvents(int index);
