// The one list of the game's state: every global of the game is declared here, once, and one reset starts a game afresh.
#pragma once

// This header names the globals and needs none of their classes: a module that reads a member
// includes the class's own header too (CMap.h for map, CPlayer.h for player, ...). Each module
// header includes this one, so including a class's header also brings its global.
//
// Three kinds of state live for the whole process:
// - the game: what one played game holds. reset_game_state() puts all of it back to the start
//   of a game; new game, load game and the test rig call it, so a game never inherits anything
//   from the one before.
// - run-wide resources: loaded at start-up (or on first use) and kept for the whole run.
//   A new or loaded game keeps them; what may reset each is said beside it.
// - the clock and the seams: the logic clock, the key counters and the test seams.

#include <atomic>
#include <string>

struct BITMAP;
class CBattle;
class CCine;
class CDisplay;
class CEvent;
class CHost;
class CMap;
class CMenu;
class CMenuArt;
class CPlayer;
class CQuests;

// Application state shared by the field loop, the menus and the title screen; its methods are
// the start of a game, in the shell (CMain.cpp). Invariant: selected_pc is 0 or 1.
class CApp {
public:
    std::atomic<bool> done{false};  // the window's close button was pressed; the next pass of any loop asks whether to quit
    int selected_pc = 0;  // party member drawn as the walking hero, who picks up and shops
    int timer = 0;        // field animation counter; ResetTimers() zeroes it

    // The splash and the start menu (Title.cpp): 1 when "new game" was chosen, 0 once the saved
    // game has been loaded ("load game" without a usable save says why and stays in the menu);
    // "exit" ends the process with status 0. Called by Menu().
    int Intro();
    // The start menu, then a new game on the home map with its opening scene, or the loaded
    // game; returns only once a game is on. Called by GameMain, and again by the battle's
    // defeat at any depth of the game (a new or loaded game replaces the one that was on).
    void Menu();
};

// A portal whose destination failed to load, so that a hero still standing on it is not shown
// the same error on every step; forgotten once he steps off. Kept by CMap::CheckPortals.
struct CPortalMemory {
    bool set = false;
    std::string map;  // name of the map the portal lies on
    int x = 0, y = 0;  // the portal's square
};

// ---- The game: reset by reset_game_state() ----------------------------------------------------

// The application state: the member shown as the hero and the field's animation counter
// (reset), the close-button request (left alone: it belongs to the window).
extern CApp App;
// The current map: tiles, portals, events, NPCs, the NPC list's records, the camera.
extern CMap map;
// The party: player[0] the hero (the party's gold, won battles and opened chests), player[1]
// the companion. Reset keeps each member's sprite sheet, item database and shop, which start-up
// loaded for the whole run, and the companion's name.
extern CPlayer player[2];
// The story's flag word.
extern CQuests quest;
// Template of the events the quest scripts lay on the map.
extern CEvent event;
// Which scenes have played.
extern CCine cine;
// The battle in progress (turn, rewards, grid); reset keeps the two menu pictures it borrows from menu_art.
extern CBattle battle;
// The menus (status and inventory, service menus, battle panel): nothing is kept between two
// openings, each menu's cursor and keys belong to its screen; the pictures are menu_art's.
extern CMenu menu;
// The portal whose destination failed to load (see CPortalMemory).
extern CPortalMemory broken_portal;
// Hold counter of SPACE, kept by the field loop (CMain.cpp; every other screen counts its keys itself).
extern int field_key_space;
// Hold counter of left CONTROL, kept by the field loop: the status menu opens at 1.
extern int key_lctrl;
// Hold counter of right CONTROL, kept by the field loop like the left one.
extern int key_rctrl;
// The last problem reported about ./data/npcs.txt, so that a map change does not repeat it.
extern std::string npc_list_problem;
// The last problem reported about ./data/equip.txt, so that reading it for both members says it once.
extern std::string item_list_problem;
// The last problem reported about ./data/shops.txt, so that reading it at every shop says it once.
extern std::string shop_list_problem;

// Games begun in this run, new or loaded: reset_game_state() adds one. Code that may start
// another game inside a call (a battle lost away from home goes to the start menu) compares it
// before and after the call and leaves the new game alone: the field tick, the portal and
// step-on checks, the battle, the quest scripts and the castle scene.
extern unsigned int games_begun;

// Puts every part of the game above back to the start of a game and keeps the run-wide
// resources. Adds one to games_begun. Called by a new game before it rolls the party; by loading a game once the saved
// file and the map it names have been checked, just before it enters that map (enter_map) and
// puts the saved records in place, so that what the file does not hold starts as in a new game;
// and by the test rig.
void reset_game_state();

// ---- Run-wide resources: kept by reset_game_state() --------------------------------------------

// The display and its two drawing pages; made once by CreateWindows, freed by Shutdown.
extern CDisplay Display;
// Frame image of the dialogue box, loaded by start-up from "./data/text.bmp", drawn by every dialogue box.
extern BITMAP* text_box;
// The pictures of the menus and the shops, loaded once (CMenuArt::Load); one owner for both.
extern CMenuArt menu_art;
// Total experience needed to rise to each level (MAX_LEVEL + 1 entries); written by every
// CPlayer construction and never changed.
extern int level_table[];
//
// Kept inside their modules, as nothing outside reads them:
// - the map pictures (CMap.cpp, load_shared_bitmap): one bitmap per tileset or spriteset file,
//   loaded again only when the file changes on disk. Nothing resets it: maps and their copies
//   point into it; the process exit frees it.
// - the field songs (Music.cpp): read once by load_field_songs; nothing resets them. Beside
//   them the song started last and whether it loops, written by play_song and stop_song only
//   (the music goes on from the title into a new or loaded game).
// - the shop's purchase sound (CShop.cpp): read once, at start-up or the first purchase; kept.
// - the patch configuration (Sound.cpp): the text handed to the library before install_sound;
//   written by configure_midi_patches only.
// - the fill variant (rblend.cpp): chosen on first use from the processor; set_blend_impl (tests
//   and benchmarks only) may change it.
// - the random generator (Rolls.cpp): seeded once at start-up, never reseeded by a new game;
//   the test rig seeds it and clears the results it scripts.
// - the tick signal (Timing.cpp): wakes a loop resting until the next tick; holds no state.
// - the resting screen (ScreenKit.cpp): the screen whose loop waits in host->Idle(), for the
//   playthrough test's host (resting_screen()); null outside that call.
// - the library host (Host.cpp): the host `host` points at in play; holds no state.

// ---- The clock and the seams ------------------------------------------------------------------

// Logic ticks due and not yet run: raised by the timer callback, lowered by the loops.
extern std::atomic<int> speed_counter;
// Frames drawn in the current second.
extern std::atomic<int> frame_count;
// Frames drawn in the last whole second.
extern std::atomic<int> fps;
// The host every loop talks to; points at the library's host unless a test swapped it.
extern CHost* host;
// When set, told the speaker and text of every dialogue box as it opens (tests read the game's words through it).
extern void (*talk_watch)(const std::string& from, const std::string& msg);
// When set, told the file of every sound effect the game plays, as it starts (heard or not).
extern void (*sound_watch)(const std::string& file);
