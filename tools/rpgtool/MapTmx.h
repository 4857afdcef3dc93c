// Converting maps between the Tiled editor's TMX files and the game's map data (conventions in content/README.md).
#pragma once

#include <string>
#include <vector>

#include "CMap.h"

// Gid offsets of the flag and extra-byte layers: a cell holds offset + value, or 0 for 0.
constexpr unsigned int TMX_FLAGS_GID = 65536;
constexpr unsigned int TMX_EXTRA_GID = 131072;

// Reads a TMX file into out (shaped, with its lists and counts set; names as the TMX gives
// them). False with error = "FILE:LINE: problem" (or "FILE: object N: problem") when the TMX
// cannot be compiled exactly. Warnings about questionable but valid content are appended.
// Called by "rpgtool map build" and the tool tests.
bool tmx_to_map(const std::string& tmx_path, CMap& out, std::string& error, std::vector<std::string>& warnings);

// Writes m as a TMX file that tmx_to_map reads back to the same map. False with error when
// the file cannot be written or a value has no TMX form. Called by "rpgtool map export".
bool map_to_tmx(const CMap& m, const std::string& tmx_path, std::string& error);
