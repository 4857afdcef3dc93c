// Cinematics: the six scenes, their stages, title cards, actors, words and closing actions.
#include "CCine.h"

#include <climits>
#include <cstdint>
#include <functional>
#include <utility>

#include "CBattle.h"
#include "CDisplay.h"
#include "CMap.h"
#include "CPlayer.h"
#include "DataFiles.h"
#include "Grid.h"
#include "Host.h"
#include "Interaction.h"
#include "MapEntry.h"
#include "Quests.h"
#include "ScreenKit.h"
#include "StoryFacts.h"
#include "Timing.h"

CCine cine;

namespace {

// The maps, views and places the scenes use are the story's facts (StoryFacts.h), which the
// content check holds the maps to.
using namespace story;

// The picture the last scene ends on.
const char* const END_PICTURE = "./data/theend.tga";

// Every stage keeps the music that plays; the map the party walks on afterwards picks its own.
constexpr int STAGE = ENTRY_KEEP_MUSIC;

// Steps of the scenes besides the walks the story's facts give: the citadel's wait, the
// castle's report and the start of its scroll, and the orc village's wait.
constexpr int CITADEL_WAIT = 60;
constexpr int CASTLE_REPORT = 60;
constexpr int CASTLE_SCROLL_FROM = 65;
constexpr int ORC_WAIT = 45;

// ---- The story's words ------------------------------------------------------------------------

const char* const ELDER_WELCOME =
    "Ah, Arven, there you are. Whatever the world outside gets up to, you are safe here: the "
    "Emperor's own treaty protects the mercenary houses, and Duskwing with them. No army will "
    "cross our walls while it stands.";

const char* const COMMANDER = "Vorrandite Commander";
const char* const SOLDIER = "Vorrandite Soldier";
// The citadel, in the order spoken: commander and soldier in turn, the commander last.
const char* const CITADEL_LINES[7] = {
    "Report, soldier. What word from the west?",
    "Good news, Commander: the free towns have given up the Greyspine passes. Their militias "
    "marched home without a fight, and the whole western march is ours.",
    "Without a fight... Good, for we have little left to fight with. How do the granaries stand?",
    "Empty, sir. The harvest failed again, and the orc raids cost us three hundred men this "
    "season. The quartermasters cannot feed the legions past the winter.",
    "And meanwhile the mercenary houses grow fat behind their walls on the Emperor's gold, their "
    "barns full.",
    "The treaty protects them, sir. No soldier of Vorrand may set foot on a mercenary house's land.",
    "Not any more. By the Emperor's word the treaty is abolished: from tonight no mercenary house "
    "stands under his protection. Send word to the legions. Duskwing is first.",
};

const char* const MALREC_SPEECH =
    "Citizens of Brightmere! The Emperor in Vorrand is our friend. His soldiers keep our roads "
    "safe, his quartermasters buy our grain, and his coin fills our coffers. Those who whisper "
    "against him are fools and rebels!";
const char* const MALREC_DRINK =
    "*He stops to take a long drink from his cup.* Ahh. Where was I? Yes: friendship with Vorrand "
    "means bread on every table...";
const char* const MALREC_COUGH =
    "...every *cough* table... *COUGH* *COUGH* *He gropes in his robe for a handkerchief, and the "
    "stinkroot Arven slipped into his pocket as he passed tumbles out onto the stand.*";
const char* const MALREC_CHAINED =
    "The stench rolls across the plaza. \"He stinks like his deals with Vorrand!\" someone shouts, "
    "and the crowd surges forward. The town guard drags Speaker Malrec from his stand and puts him "
    "in chains.";

const char* const GARRICK = "Commander Garrick";
const char* const EMPEROR = "Emperor Vorrand";
const char* const VORRAND = "Vorrand";
const char* const GARRICK_REPORT =
    "My Emperor, the patrols are back. The watch lost six men in the avenue and the cathedral "
    "steps have fallen: a mercenary from Duskwing is inside the walls.";
const char* const EMPEROR_ORDERS =
    "One mercenary, and my whole guard runs in circles? Send reinforcements to the gate, Garrick, "
    "and be quick about it!";
const char* const EMPEROR_FROM_GARDEN =
    "*His voice booms from the garden.* Garrick! We have company. Stay at your post: I will deal "
    "with the intruders myself!";
const char* const MIRESA_FOUND =
    "In the garden Arven finds Miresa lying on the flagstones, burnt and barely breathing. He kneels "
    "beside her and casts the healing chant the orc shaman taught him. Her eyes flicker open... and "
    "the Emperor steps out from behind the hedges.";
const char* const VORRAND_TAUNT =
    "Ha! You cut well, mercenary, but not deep enough. You failed: an Emperor does not die at the "
    "hands of a house brat. Let the wastes have you and your fire-witch!";
const char* const STRANDED =
    "A roar of flame, and the castle is gone. Arven and Miresa wake on black ash under a red sky, "
    "far beyond the Empire's borders, with no road in sight and Vorrand still on his throne. Their "
    "story is not over... but that is a tale for another day.";

const char* const ORC_LEADER = "Leader of the Orc Village";
const char* const ORC_GREETING =
    "So you are the mercenary from Duskwing. The sailors of Selka said you would come: you want "
    "allies against Vorrand, who tore up his treaty and burns our steppe to fill his granaries. The "
    "orcs have no love for him, human. Sit by our fire.";
const char* const MIRESA_JOINS =
    "I'm Miresa. I was a fire-mage in Vorrand's guard until his soldiers burned my village for its "
    "taxes. The shaman healed me, and the spirits told me to join whoever came looking for a way "
    "into Vorrand. It seems that is you, Arven.";

// ---- The scene screen -------------------------------------------------------------------------

// Where a scene draws the hero's sprite cell each frame.
enum HeroDraw {
    HERO_HIDDEN,
    HERO_ON_MAP,     // at his map position seen from the scene's view
    HERO_ON_SCREEN,  // his map position taken as screen coordinates (the castle and orc scenes)
};

// Draws the stage from the view (vx, vy) on the page, and the hero as `hero` says.
void draw_stage(int vx, int vy, HeroDraw hero) {
    BITMAP* page = Display.GetSurface();
    if (!page) return;
    map.RenderScene(vx, vy);
    const CPlayer& h = player[0];
    if (hero == HERO_HIDDEN || !h.sprite) return;
    long long x = h.x, y = h.y;
    if (hero == HERO_ON_MAP) {
        x -= vx;
        y -= vy;
    }
    // A hero far off the page (moved off the stage) is not drawn at all: the int casts below
    // would wrap such a position back onto it.
    if (x < -CELL || y < -CELL || x > page->w || y > page->h) return;
    masked_blit(h.sprite, page, CELL * h.frame, CELL * h.facing, (int)x, (int)y, CELL, CELL);
}

// One scene's frame loop: a step a tick, the scene's own action each step, the stage drawn from
// the view each frame. Invariant: step counts the ticks acted on since the loop began (a scene
// may set it back).
class CSceneScreen : public CScreen {
public:
    // One step of the scene: acts, and says whether the scene is done.
    using Action = std::function<bool(CSceneScreen&)>;

