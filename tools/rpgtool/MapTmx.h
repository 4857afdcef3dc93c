// Converting maps between the Tiled editor's TMX files and the game's map data (conventions in content/README.md).
#pragma once

#include <string>
#include <vector>

#include "CMap.h"

// First GIDs the export gives the flag and extra-byte tilesets: a cell of such a layer holds
// the first GID + its value, or 0 for 0. The reader takes the first GIDs from the file.
constexpr unsigned int TMX_FLAGS_GID = 65536;
constexpr unsigned int TMX_EXTRA_GID = 131072;
// The opacity of the flag and extra layers in an export, so that the art shows through them in Tiled.
constexpr const char* TMX_FLAG_LAYER_OPACITY = "0.45";

// The tile layer formats Tiled writes (Map Properties > Tile Layer Format): CSV, and base64
// of the cells' GIDs, plain or compressed with zlib or gzip.
enum class TmxEncoding { CSV, BASE64, ZLIB, GZIP };
// Reads "csv", "base64", "zlib" or "gzip"; false for anything else. Used by "map export --encoding".
bool tmx_encoding_from_name(const std::string& name, TmxEncoding& encoding);

// Reads a TMX file into out (shaped, with its lists and counts set; names as the TMX gives
// them). Tile layers may be CSV or base64, plain, zlib or gzip; cells are read by the first
// GIDs of the file's tilesets. False with error = "FILE:LINE: problem" (or "FILE: object N:
// problem") when the TMX cannot be compiled exactly or the game's loader would refuse the map. Warnings about questionable but valid content are appended.
// Called by "rpgtool map build" and the tool tests.
bool tmx_to_map(const std::string& tmx_path, CMap& out, std::string& error, std::vector<std::string>& warnings);

// Writes m as a TMX file that tmx_to_map reads back to the same map, its tile layers in the
// given format. False with error when the file cannot be written or a value has no TMX form.
// Called by "rpgtool map export".
bool map_to_tmx(const CMap& m, const std::string& tmx_path, std::string& error, TmxEncoding encoding = TmxEncoding::CSV);
