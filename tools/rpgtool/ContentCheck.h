// The content check: every rule the game's code sets for the maps and lists, applied to a whole
// data folder so that a broken world is found before anyone plays it.
#pragma once

#include <vector>

#include "ContentSet.h"

// Every problem of the content, the files' read problems first, then by file name (each file's
// problems in the order found). Empty when the content is whole. What it looks at:
//  - maps the quest scripts and scenes load by name, portals and after-battle maps that lead
//    nowhere (letter case ignored, as the game ignores it), scene numbers with no scene, scripted
//    quests nothing runs, maps with a tune of their own spelt otherwise;
//  - portals, arrivals, start tiles, after-battle positions, NPCs and events off the map or in a
//    wall; arrivals on a portal;
//  - NPC records, monster kinds, items, shops and quest numbers that do not exist or have no
//    script; tiles and sprite rows beyond their pictures; use-key events without the event flag;
//  - battle maps with no monster or too many, kinds that fight nowhere, more battles than the
//    won-battle entries hold, battles named other than the scripts look for them;
//  - maps too small or too closed for the scene or script that uses them (the stages' views, the
//    opening's walk, the plant scene, the errand's gift, the ruins' switches and gate);
//  - step-on and switch events sharing an index across maps, events on the world map;
//  - portals, events, chests and people that cannot be walked to from the start tile or any way in.
// Called by rpgtool check and the tests.
std::vector<CheckProblem> check_content(const ContentSet& set);
