// A game map as JSON, keys named as the map's members (the "rpgtool map dump" format).
#pragma once

#include <nlohmann/json.hpp>

#include "CMap.h"

// The map's stored members; with_tiles adds tiles[layer][row][col] = [tile, flags, extra]. Called by "rpgtool map dump".
nlohmann::ordered_json map_to_json(const CMap& m, bool with_tiles);
