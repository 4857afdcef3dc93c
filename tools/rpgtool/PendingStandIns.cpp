// Weak stand-ins for NPC routines whose module is still being written, so that the tool links
// meanwhile. The tool never calls them; the real ones replace these as soon as they are linked.
#include "CMap.h"

__attribute__((weak)) bool CMap::CheckNpcs(int, int) { return false; }
__attribute__((weak)) void CMap::LoadNpcs() {}
