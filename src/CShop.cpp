// The shop screen and the shop list.
#include "CPlayer.h"

void CShop::Init() {}
