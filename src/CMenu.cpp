// The in-game menus (filled in with the menus' own work; empty until then).
#include "CMenu.h"

CMenu menu;

void CMenu::Init() {}
void CMenu::DisplayStatus() {}
bool CMenu::Choice(BITMAP*) { return false; }
bool CMenu::ClericChoice(BITMAP*) { return true; }
bool CMenu::TrainerChoice(BITMAP*) { return true; }
void CMenu::ShowBattleStatus(bool, int) {}
