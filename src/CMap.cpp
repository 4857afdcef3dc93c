// The current map (its model, file format, drawing and rules arrive with the map's own work).
#include "CMap.h"

CMap map;

void CMap::DrawMap(unsigned char, unsigned int, unsigned int) {}
void CMap::DrawObjects(unsigned char, unsigned int, unsigned int) {}
void CMap::CheckPortals(CPlayer&) {}
void CMap::CheckEvents(CPlayer&) {}
void CMap::InteractNpcs(int, int) {}
