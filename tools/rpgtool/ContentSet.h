// The game's whole content read into memory for the content check: every map file of a data
// folder, decoded, the sizes of the pictures they name, and the NPC, item and shop lists.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "CPlayer.h"
#include "MapFile.h"
#include "TextLists.h"

// One problem the check found: the file, the list line or the place on the map where there is
// one, and what is wrong.
struct CheckProblem {
    std::string file;   // file name in the data folder ("brightmere.map", "npcs.txt")
    int line = 0;       // list line, 1-based; 0 when there is none
    std::string where;  // the place on a map ("portal 2 at pixel (464, 192)"), or ""
    std::string what;

    // "file:line: what" or "file: where: what", as rpgtool check prints it.
    std::string Text() const;
};

// A map file of the folder, decoded (nothing drawn, no pictures kept).
struct ContentMap {
    std::string file;     // its name in the folder, letter case as found
    MapFileData data;
    long tiles = -1;      // tile numbers its tileset draws (1 to tiles); -1 when the picture cannot be read
    long looks = -1;      // sprite rows of its NPC sheet; -1 when the picture cannot be read
};

// A text list as read: whether it was read to its end without a problem, its text, and the line
// each whitespace-separated word starts on (the item and shop lists are read word by word).
struct ContentList {
    bool ok = false;
    std::string text;
    std::vector<int> word_lines;
};

// Everything rpgtool check looks at. Maps are found by lower-case file name, as the game finds
// files whatever their letter case.
struct ContentSet {
    std::map<std::string, ContentMap> maps;
    ContentList npc_list, item_list, shop_list;
    std::vector<CNpcInfo> people;          // the NPC records of the file, without the reader's extra entries
    std::vector<CInv> items;               // the item records, id 1 first
    int stock[MAX_SHOPS][SHOP_ITEMS] = {};  // the shops' item ids
    int shops_read = 0;                    // shops whose five ids are all in the file
    std::vector<CheckProblem> read_problems;  // files that are missing or damaged

    // The map a path names ("./data/Castle.map"), whatever the letter case of its file name; null when none.
    const ContentMap* Find(const std::string& path) const;
    ContentMap* Find(const std::string& path);
};

// Reads every map (*.map, *.MAP), the pictures they name and the three lists of `dir`. A file
// that is missing or damaged becomes a read problem; false, with `error`, only when the folder
// itself cannot be read. Called by rpgtool check and the tests.
bool load_content(const std::string& dir, ContentSet& out, std::string& error);

// The lower-case file name part of a path: the key a map is found by.
std::string content_key(const std::string& path);
