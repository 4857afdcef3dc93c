// The saved game file.
#include "CPlayer.h"

void SaveGame() {}
void LoadGame() {}
