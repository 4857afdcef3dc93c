// The battle's turn loop as a screen of the kit: its set-up, one logic pass per tick, one frame per pass.
#pragma once

#include <vector>

#include "Astar.h"
#include "CBattle.h"
#include "ScreenKit.h"
#include "Timing.h"

// One battle from set-up to its end, on the global battle, map and party. Each monster has its
// own planned path, kept beside it in the same slot: paths[i] belongs to map.npcs[i], and a
// monster that dies takes its path with it. Run by CBattle::Battle; the tests and benchmarks
// drive its parts directly.
class CBattleLoop : public CScreen {
public:
    std::vector<CMonsterPath> paths;  // one per monster, in map.npcs order
    int current_monster = 0;          // the monster whose turn runs (turn 2)
    int anim_counter = 0;             // one counter flips the monsters' frames in rotation
    bool battle_over = false;         // every monster or a party member fell
    bool restarted = false;           // the death sequence began another game: leave at once

    explicit CBattleLoop(CBattle& b) : b_(b) {}

    // The battle's set-up, in order: tracks, logic rate, pictures, the party on the start tiles
    // (a companion who has not joined stands aside), the first 25 monsters with targets and
    // statistics, rewards and turn, the grid, every path planned, the hero's view. Called once
    // before the loop runs.
    void SetUp();
    // Plans every monster's path afresh from its cell to its target's cell. Called after every
    // action menu and at set-up.
    void Replan();
    // One logic pass: music, animation, the current monster, the party's movement, the action
    // menu, the dead removed, victory and defeat. True once the battle is over and its last frame
    // has been drawn (at once after another game began).
    bool Tick() override;
    // One frame (CBattle::DrawTurnFrame).
    void Draw() override;
    ScreenView View() const override { return {SK_BATTLE}; }
    // Puts a companion who was set aside back where the battle placed her. Called when the loop ends.
    void Finish();

private:
    CBattle& b_;
    CScreenKey space_{GK_SPACE};
    unsigned int game_ = 0;       // games_begun when the battle started
    bool final_frame_ = false;    // the frame after the end has been drawn
    bool aside_ = false;          // the companion was moved off the field
    unsigned int aside_x_ = 0, aside_y_ = 0;

    void Animate();
    // The current monster's pass; false when the rest of the pass is skipped (no next cell).
    bool MonsterPass();
    void PartyPass();
    void MenuIfAsked();
    void RemoveDead();
    void CheckEnd();
    // After player[pc]'s menu: every path planned again, piled-up ticks dropped, the camera set.
    void AfterMenu(int pc);
};
