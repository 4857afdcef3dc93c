// The battle's turn loop: set-up, the monsters' turns along their paths, the party's turns, the dead, victory, defeat and the way back.
#include "CBattle.h"

#include <string>

#include "CBattleLoop.h"
#include "CDisplay.h"
#include "CMap.h"
#include "CPlayer.h"
#include "DataFiles.h"
#include "Grid.h"
#include "Host.h"
#include "Interaction.h"
#include "MapEntry.h"
#include "Music.h"
#include "Quests.h"
#include "StoryFacts.h"
#include "Timing.h"

CBattle battle;

namespace {

// Where a companion who has not joined waits during a battle: far off every map (the largest map
// is 4096 tiles of 256 pixels), and far from the wrapped positions just left of or above a map's
// edge, so that no party check, step or attack of the battle finds her.
constexpr unsigned int ASIDE = 0x40000000u;
// The picture of a party fallen away from home.
const char* const DEATH_PICTURE = "./data/deathscene.tga";
// Passes after which a monster's frame flips (one counter serves them all in rotation).
constexpr int ANIM_PASSES = 30;

// The cell of a pixel position on the character grid.
int cell(unsigned int px) { return (int)(px / CELL); }

// The party member a monster hunts: its target while the companion is with the party, else the hero.
int hunted(const CNpc& m) { return companion_joined() && m.target == 1 ? 1 : 0; }

}  // namespace

void CBattle::Battle(bool stay) {
    CBattleLoop loop(*this);
    loop.SetUp();
    RunScreen(loop);
    // Another game began in the death sequence: nothing of this battle may touch it.
    if (loop.restarted) return;
    loop.Finish();
    if (stay) return;
    // Copies: entering the map replaces the fields they are read from.
    const std::string dest = map.bdestmap;
    const unsigned int x = (unsigned int)map.bdest_x, y = (unsigned int)map.bdest_y;
    enter_map(dest, at_pixel(x, y));
}

void CBattleLoop::SetUp() {
    game_ = games_begun;
    // The battle's tracks are the playlist's eight songs, which the host reads on the first song.
    SetTimers(LOGIC_RATE);

    place_party_on_start_tiles();
    // An arrow still held from the walk into the battle's portal would step the hero off his
    // start tile before the player has seen the field.
    host->ForgetKeys();
    if (!companion_joined()) {
        // She is not drawn and has no turn; standing on the field unseen she would still block
        // steps and take blows, so she waits off the field until the battle is over.
        aside_ = true;
        aside_x_ = player[1].x;
        aside_y_ = player[1].y;
        player[1].x = player[1].y = ASIDE;
    }

    if (map.num_npcs > (unsigned int)BATTLE_MAX_MONSTERS || map.npcs.size() > (size_t)BATTLE_MAX_MONSTERS) {
        const unsigned int placed = map.num_npcs;
        if (map.npcs.size() > (size_t)BATTLE_MAX_MONSTERS) map.npcs.resize(BATTLE_MAX_MONSTERS);
        map.num_npcs = (unsigned int)map.npcs.size();
        show_message("Warning: the battle map %s places %u monsters; only the first %d fight.", map.name.c_str(),
                     placed, BATTLE_MAX_MONSTERS);
    }
    if (map.npcs.size() > map.num_npcs) map.npcs.resize(map.num_npcs);  // a list longer than its count
    map.num_npcs = (unsigned int)map.npcs.size();
    for (CNpc& m : map.npcs) {
        m.UpdateTargets();
        m.LoadStats();
        // A record reused from the map before may still hold a step, a target or a spent turn.
        if (m.target != 0 && m.target != 1) m.target = 0;
        m.moving = false;
        m.move_x = m.move_y = 0;
        m.battle_steps = 0;
        m.turn_done = false;
    }

    b_.gold_won = b_.exp_won = 0;
    b_.origin_x = (int)player[0].x;
    b_.origin_y = (int)player[0].y;
    b_.turn = TURN_HERO;
    b_.ShapeGrid();

    paths.clear();
    paths.reserve(map.npcs.size());
    for (size_t i = 0; i < map.npcs.size(); ++i) paths.emplace_back();
    Replan();
    player[0].UpdateMovement();
}

void CBattleLoop::Replan() {
    for (size_t i = 0; i < map.npcs.size() && i < paths.size(); ++i) {
        const CNpc& m = map.npcs[i];
        const CPlayer& t = player[hunted(m)];
        paths[i].Plan(cell(m.x), cell(m.y), cell(t.x), cell(t.y));
    }
}

bool CBattleLoop::Tick() {
    if (restarted) return true;
    if (battle_over) return final_frame_;
    // With nothing heard, the playlist picks the next song as on the field.
    playlist_tick();
    Animate();
    if (!MonsterPass()) return false;
    PartyPass();
    MenuIfAsked();
    RemoveDead();
    CheckEnd();
    return restarted;
}

void CBattleLoop::Draw() {
    b_.DrawTurnFrame();
    if (battle_over) final_frame_ = true;
}

void CBattleLoop::Finish() {
    if (!aside_) return;
    player[1].x = aside_x_;
    player[1].y = aside_y_;
    aside_ = false;
}

void CBattleLoop::Animate() {
    for (CNpc& m : map.npcs) {
        if (speed_counter != 1) continue;
        if (++anim_counter > ANIM_PASSES) {
            m.frame = m.frame == 0 ? 1 : 0;
            anim_counter = 0;
        }
    }
}