    int step = 0;
    int view_x, view_y;

    // dropped: ticks that pass before the first step (a scene that starts its clock at -1).
    CSceneScreen(int vx, int vy, HeroDraw hero, int dropped, Action act)
        : view_x(vx), view_y(vy), hero_(hero), dropped_(dropped), act_(std::move(act)) {}

    bool Tick() override {
        if (dropped_ > 0) {
            --dropped_;
            return false;
        }
        ++step;
        return act_(*this);
    }
    void Draw() override { draw_stage(view_x, view_y, hero_); }
    ScreenView View() const override { return {SK_SCENE}; }

private:
    HeroDraw hero_;
    int dropped_;
    Action act_;
};

// Runs a scene's loop; ticks that piled up behind its title card or pause are dropped first.
void run_scene(int vx, int vy, HeroDraw hero, int dropped, CSceneScreen::Action act) {
    CSceneScreen scene(vx, vy, hero, dropped, std::move(act));
    speed_counter = 0;
    RunScreen(scene);
}

// A title card printed in red straight onto the visible screen.
void title_card(const char* text, int x, int y, bool clear_first) {
    if (!screen) return;
    if (clear_first) clear_bitmap(screen);
    textout_ex(screen, font, text, x, y, makecol(255, 0, 0), -1);
}

void clear_screen() {
    if (screen) clear_bitmap(screen);
}

// Draws a stage once from the view and shows it, as the background of the boxes that follow.
void show_stage(int vx, int vy) {
    draw_stage(vx, vy, HERO_HIDDEN);
    Display.ShowPageKeep();
}

// The speaker name of NPC 0 of the stage (its record in the NPC list), "" when it has none.
std::string first_npc_name() {
    if (map.num_npcs == 0 || map.npcs.empty()) return "";
    const int id = map.npcs[0].id;
    return id >= 1 && (size_t)id <= map.npc_info.size() ? map.npc_info[(size_t)id - 1].name : "";
}

// The end of the game: the end picture (a black screen when it is missing), two fresh key
// presses, and the process ends with status 0.
[[noreturn]] void the_end() {
    BITMAP* picture = load_data_bitmap(END_PICTURE);
    clear_screen();
    if (screen && picture) blit(picture, screen, 0, 0, 0, 0, picture->w, picture->h);
    // The waits keep the screen as it stands: the picture is not needed past its copy.
    if (picture) destroy_bitmap(picture);
    WaitForAnyKey();
    WaitForAnyKey();
    Display.Shutdown();
}

}  // namespace

