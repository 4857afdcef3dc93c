// Pure readers of the game's text lists (NPC list, item list, shop list): text in, records out, no drawing.
#pragma once

#include <string>
#include <vector>

#include "CNpc.h"
#include "CPlayer.h"

// Lines of one NPC record, in file order.
enum NpcRecordLine {
    NPC_LINE_NUMBER, NPC_LINE_NAME, NPC_LINE_TALK, NPC_LINE_KEYWORD, NPC_LINE_YES, NPC_LINE_NO,
    NPC_LINE_QUEST_MASK, NPC_LINE_NEXT_QUEST, NPC_LINE_DONE,
    NPC_RECORD_LINES  // lines per record
};

// Longest line 1 and 2 of an NPC record (number and speaker name).
constexpr size_t NPC_SHORT_LINE = 254;
// Longest of the other seven lines of an NPC record.
constexpr size_t NPC_LONG_LINE = 1023;
// Longest word of the item list (a name; numbers are far shorter).
constexpr size_t EQUIP_MAX_WORD = 254;

// The integer at the start of a number line: optional blanks, optional sign, digits;
// anything after the digits is ignored, no digit gives 0. False, with value untouched, when
// the digits give a number outside int: such a line is damaged, never saturated.
bool parse_leading_int(const std::string& s, int& value);

// What a list reader found. `error` is empty when the text was read to its end.
struct ListReadResult {
    std::string error;  // the problem, with its line number when it has one
    int line = 0;       // 1-based line of the problem, 0 when there is none
    bool ok() const { return error.empty(); }
};

// Reads npcs.txt text into records of nine lines. The result holds the file's records,
// then (when the text ends with a line feed) one entry of empty texts and zero numbers,
// then one default entry, the way the game has always laid the list out. Carriage
// returns before a line feed are dropped. A line longer than its limit, or a number line
// outside int, stops the reading with an error at that line; `out` then holds the records
// completed before it.
ListReadResult parse_npc_list(const std::string& text, std::vector<CNpcInfo>& out);

// Reads equip.txt text: records of five whitespace-separated fields (name, type, damage,
// armour, price), at most MAX_ITEMS. Records read completely are stored in items[0..n-1]
// with ids 1..n; the rest of `items` is left alone. `count` gets n. Reading stops at the
// end, at a field that is not a whole decimal integer or lies outside int where one is due
// (an error; its record is not stored) or after the last record that fits.
ListReadResult parse_equip_list(const std::string& text, CInv (&items)[MAX_ITEMS], int& count);

// Reads shops.txt text: whitespace-separated integers, five per shop, shop 0 first, at most
// MAX_SHOPS shops, each number into the next entry (0 sells nothing). A token that is not a
// whole integer, or an id outside 0..MAX_ITEMS, stops the reading with an error at its line;
// the shop it belongs to keeps the ids it had. Entries not reached keep their values.
// `read` gets the count of numbers stored.
ListReadResult parse_shop_list(const std::string& text, int (&stock)[MAX_SHOPS][SHOP_ITEMS], int& read);

// The line (1-based) each whitespace-separated word of text starts on, in order: the item and
// shop lists are read word by word, so this tells which line a record or an id stands on.
// Used by the content check to name the line of a problem.
std::vector<int> list_word_lines(const std::string& text);

// Reads a whole file into `text`; false when it cannot be opened. Goes through open_data_file.
bool read_text_file(const std::string& path, std::string& text);
