// The NPC list file and the NPCs of the current map: finding them, bumping into them and talking to them.
#include <string>

#include "CMap.h"
#include "CMenu.h"
#include "Grid.h"
#include "Host.h"
#include "Interaction.h"
#include "Quests.h"
#include "TextLists.h"

// Where every map load reads the NPCs' words from.
static const char* const NPC_LIST_FILE = "./data/npcs.txt";

std::string npc_list_problem;

void CMap::LoadNpcs() {
    std::string text;
    std::string problem;
    std::vector<CNpcInfo> fresh;
    if (!read_text_file(NPC_LIST_FILE, text)) {
        problem = std::string("Error: couldn't read the NPC list ") + NPC_LIST_FILE + "; the NPCs keep their old words.";
    } else {
        ListReadResult r = parse_npc_list(text, fresh);
        if (r.ok()) {
            npc_info.swap(fresh);
            npc_list_problem.clear();
            return;
        }
        problem = std::string("Error: the NPC list ") + NPC_LIST_FILE + " is damaged (" + r.error +
                  "); the NPCs keep their old words.";
    }
    // A damaged or missing list leaves the records already held alone.
    if (problem != npc_list_problem) show_message("%s", problem.c_str());
    npc_list_problem = problem;
}

int CMap::GetNpcid(int px, int py) {
    for (unsigned int i = 0; i < num_npcs && i < npcs.size(); ++i)
        if (npcs[i].x == (unsigned int)px && npcs[i].y == (unsigned int)py) return (int)i;
    return 0;
}

// Whether an NPC's tile-sized box overlaps the tile-sized box at (px, py); unsigned like the positions.
static bool overlaps(const CNpc& n, int px, int py, int tw, int th) {
    return boxes_overlap((unsigned int)px, (unsigned int)py, n.x, n.y, tw, th);
}

bool CMap::CheckNpcs(int px, int py) const {
    for (unsigned int i = 0; i < num_npcs && i < npcs.size(); ++i)
        if (overlaps(npcs[i], px, py, tile_w, tile_h)) return true;
    return false;
}

void CMap::InteractNpcs(int px, int py) {
    // The count is read again every round: a quest script may load another map.
    for (unsigned int i = 0; i < num_npcs && i < npcs.size(); ++i) {
        const CNpc& n = npcs[i];
        if (!overlaps(n, px, py, tile_w, tile_h) || n.id < 1) continue;
        // An id past the list (a map made for another list) has no words to say.
        if ((size_t)n.id > npc_info.size()) continue;
        // A copy: the scripts below may reload the list under our feet.
        const CNpcInfo r = npc_info[n.id - 1];

        if (r.script == NPC_TALKS) {
            Talk(r.name, quest_bit_set(r.quest_flag) ? r.done_text : r.talk);
        } else if (r.script == NPC_ASKS) {
            if (quest_bit_set(r.quest_flag)) {
                Talk(r.name, r.done_text);
            } else if (menu.Choice(Talk(r.name, r.talk, true))) {
                Talk(r.name, r.yes_text);
                quest.ProcessQuest(r.quest_flag);
            } else {
                Talk(r.name, r.no_text);
            }
        } else if (r.script == NPC_AFTER_QUEST) {
            if (quest_bit_set(r.quest_flag)) {
                Talk(r.name, r.done_text);
                quest.ProcessQuest(r.quest_next);
            } else {
                Talk(r.name, r.talk);
            }
        } else if (r.script == NPC_CHECKS_QUEST) {
            quest.ProcessQuest(r.quest_flag);
            Talk(r.name, quest_bit_set(r.quest_flag) ? r.done_text : r.talk);
        } else if (r.script == NPC_SETS_QUEST) {
            quest.flags |= (uint64_t)(int64_t)r.quest_flag;
            Talk(r.name, r.talk);
        } else if (r.script == NPC_RUNS_QUEST) {
            quest.ProcessQuest(r.quest_next);
            Talk(r.name, r.talk);
        }
        // Any other keyword: the NPC says nothing.
    }
}
