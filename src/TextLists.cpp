// Pure readers of the NPC, item and shop lists, kept apart from the loaders so they run in tests and fuzzers.
#include "TextLists.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include <algorithm>

#include "DataFiles.h"

bool parse_leading_int(const std::string& s, int& value) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\v' || s[i] == '\f' || s[i] == '\r' || s[i] == '\n')) ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
    long long v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        v = v * 10 + (s[i] - '0');
        // Past int already: stop before the digits could overflow the wider type.
        if (v > (long long)INT_MAX + 1) return false;
    }
    if (neg) v = -v;
    if (v > INT_MAX || v < INT_MIN) return false;
    value = (int)v;
    return true;
}

namespace {

// Line reader with the end-of-file behaviour of a C text stream read line by line:
// the end counts as reached only once a read has run into it.
class LineReader {
public:
    explicit LineReader(const std::string& t) : text(t) {}
    bool at_end() const { return eof; }
    int line_no() const { return line; }

    // The next line without its line feed and carriage return; empty once the text is used
    // up. False when the line is longer than `limit`.
    bool next(size_t limit, std::string& out) {
        out.clear();
        if (eof || pos >= text.size()) {
            eof = true;
            return true;
        }
        ++line;
        size_t nl = text.find('\n', pos);
        size_t end = nl == std::string::npos ? text.size() : nl;
        size_t stop = end;
        if (stop > pos && text[stop - 1] == '\r') --stop;
        if (stop - pos > limit) return false;
        out.assign(text, pos, stop - pos);
        if (nl == std::string::npos) {
            pos = text.size();
            eof = true;
        } else {
            pos = nl + 1;
        }
        return true;
    }

private:
    const std::string& text;
    size_t pos = 0;
    bool eof = false;
    int line = 0;
};

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Whitespace-separated words with the line each starts on.
class WordReader {
public:
    explicit WordReader(const std::string& t) : text(t) {}
    int line_no() const { return line; }
    bool next(std::string& out) {
        while (pos < text.size() && is_space(text[pos])) {
            if (text[pos] == '\n') ++line;
            ++pos;
        }
        if (pos >= text.size()) return false;
        size_t start = pos;
        while (pos < text.size() && !is_space(text[pos])) ++pos;
        out.assign(text, start, pos - start);
        return true;
    }

private:
    const std::string& text;
    size_t pos = 0;
    int line = 1;
};

// What a word of the item or shop list is as a number.
enum class WordNumber { OK, NOT_A_NUMBER, OUT_OF_RANGE };

// A whole decimal integer that fits an int: optional sign, then digits only.
WordNumber whole_int(const std::string& w, int& v) {
    size_t i = 0;
    if (i < w.size() && (w[i] == '+' || w[i] == '-')) ++i;
    if (i == w.size()) return WordNumber::NOT_A_NUMBER;
    for (size_t k = i; k < w.size(); ++k)
        if (w[k] < '0' || w[k] > '9') return WordNumber::NOT_A_NUMBER;
    return parse_leading_int(w, v) ? WordNumber::OK : WordNumber::OUT_OF_RANGE;
}

// The words of the messages about a number outside its field.
const char* const INT_RANGE = "outside -2147483648 to 2147483647";

std::string shorten(const std::string& w) { return w.size() > 20 ? w.substr(0, 20) + "..." : w; }

ListReadResult fail(int line, const std::string& what) {
    ListReadResult r;
    r.line = line;
    r.error = "line " + std::to_string(line) + ": " + what;
    return r;
}

}  // namespace

