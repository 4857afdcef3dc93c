// The story's road as the automated player reads it: acts of goals, parsed from content/route.txt.
#pragma once

#include <string>
#include <vector>

// What a goal asks of the player (content/README.md, "The automated playthrough", has the format).
enum GoalKind {
    GOAL_GO,       // walk to a tile
    GOAL_STEP,     // walk onto a tile that sets something off (a step-on message, a scene)
    GOAL_TALK,     // talk to a person, answering a question as told
    GOAL_USE,      // use the event on a tile (a sign, a switch), facing it
    GOAL_CHEST,    // open the chest on a tile, standing on it
    GOAL_BUY,      // buy items at a shop
    GOAL_REST,     // a night at the map's inn
    GOAL_SAVE,     // save at the map's cleric
    GOAL_TRAIN,    // train a member at the map's trainer, as many levels as the experience allows
    GOAL_BATTLE,   // walk into the battle portal on a tile and win the battle
    GOAL_WEAR,     // wear an item from a member's pack
    GOAL_GIVE,     // give an item from the hero's pack to the companion
    GOAL_DROP,     // drop an item from a member's pack
    GOAL_PICKUP,   // pick up what lies on a tile (or at the hero's feet)
    GOAL_RESTART,  // quit the game, start it again and load the saved game
    GOAL_END,      // the story ends: the game closes itself with status 0
};

// Answers to a yes/no question.
enum Answer { ANSWER_NONE, ANSWER_YES, ANSWER_NO };

// One goal of the route. Invariant: the fields a kind does not use keep their defaults.
struct Goal {
    GoalKind kind = GOAL_GO;
    int line = 0;                     // line of the route file, for messages
    std::string text;                 // the goal as written, for messages
    std::string map;                  // the map it happens on (file name part, as in data/)
    int col = -1, row = -1;           // the tile, for kinds that name one
    std::string name;                 // the person (talk) or the item (wear, give)
    int member = 0;                   // 0 the hero, 1 the companion (train, wear)
    int shop = -1;                    // the shop's number (buy)
    std::vector<std::string> items;   // what to buy, in order (an item twice buys two)
    Answer answer = ANSWER_NONE;      // the answer to a question the goal brings up
    bool no_potions = false;          // fight without potions (a spar that may be lost)
};

// One act of the story: a title and its goals.
struct Act {
    std::string title;
    int line = 0;
    std::vector<Goal> goals;
};

// The whole route.
struct Route {
    std::vector<Act> acts;
};

// Parses route text. False with `error` naming the line and the problem ("line 12: ...") for an
// unknown goal, a missing or extra word, a number that is not one, or a goal before the first act.
bool parse_route(const std::string& text, Route& out, std::string& error);

// Reads and parses the route file; `error` names the file too.
bool read_route(const std::string& path, Route& out, std::string& error);
