// The screen kit: one loop shape for every modal screen and the field, with the quit question on the window's close button.
#pragma once

#include "GameState.h"

// How a screen is written on the kit
// ----------------------------------
// 1. Derive from CScreen and keep everything the screen needs as its members (cursor, page,
//    key counters, what it shows, its result): nothing of it lives in a global, so no two
//    screens share a cursor or a counter.
// 2. Give it one CScreenKey per key it reads. A counter starts as "held": a key already down
//    when the screen opens acts only once it has been released and pressed again (unless the
//    screen asks otherwise).
// 3. Tick() is one logic tick (1/60 s): poll each key once (Pressed()), act, and return true
//    when the screen is finished. A tick may open another screen (a dialogue box, a menu); that
//    screen runs its own loop inside the call and returns to this tick.
// 4. Draw() draws the whole frame on Display.GetSurface(). Shown() says how the frame reaches
//    the screen: SHOW_PAGE for menus, shops, the battle and the title; SHOW_NOTHING for what is
//    drawn straight on the screen once (the dialogue boxes).
// 5. RunScreen(s) runs it until Tick() says it is finished; read the result from its members.
//
// Each pass of the loop, in this order:
//  a. if the window's close button was pressed (App.done), ask "Are you sure you want to quit?":
//     YES ends the game with status 0, NO goes on with the screen as it was;
//  b. run the due logic ticks, one Tick() each, leaving the pass as soon as the screen is
//     finished (ticks still due then go back to the caller);
//  c. Draw(), then show the frame as Shown() says;
//  d. rest until the next tick is due (host->Idle(): the library host waits on the clock, a
//     scripted host hands out the next tick of its script).
// Ticks already due when a screen opens belong to its caller (a box opened from a field tick is
// inside that tick): they are put aside while the screen runs and handed back when it closes.

// What kind of screen is open, as an automated player must know it (the playthrough test reads it
// through View(); nothing in the game asks).
enum ScreenKind {
    SK_OTHER,            // a screen that tells nothing of itself
    SK_FIELD,            // the field loop
    SK_WAIT_KEY,         // a dialogue box or a picture waiting for a fresh press of one key (View().key)
    SK_WAIT_ANY_KEY,     // a picture waiting for a fresh press of any key
    SK_YES_NO,           // "Yes" / "No" over a question
    SK_CLERIC,           // "Leave" / "Save" over a cleric's question
    SK_TRAINER,          // "Leave" / "Level Up!" with the trainee (View().page: 0 hero, 1 companion)
    SK_STATUS_MENU,      // the status and inventory menu (View().page: 0 status, 1 inventory, 2 item)
    SK_SHOP,             // a shop's list: five items and "Exit"
    SK_PURCHASE,         // a shop's purchase question: 0 yes, 1 no
    SK_BATTLE,           // the battle's turn loop
    SK_BATTLE_MENU,      // a party member's action menu
    SK_ATTACK_CURSOR,    // the attack cursor
    SK_BATTLE_VIEW,      // the free look over the battlefield
    SK_START_MENU,       // the title's start menu
    SK_SCENE,            // a scripted scene playing
};

// What a screen shows of itself: its kind and where its cursor stands. Read only by the
// playthrough test, which plays from what a player sees. A screen answers in the members' order:
// `return {SK_TRAINER, cursor, trainee};`.
struct ScreenView {
    ScreenKind kind = SK_OTHER;
    int cursor = -1;  // the entry under the cursor, on a screen that has one
    int page = -1;    // the status menu's page; the trainer's trainee
    int key = -1;     // the key a SK_WAIT_KEY screen waits for
    long long col = -1, row = -1;  // the cell under the attack cursor
};

// How a screen's frame reaches the monitor.
enum ShowMode {
    SHOW_PAGE,     // copy the page to the screen, clear it, draw on the same page next time
    SHOW_FLIP,     // the same, then draw on the other page next time (the field)
    SHOW_NOTHING,  // the screen was drawn on directly and stays as it is
};

// One modal screen (or the field) run by the kit.
class CScreen {
public:
    virtual ~CScreen() = default;
    // One logic tick: polls the screen's keys and acts; true once the screen is finished.
    virtual bool Tick() = 0;
    // Draws the whole frame on Display.GetSurface(); nothing by default.
    virtual void Draw() {}
    // How the frame drawn reaches the monitor.
    virtual ShowMode Shown() const { return SHOW_PAGE; }
    // What the screen is and where its cursor stands; read by the playthrough test only.
    virtual ScreenView View() const { return {}; }
};

// A key's hold counter owned by one screen (update_key's counter). By default it starts as if the
// key had been down at the last poll, so a key down when the screen opens does not act until it
// is pressed again; with held_at_open false a key already down acts on the first tick (the
// title menu takes a SPACE held through its splash that way).
class CScreenKey {
public:
    explicit CScreenKey(int scancode, bool held_at_open = true) : code_(scancode), count_(held_at_open ? 1 : 0) {}
    // Polls the key (once per tick): true on the tick it went down.
    bool Pressed();

private:
    int code_;
    int count_;
};

// One pass of the loop (steps a to d above); true when the screen finished in it. Called by
// RunScreen and by FieldPass.
bool ScreenPass(CScreen& s);
// Runs the screen until it is finished, with the caller's due ticks put aside meanwhile.
// Called by every modal screen and the field loop.
void RunScreen(CScreen& s);
// The screen whose loop rests now until the next tick: set by ScreenPass around its call of
// host->Idle(), null at any other time. Read by the playthrough test's host only.
const CScreen* resting_screen();
// Rests until the key is pressed afresh (a key held when called must be released first),
// answering the close button meanwhile; what is on the screen stays. Called by the dialogue boxes.
void WaitForPress(int scancode);
// Rests until any key is pressed afresh (keys held when called must be released first),
// answering the close button meanwhile; what is on the screen stays. Called by the battle's
// status panel and its death picture.
void WaitForAnyKey();
// Asks "Are you sure you want to quit?" with NO first and YES second; YES ends the game through
// Display.Shutdown() with status 0, NO returns. Called by the kit on the close button and by
// the field on ESC.
void AskQuit();
