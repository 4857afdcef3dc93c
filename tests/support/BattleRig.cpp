// The fixture of the battle tests.
#include "BattleRig.h"

#include "CMap.h"
#include "CPlayer.h"
#include "MapBuild.h"
#include "MenuArt.h"
#include "Music.h"
#include "Timing.h"

namespace {
// The menu pictures as the test found them, given back afterwards.
BITMAP* saved_choice = nullptr;
BITMAP* saved_selector = nullptr;
}  // namespace

void BattleRig::SetUp() {
    PeopleRig::SetUp();
    tiles = make_tileset(16, 16);
    sprites = make_tileset(2, 5);
    frame = create_bitmap(205, 76);
    clear_to_color(frame, makecol(232, 220, 188));
    selector = create_bitmap(9, 9);
    clear_to_color(selector, makecol(200, 0, 0));
    saved_choice = menu_art.choice;
    saved_selector = menu_art.selector;
    menu_art.choice = frame;
    menu_art.selector = selector;

    make_map(map, 16, 12);
    map.name = "arena.map";
    map.battle = true;
    map.tileset = tiles;
    map.spriteset = tiles;
    map.p0_x = 2, map.p0_y = 5;
    map.p1_x = 2, map.p1_y = 7;
    for (CPlayer& p : player) {
        p.hp = p.max_hp = 10;
        p.sprite = sprites;
    }
    // A song is heard, so the playlist draws no roll in the battle and blows take the scripted ones.
    play_song(1, false);
    script.songs.clear();
}

void BattleRig::TearDown() {
    menu_art.choice = saved_choice;
    menu_art.selector = saved_selector;
    PeopleRig::TearDown();  // lets go of every map and member that points at the pictures first
    destroy_bitmap(tiles);
    destroy_bitmap(sprites);
    destroy_bitmap(frame);
    destroy_bitmap(selector);
}

CNpc& BattleRig::Monster(int c, int r, int kind) {
    CNpc& m = place_npc(map, (unsigned int)c * 16, (unsigned int)r * 16, kind);
    m.sprite = 1;
    return m;
}

void BattleRig::WalledIn(const CNpc& m) {
    const int c = (int)m.x / 16, r = (int)m.y / 16;
    const int round[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (const auto& d : round) map.tiles[0][r + d[1]][c + d[0]].flags |= TF_BLOCKED;
}

RunEnd BattleRig::Fight(bool stay) {
    return Run([stay] { battle.Battle(stay); });
}

void BattleRig::Choose(int entry) {
    script.Tap(GK_SPACE);
    for (int k = 0; k < entry; ++k) script.Tap(GK_DOWN);
    script.Tap(GK_SPACE);
}

void BattleRig::AttackWith(std::initializer_list<int> arrows) {
    Choose(1);
    for (int k : arrows) script.Tap(k);
    script.Tap(GK_SPACE);
}

void BattleRig::CloseBoxWithin(int wait) { script.Ticks(wait).Tap(GK_SPACE); }

std::string BattleRig::Said() const {
    std::string all;
    for (const auto& s : script.said) all += s.first + "|" + s.second + "\n";
    return all;
}