ListReadResult parse_npc_list(const std::string& text, std::vector<CNpcInfo>& out) {
    out.assign(1, CNpcInfo());
    LineReader in(text);
    size_t i = 0;
    std::string l[NPC_RECORD_LINES];
    int at[NPC_RECORD_LINES] = {};
    while (!in.at_end()) {
        for (int k = 0; k < NPC_RECORD_LINES; ++k) {
            size_t limit = k <= NPC_LINE_NAME ? NPC_SHORT_LINE : NPC_LONG_LINE;
            bool fits = in.next(limit, l[k]);
            at[k] = in.line_no();
            if (!fits) {
                // A record cut by an over-long line is not kept.
                out.resize(i);
                return fail(at[k], "longer than " + std::to_string(limit) + " characters");
            }
        }
        CNpcInfo& r = out[i];
        static const struct {
            int line;
            const char* what;
            int CNpcInfo::*field;
        } numbers[] = {{NPC_LINE_NUMBER, "record number", &CNpcInfo::id},
                       {NPC_LINE_QUEST_MASK, "quest mask", &CNpcInfo::quest_flag},
                       {NPC_LINE_NEXT_QUEST, "next quest", &CNpcInfo::quest_next}};
        for (const auto& n : numbers) {
            int v = 0;
            if (!parse_leading_int(l[n.line], v)) {
                out.resize(i);
                return fail(at[n.line], std::string("the ") + n.what + " \"" + shorten(l[n.line]) + "\" is " + INT_RANGE);
            }
            r.*n.field = v;
        }
        r.name = l[NPC_LINE_NAME];
        r.talk = l[NPC_LINE_TALK];
        r.script = l[NPC_LINE_KEYWORD];
        r.yes_text = l[NPC_LINE_YES];
        r.no_text = l[NPC_LINE_NO];
        r.done_text = l[NPC_LINE_DONE];
        out.push_back(CNpcInfo());
        ++i;
    }
    return ListReadResult();
}

ListReadResult parse_equip_list(const std::string& text, CInv (&items)[MAX_ITEMS], int& count) {
    count = 0;
    WordReader in(text);
    std::string w;
    while (count < MAX_ITEMS) {
        if (!in.next(w)) return ListReadResult();
        if (w.size() > EQUIP_MAX_WORD)
            return fail(in.line_no(), "item name longer than " + std::to_string(EQUIP_MAX_WORD) + " characters");
        std::string name = w;
        int v[4];
        static const char* const FIELD[4] = {"type", "damage", "armour", "price"};
        for (int k = 0; k < 4; ++k) {
            if (!in.next(w)) return fail(in.line_no(), "the file ends inside the record of \"" + shorten(name) + "\"");
            WordNumber got = whole_int(w, v[k]);
            if (got != WordNumber::OK)
                return fail(in.line_no(), std::string("the ") + FIELD[k] + " of \"" + shorten(name) + "\" is " +
                                              (got == WordNumber::OUT_OF_RANGE ? INT_RANGE : "not a number") + ": \"" +
                                              shorten(w) + "\"");
        }
        CInv& it = items[count];
        it.name = name;
        it.id = count + 1;
        it.type = v[0];
        it.damage = v[1];
        it.armour = v[2];
        it.price = v[3];
        ++count;
    }
    return ListReadResult();
}

ListReadResult parse_shop_list(const std::string& text, int (&stock)[MAX_SHOPS][SHOP_ITEMS], int& read) {
    read = 0;
    WordReader in(text);
    std::string w;
    int row[SHOP_ITEMS];
    while (read < MAX_SHOPS * SHOP_ITEMS && in.next(w)) {
        int shop = read / SHOP_ITEMS, k = read % SHOP_ITEMS;
        if (k == 0) std::copy(stock[shop], stock[shop] + SHOP_ITEMS, row);
        int v = 0;
        WordNumber got = whole_int(w, v);
        // An id outside the item list would index past it wherever the shop looks the item up.
        if (got != WordNumber::OK || v < 0 || v > MAX_ITEMS) {
            // The damaged shop keeps what it sold before.
            std::copy(row, row + SHOP_ITEMS, stock[shop]);
            read = shop * SHOP_ITEMS;
            if (got == WordNumber::NOT_A_NUMBER) return fail(in.line_no(), "not an item number: \"" + shorten(w) + "\"");
            return fail(in.line_no(), "item " + shorten(w) + " of shop " + std::to_string(shop) +
                                          " is not in the item list (0 for nothing, or 1 to " + std::to_string(MAX_ITEMS) + ")");
        }
        stock[shop][k] = v;
        ++read;
    }
    return ListReadResult();
}

std::vector<int> list_word_lines(const std::string& text) {
    std::vector<int> lines;
    WordReader in(text);
    std::string w;
    while (in.next(w)) lines.push_back(in.line_no());
    return lines;
}

bool read_text_file(const std::string& path, std::string& text) {
    FILE* f = open_data_file(path, "rb");
    if (!f) return false;
    text.clear();
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    bool ok = !ferror(f);
    fclose(f);
    return ok;
}
