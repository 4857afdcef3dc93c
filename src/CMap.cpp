// The current map: its data model and its file format.
#include "CMap.h"

CMap map;