void Cinematic1(int) {
    // The hero's view of the home map is set up by the new game; the stage keeps the elder.
    if (enter_map(HOME_MAP, staying(), STAGE | ENTRY_KEEP_ROW3_NPCS) != 0) return;
    title_card("Day 1... The Duskwings", screen_w() / 2 - 90, screen_h() / 2, true);
    // Off the stage: nobody of the party stands in the elder's way or is drawn.
    for (CPlayer& p : player) p.x = p.y = UINT_MAX;
    host->Pause(2000);
    run_scene(0, 0, HERO_HIDDEN, 0, [](CSceneScreen& s) {
        if (s.step <= ELDER_WALK) {
            if (map.num_npcs > 0 && !map.npcs.empty()) {
                map.npcs[0].Move(map, DIR_RIGHT);
                map.npcs[0].UpdateMovement();
            }
            return false;
        }
        Talk(first_npc_name(), ELDER_WELCOME);
        return true;
    });
    clear_screen();
    host->Pause(1000);
    Cinematic2(SCENE_CITADEL);
}

void Cinematic2(int) {
    if (enter_map(CITADEL_MAP, staying(), STAGE) == 0) {
        title_card("Citadel de L'Vorrand in Vorrand", screen_w() / 2 - 285, screen_h() / 2, false);
        WaitForAnyKey();
        run_scene(0, 0, HERO_HIDDEN, 1, [](CSceneScreen& s) {
            if (s.step <= CITADEL_WAIT) return false;
            for (int i = 0; i < 7; ++i) {
                if (i == 2) host->Pause(100);
                Talk(i % 2 == 0 ? COMMANDER : SOLDIER, CITADEL_LINES[i]);
            }
            return true;
        });
    }
    enter_map(HOME_MAP, at_start_tiles(), STAGE);
}

void CinematicPlant(int) {
    title_card("The Plant!", screen_w() / 2 - 100, screen_h() / 2 + 35, true);
    host->Pause(1200);
    run_scene(PLANT_VIEW_X, PLANT_VIEW_Y, HERO_ON_MAP, 0, [](CSceneScreen& s) {
        if (s.step <= PLANT_WALK) {
            player[0].Move(map, DIR_RIGHT);
            player[1].x = player[0].x;  // the companion walks on the hero, as in the field
            return false;
        }
        Talk(SPEAKER_MALREC, MALREC_SPEECH);
        Talk(SPEAKER_MALREC, MALREC_DRINK);
        Talk(SPEAKER_MALREC, MALREC_COUGH);
        Talk("", MALREC_CHAINED);
        return true;
    });
    clear_screen();
    host->Pause(1000);
    place_party(player[0].x, player[0].y);
}

