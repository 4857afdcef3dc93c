// The automated player: follows the route goal by goal, deciding each tick's keys from the screen it faces and the world it sees.
#pragma once

#include <deque>
#include <set>
#include <string>

#include "Atlas.h"
#include "BotHost.h"
#include "Route.h"
#include "ScreenKit.h"
#include "Tactics.h"

// How the player reports.
struct PlayOptions {
    bool verbose = false;       // print every goal begun and every dialogue box
    long long goal_ticks = 0;   // most ticks one goal may take (0: no limit)
    std::string pictures;       // a folder for the first screen of each kind in each act (the docs' pictures)
};

// The automated player. It sees what a player sees: the screen it faces (its kind and cursor,
// resting_screen()), the words of each dialogue box (Heard), the map with its people, portals and
// events, the party's numbers and packs (and whether the companion is with it), and the
// battlefield; it remembers the scenes it watched and the battles it won, and never reads the
// story's other flags. Each tick it holds the keys of one decision: walking holds an arrow, every
// other action is a press and a release, so a screen's fresh-press counters see each press once.
// Its code: the route and the screens in PlayBot.cpp, the field in PlayBotField.cpp, battles in
// PlayBotBattle.cpp.
class CPlayBot : public CPlayerMind {
public:
    CPlayBot(const Route& route, CBotHost& host, CAtlas& atlas, PlayOptions options);

    // The keys for the next tick, from the screen resting now. Called by the host's Idle.
    void Decide() override;
    // Answers an alert: the quit question with NO, or with YES when the route asks to start the
    // game again; anything else with its first button.
    int Answer(const std::string& line1) override;
    // Every dialogue box as it opens (the game's talk_watch).
    void Heard(const std::string& from, const std::string& msg);

    // Whether the route has come to its end goal, where the game is to close by itself.
    bool AtEnd() const;
    // Prints the line of the act in hand (the last act, once the game has closed at its end).
    void ReportLastAct() const { if (act_ < route_.acts.size()) ReportAct(act_); }
    // Whether the player has just quit to start the game again; clears the request.
    bool TakeRestart();
    // Where the player stands: act, goal and route line, map and tile.
    std::string Where() const;

private:
    // Progress of the goal in hand; started afresh with each goal.
    struct GoalState {
        long long start_tick = 0;
        bool acted = false;       // the use key was pressed at the goal's target
        bool spoke = false;       // a box opened after that
        int presses = 0;          // use-key presses at the target that brought nothing yet
        bool touched = false;     // a step goal's tile was reached
        bool won = false;         // "You WON!" was heard
        bool saved = false;       // "You successfully saved!" was heard
        bool found = false;       // a chest's "You find" was heard
        bool rested = false;      // the inn answered
        bool refused = false;     // the trainer refused (or the trainee is at the top level)
        bool shopped = false;     // the shop's list was seen
        bool restarting = false;  // the quit question is to be answered YES
        int counts[64] = {};      // items of each id in the shopper's pack when the goal began
        std::set<int> given_up;   // items the shop would not sell (gold, room)
        int asking = 0;           // the item of the purchase question open
        std::set<Tile> spots;     // where a pickup goal looks
        bool left_behind = false; // a potion found with the pack full stays on the ground
    };
    // The walk in hand.
    struct Pilot {
        std::string map, goal_map;
        std::set<Tile> goals;
        std::vector<Tile> path;
        int portal = -1;
        int last_dir = 0;
        bool pushing = false;     // an arrow was held in the last tick
        unsigned int last_x = 0, last_y = 0;
        int stalls = 0;           // ticks run with an arrow held and no pixel walked
        int portal_waits = 0;     // ticks on a portal square that did not carry the party
        bool detour = false;      // stepping aside for someone in the way
        int wait = 0;             // ticks still to wait after stepping aside
        std::set<std::string> shut;  // portals found shut while on this goal
    };

