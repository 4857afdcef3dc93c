// NPC movement and monster statistics (filled in with the NPCs' own work).
#include "CNpc.h"

#include "CMap.h"

void CNpc::Move(CMap&, int) {}
void CNpc::UpdateMovement() {}
void CNpc::UpdateTargets() {}
void CNpc::LoadStats() {}
