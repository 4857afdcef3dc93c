// The application object, the field loop and the actions of map events.
#pragma once

#include "GameState.h"

// Close-button callback: sets App.done, so that the field loop asks whether to quit.
// Registered with set_close_button_callback by GameMain; runs on the library's thread.
void exit_callback();

// Start-up steps after the display and the timers are up: menu pictures, dialogue box, sprite
// sheets, item lists, shops, the companion's name and the field songs; starts the title music.
// Reports every start-up file it could not load in one message. Called by GameMain.
void StartUp();
// One logic tick of the field loop (keys, walking, use action, menus, NPC wander). Called by FieldPass.
void FieldTick();
// Draws one field frame on the current page and shows it. Called by FieldPass.
void FieldDraw();
// The use action of SPACE (under the hero, ahead of the hero, NPC ahead). Called by FieldTick.
void FieldUseAction();
// The NPC wander and animation, run on the last pending tick of a pass. Called by FieldTick.
void FieldNpcWander();
// Asks "Are you sure you want to quit?"; "YES" ends the game through Display.Shutdown().
// Called by FieldTick on ESC and by FieldLoop when the window's close button was pressed.
void AskQuit();
// One pass of the field loop: run due ticks, draw, show. Called by FieldLoop and by tests.
void FieldPass();
// Runs the field loop until the game ends. Called by GameMain.
void FieldLoop();
// The whole program; main() forwards to it.
int GameMain();

// Performs the action of the map event at this index (speech, shop, inn, save point, switch, trainer).
// Called by the field loop's use action.
void HandleEvents(int index);
