// Quest state and quest scripts (the scripts arrive with the story's own work).
#include "Quests.h"

CQuests quest;
CEvent event;

void CQuests::ProcessQuest(int) {}
