// The item database, inventory and equipment of a party member.
#include "CPlayer.h"

void CPlayer::GetInfo() {}
void CPlayer::PickupObject(int) {}
