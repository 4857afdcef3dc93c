// The NPC list file and the conversations of NPCs on the current map.
#include "CMap.h"

void CMap::InteractNpcs(int, int) {}
void CMap::LoadNpcs() {}
bool CMap::CheckNpcs(int, int) { return false; }
