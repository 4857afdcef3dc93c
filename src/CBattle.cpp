// The tactical battle (arrives with its own work; until then a battle ends at once).
#include "CBattle.h"

CBattle battle;

void CBattle::Battle(bool) {}