    const Route& route_;
    CBotHost& host_;
    CAtlas& atlas_;
    PlayOptions options_;
    size_t act_ = 0, goal_ = 0;   // the route's goal in hand (act_ past the last act: the route is done)
    std::deque<Goal> aside_;      // goals the player took on by itself (room in a full pack), done first
    GoalState gs_;
    GoalState held_;              // the route goal's progress while goals taken on aside run
    Pilot pilot_;
    unsigned int games_seen_ = 0; // games_begun as last seen: a change is a new or loaded game
    bool began_ = false;          // a game has begun
    bool quit_asked_ = false;     // the quit question has been asked once (and answered NO)
    bool restart_ = false;        // the player quit to start again
    bool chose_load_ = false;     // the start menu's "load game" was chosen
    bool has_save_ = false;       // a save was made in this run
    size_t save_act_ = 0, save_goal_ = 0;  // the goal during which the last save was made
    int deaths_ = 0;              // lost battles that sent the party to the start menu
    PlanMap live_;                // the current map as last looked at (PlanFor)
    int battle_stalls_ = 0;       // ticks a member's step was refused (its turn then ends)
    unsigned int battle_x_ = 0, battle_y_ = 0;  // where the member stood at the last look
    std::set<std::pair<size_t, int>> pictured_;  // (act, screen kind) already kept as a picture

    // Keeps the screen as options_.pictures/actN-KIND.bmp the first time a kind shows in an act.
    void Picture(const ScreenView& v);

    // The goal in hand: one taken on aside first, else the route's; null past the route's end.
    const Goal* Current() const;
    // The goal in hand is done: back to the route's goal after the goals taken aside, else the next one.
    void Done();
    // On to the route's next goal (printing the act's line when it ends one, with report).
    void Advance(bool report);
    // Takes on dropping a potion, and with pick_up picking the find up, before the goal in hand.
    void MakeRoom(const std::string& find, bool pick_up);
    // The goal in hand starts afresh: its progress, its walk, what the pack held.
    void BeginGoal();
    // A new game (the route from its start) or a loaded one (the goal after the last save).
    void Resume(bool loaded);
    void ReportAct(size_t act) const;
    // Ends the run with the reason (PlayStop); the caller prints where.
    [[noreturn]] void Stop(const std::string& why) const;

    // Key decisions: one press (a tick with every key up comes first), one held key, no key.
    bool Tap(int key);
    void HoldOnly(int key);
    void Release();

    // What each screen asks of the player; Decide calls the one facing it.
    void Field();
    void WaitKey(const ScreenView& v);
    // A two-entry menu (or any list): moves to entry `want`, then presses SPACE.
    void TwoEntries(const ScreenView& v, int want);
    void Trainer(const ScreenView& v);
    void StatusMenu(const ScreenView& v);
    void Shop(const ScreenView& v);
    void Purchase(const ScreenView& v);
    void StartMenu(const ScreenView& v);
    void BattleTurn();
    void BattleMenu(const ScreenView& v);
    void AttackCursor(const ScreenView& v);
    // What the player notices on any screen: a game begun or loaded, a step goal's tile
    // reached, a goal that takes too long.
    void Observe(const ScreenView& v);

    // The field's goals.
    // Walks towards any of `tiles` on `goal_map` (through portals when it is another map); true
    // once the hero stands exactly on one of them.
    bool Arrive(const std::string& goal_map, const std::set<Tile>& tiles);
    // Plans the walk in hand afresh from where the hero stands (people in the way if possible).
    void Replan(const std::string& goal_map, const std::set<Tile>& tiles);
    // Stands beside `target`, faces it and presses the use key (for a person: while it is still there).
    void UseFacing(const std::string& goal_map, Tile target, bool person);
    void TalkTo(const Goal& g);
    // Uses the first event of these type bits (and this shop or quest number, unless -1) on the goal's map.
    void UseEvent(const Goal& g, int type_bits, int quest);
    // Opens the status menu for a wear, give or drop goal, or finishes it.
    void MenuGoal(const Goal& g);
    void Pickup(const Goal& g);
    bool MenuGoalDone(const Goal& g) const;
    // Whether the battle behind the goal's portal is among the hero's won battles.
    bool BattleWonBefore(const Goal& g);

    // What the player sees.
    // The plan of a map: the current one as it stands, another as its file lies.
    const PlanMap* PlanFor(const std::string& map_name);
    // The battlefield at party member pc's turn.
    Board BoardFor(int pc) const;
    // The item of this name in the item list (stops the run when there is none).
    int ItemId(const std::string& name) const;
    // The next item a buy goal still wants and the shop may sell (0 when none).
    int WantedItem() const;
};