void CinematicBrightmereCave(int) {}

void VorrandCine(int) {
    if (enter_map(CASTLE_MAP, at_start_tiles(), STAGE) != 0) return;
    quest.flags &= ~(uint64_t)QF_COMPANION;
    int scroll = 0;
    bool in_garden = false;
    run_scene(CASTLE_VIEW_X, CASTLE_VIEW_Y, HERO_ON_SCREEN, 1, [&](CSceneScreen& s) {
        if (s.step == CASTLE_REPORT) {
            Talk(GARRICK, GARRICK_REPORT);
            Talk(EMPEROR, EMPEROR_ORDERS);
            s.step = CASTLE_REPORT + 1;
            speed_counter = -1;  // the ticks the boxes let pile up, and the next one, are dropped
        }
        if (s.step > CASTLE_SCROLL_FROM && scroll < CASTLE_SCROLL) ++scroll;
        s.view_y = CASTLE_VIEW_Y + scroll;
        if (scroll < CASTLE_SCROLL - 1) return false;
        if (!in_garden) {
            Talk(EMPEROR, EMPEROR_FROM_GARDEN);
            if (BITMAP* page = Display.GetSurface()) clear_bitmap(page);
            host->Pause(200);
            enter_map(GARDEN_MAP, staying(), STAGE);
            in_garden = true;
            return false;
        }
        host->Pause(500);
        Talk("", MIRESA_FOUND);
        enter_map(LAST_BATTLE_MAP, staying(), STAGE);
        return true;
    });

    const unsigned int game = games_begun;
    if (map.CheckBattle()) battle.Battle(false);
    // Lost: the defeat went back to the start menu, which began another game. This one is over,
    // and nothing of it may touch the new one.
    if (games_begun != game) return;

    enter_map(CASTLE_END_MAP, staying(), STAGE);
    show_stage(CASTLE_END_VIEW_X, CASTLE_END_VIEW_Y);
    Talk(VORRAND, VORRAND_TAUNT);
    enter_map(WASTELANDS_MAP, staying(), STAGE);
    show_stage(0, 0);
    Talk("", STRANDED);
    the_end();
}

void MiresaCine(int) {
    if (quest.flags & QF_COMPANION_JOINS) {
        host->ForgetKeys();
        return;
    }
    if (enter_map(ORC_SCENE_MAP, staying(), STAGE) == 0) {
        clear_screen();
        place_party(ORC_VILLAGE_ARRIVAL.x, ORC_VILLAGE_ARRIVAL.y);
        draw_stage(ORC_SCENE_VIEW_X, ORC_SCENE_VIEW_Y, HERO_ON_SCREEN);
        Display.ShowPageKeep();
        run_scene(ORC_SCENE_VIEW_X, ORC_SCENE_VIEW_Y, HERO_ON_SCREEN, 1, [](CSceneScreen& s) {
            if (s.step <= ORC_WAIT) return false;
            Talk(ORC_LEADER, ORC_GREETING);
            Talk(COMPANION_NAME, MIRESA_JOINS);
            return true;
        });
    }
    // The village with the hero where the scene left him, his view centred there; held keys are
    // forgotten.
    enter_map(ORC_VILLAGE_MAP, at_pixel(player[0].x, player[0].y), STAGE);
}

void CCine::BeginCine(int number) {
    // Numbers come from map files and portals: one outside the list has no scene.
    if (number < 0 || (size_t)number >= played.size() || played[(size_t)number]) return;
    switch (number) {
    case SCENE_OPENING:
        Cinematic1(number);
        played[SCENE_OPENING] = true;
        break;
    case SCENE_CITADEL:
        Cinematic2(number);
        played[SCENE_CITADEL] = true;
        break;
    case SCENE_PLANT:
        CinematicPlant(number);
        played[SCENE_PLANT] = true;
        break;
    case SCENE_CAVE:
        quest.flags &= ~(uint64_t)QF_HERB_START;
        CinematicBrightmereCave(number);
        break;
    case SCENE_CASTLE: VorrandCine(number); break;
    case SCENE_COMPANION: MiresaCine(number); break;
    default: break;
    }
}
