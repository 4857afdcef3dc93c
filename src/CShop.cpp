// The shop screen and the shop list.
#include "CPlayer.h"
#include "MenuArt.h"

void CShop::Init() { menu_art.Load(); }
