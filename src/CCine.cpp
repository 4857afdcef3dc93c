// Cinematics (the scenes arrive with their own work; until then nothing plays).
#include "CCine.h"

CCine cine;

void CCine::BeginCine(int) {}
