// The rules by which the map reacts to characters: collision, step-on events, portals, and the map's music.
#include "CMap.h"

void CMap::CheckPortals(CPlayer&) {}
void CMap::CheckEvents(CPlayer&) {}