bool CBattleLoop::MonsterPass() {
    if (b_.turn != TURN_MONSTERS || map.npcs.empty()) return true;
    const int count = (int)map.npcs.size();
    if (current_monster < 0 || current_monster >= count) current_monster = 0;
    CNpc& m = map.npcs[current_monster];
    if (!m.moving) m.battle_steps++;
    if (m.battle_steps > MONSTER_TURN_PASSES) {
        m.turn_done = true;
        if (current_monster + 1 < count) {
            ++current_monster;
            map.npcs[current_monster].UpdateMovement();  // brings the map's camera to it
        } else {
            b_.turn = TURN_HERO;
            current_monster = 0;
        }
        map.npcs[current_monster].battle_steps = 0;
    } else if (!m.moving) {
        const MapSearchNode* next = paths[current_monster].Next();
        if (!next) return false;  // no path, or it is used up: the monster waits
        const CPlayer& t = player[hunted(m)];
        const float d = MapSearchNode(next->x, next->y).GoalDistanceEstimate(MapSearchNode(cell(t.x), cell(t.y)));
        if (d < (float)m.attack_range) {
            if (b_.NpcAttack(current_monster, (int)m.x, (int)m.y, hunted(m))) {
                m.battle_steps = MONSTER_TURN_PASSES + 1;  // its turn ends on the next pass
                speed_counter = -1;
            }
        } else {
            const long long nx = (long long)next->x * CELL, ny = (long long)next->y * CELL;
            int dir = DIR_NONE;
            if (nx > m.x)
                dir = DIR_RIGHT;
            else if (nx < m.x)
                dir = DIR_LEFT;
            else if (ny < m.y)
                dir = DIR_UP;
            else if (ny > m.y)
                dir = DIR_DOWN;
            m.Move(map, dir);
        }
    }
    CNpc& now = map.npcs[current_monster];
    if (now.moving) now.UpdateMovement();
    return true;
}

void CBattleLoop::PartyPass() {
    if (b_.turn == TURN_COMPANION && !companion_joined())
        b_.turn = TURN_MONSTERS;
    else if (b_.turn == TURN_COMPANION)
        b_.HandlePlayerMovement(1);
    else if (b_.turn == TURN_HERO)
        b_.HandlePlayerMovement(0);
}

void CBattleLoop::MenuIfAsked() {
    const bool space = space_.Pressed();
    if (b_.turn == TURN_HERO && !player[0].moving && (space || host->KeyDown(GK_ALT))) {
        b_.FinalizeBattle(0, (int)player[0].x, (int)player[0].y);
        AfterMenu(0);
    } else if (b_.turn == TURN_COMPANION && companion_joined() && !player[1].moving && space) {
        b_.FinalizeBattle(1, (int)player[1].x, (int)player[1].y);
        AfterMenu(1);
    }
}

void CBattleLoop::AfterMenu(int pc) {
    Replan();
    speed_counter = -1;
    if (pc == 0) {
        if (companion_joined())
            player[1].UpdateMovement();
        else if (!map.npcs.empty())
            map.npcs[0].UpdateMovement();
    } else {
        if (!map.npcs.empty())
            map.npcs[0].UpdateMovement();
        else
            player[0].UpdateMovement();
    }
}

void CBattleLoop::RemoveDead() {
    // The slot that moves up into i is looked at on the next pass.
    for (size_t i = 0; i < map.npcs.size(); ++i) {
        if (map.npcs[i].hp >= 1) continue;
        b_.gold_won += map.npcs[i].gold_reward;
        b_.exp_won += map.npcs[i].exp_reward;
        map.npcs.erase(map.npcs.begin() + (long)i);
        if (i < paths.size()) paths.erase(paths.begin() + (long)i);  // its path goes with it
        map.num_npcs = (unsigned int)map.npcs.size();
    }
}

void CBattleLoop::CheckEnd() {
    if (map.npcs.empty()) {
        Talkf("", "You WON! You accumulated %d gold! You accumulated %d exp!", b_.gold_won, b_.exp_won);
        add_reward(player[0].gold, b_.gold_won);
        add_reward(player[0].exp, b_.exp_won);
        add_reward(player[1].exp, b_.exp_won);
        battle_over = true;
        speed_counter = -1;
    }
    if (player[0].hp < 1) {
        b_.DeathSequence();
        battle_over = true;
        if (games_begun != game_) {
            restarted = true;
            return;
        }
    }
    if (companion_joined() && player[1].hp < 1) {
        b_.DeathSequence();
        battle_over = true;
        if (games_begun != game_) restarted = true;
    }
}

void CBattle::DeathSequence() {
    if (map.name == file_name_part(story::SPARRING_MAP)) {  // losing the spar at home costs nothing
        player[0].hp = player[0].max_hp;
        return;
    }
    BITMAP* picture = load_data_bitmap(DEATH_PICTURE);
    if (!picture) show_message("Error: %s could not be loaded; the defeat is told in words.", DEATH_PICTURE);
    if (screen) {
        clear_bitmap(screen);
        if (picture) {
            blit(picture, screen, 0, 0, screen_w() / 2 - picture->w / 2, screen_h() / 2 - picture->h / 2, picture->w,
                 picture->h);
        } else {
            textout_centre_ex(screen, font, "You have fallen. Press a key.", screen_w() / 2, screen_h() / 2,
                              makecol(255, 0, 0), -1);
        }
    }
    // The wait keeps the screen as it stands: the picture is not needed past its copy, and is not
    // lost should the wait never return (the test rig ends a script inside it).
    if (picture) destroy_bitmap(picture);
    host->FlushKeyBuffer();
    WaitForAnyKey();
    App.Menu();
}
