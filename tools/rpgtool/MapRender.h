// Drawing a whole map into one image with the game's own drawing code.
#pragma once

#include <allegro.h>

#include <string>

#include "CMap.h"

// The whole map as the field shows it (ground, overlay, NPCs), or with editor_layer >= 0 the
// editor view of that layer, in a new 16-bit bitmap the caller destroys. Null with error set
// when the picture would be too large. Called by "rpgtool map render".
BITMAP* render_map(CMap& m, int editor_layer, std::string& error);
