// Drawing the current map: tile layers, NPCs, the translucent marks and the editor view.
#include "CMap.h"

void CMap::DrawMap(unsigned char, unsigned int, unsigned int) {}
void CMap::DrawObjects(unsigned char, unsigned int, unsigned int) {}
