// The route file's reader: one goal a line, grouped under act lines.
#include "Route.h"

#include <cstdlib>
#include <map>

#include "TextLists.h"

namespace {

// Splits a line into words; "double quotes" keep blanks inside one word. A '#' outside quotes
// starts a comment. False on a quote left open.
bool split_words(const std::string& line, std::vector<std::string>& words) {
    words.clear();
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            const size_t end = line.find('"', i + 1);
            if (end == std::string::npos) return false;
            words.push_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            size_t end = i;
            while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r') ++end;
            words.push_back(line.substr(i, end - i));
            i = end;
        }
    }
    return true;
}

bool whole_number(const std::string& s, int& value) {
    if (s.empty()) return false;
    char* end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (*end != '\0' || v < -1000000 || v > 1000000) return false;
    value = (int)v;
    return true;
}

// How the words after a goal's keyword are read.
enum Shape {
    SHAPE_TILE,     // MAP COL ROW
    SHAPE_PERSON,   // MAP NAME [yes|no] [nopotions]
    SHAPE_TILE_ASK, // MAP COL ROW [yes|no]
    SHAPE_SHOP,     // MAP SHOP ITEM...
    SHAPE_MAP,      // MAP
    SHAPE_MAP_TILE, // MAP [COL ROW]
    SHAPE_TRAIN,    // MAP [hero|companion]
    SHAPE_ITEM,     // ITEM [hero|companion]
    SHAPE_NOTHING,  //
};

struct Keyword {
    GoalKind kind;
    Shape shape;
};

const std::map<std::string, Keyword>& keywords() {
    static const std::map<std::string, Keyword> table = {
        {"go", {GOAL_GO, SHAPE_TILE}},          {"step", {GOAL_STEP, SHAPE_TILE}},
        {"talk", {GOAL_TALK, SHAPE_PERSON}},    {"use", {GOAL_USE, SHAPE_TILE_ASK}},
        {"chest", {GOAL_CHEST, SHAPE_TILE}},    {"buy", {GOAL_BUY, SHAPE_SHOP}},
        {"rest", {GOAL_REST, SHAPE_MAP}},       {"save", {GOAL_SAVE, SHAPE_MAP}},
        {"train", {GOAL_TRAIN, SHAPE_TRAIN}},   {"battle", {GOAL_BATTLE, SHAPE_TILE}},
        {"wear", {GOAL_WEAR, SHAPE_ITEM}},      {"give", {GOAL_GIVE, SHAPE_ITEM}},
        {"drop", {GOAL_DROP, SHAPE_ITEM}},      {"pickup", {GOAL_PICKUP, SHAPE_MAP_TILE}},
        {"restart", {GOAL_RESTART, SHAPE_NOTHING}}, {"end", {GOAL_END, SHAPE_NOTHING}},
    };
    return table;
}

// A member word: "hero" or "companion".
bool member_word(const std::string& w, int& member) {
    if (w == "hero") member = 0;
    else if (w == "companion") member = 1;
    else return false;
    return true;
}

// Reads the words of one goal line (keyword first) into g; "" or the problem.
std::string read_goal(const std::vector<std::string>& w, Goal& g) {
    const auto k = keywords().find(w[0]);
    if (k == keywords().end()) return "unknown goal '" + w[0] + "'";
    g.kind = k->second.kind;
    const size_t n = w.size();
    auto tile = [&](size_t at) -> std::string {
        if (n < at + 2) return "'" + w[0] + "' needs a map, a column and a row";
        if (!whole_number(w[at], g.col) || !whole_number(w[at + 1], g.row) || g.col < 0 || g.row < 0)
            return "'" + w[at] + " " + w[at + 1] + "' is not a tile";
        return "";
    };
    auto answer = [&](const std::string& a) {
        if (a == "yes") g.answer = ANSWER_YES;
        else if (a == "no") g.answer = ANSWER_NO;
        else return false;
        return true;
    };
    switch (k->second.shape) {
    case SHAPE_TILE:
    case SHAPE_TILE_ASK: {
        if (n < 2) return "'" + w[0] + "' needs a map, a column and a row";
        g.map = w[1];
        std::string problem = tile(2);
        if (!problem.empty()) return problem;
        if (n == 5 && k->second.shape == SHAPE_TILE_ASK && answer(w[4])) return "";
        if (n > 4) return "unexpected '" + w[4] + "'";
        return "";
    }
    case SHAPE_PERSON:
        if (n < 3) return "'talk' needs a map and a person";
        g.map = w[1];
        g.name = w[2];
        for (size_t i = 3; i < n; ++i) {
            if (answer(w[i])) continue;
            if (w[i] == "nopotions") {
                g.no_potions = true;
                continue;
            }
            return "unexpected '" + w[i] + "'";
        }
        return "";
    case SHAPE_SHOP:
        if (n < 4) return "'buy' needs a map, a shop number and at least one item";
        g.map = w[1];
        if (!whole_number(w[2], g.shop) || g.shop < 0) return "'" + w[2] + "' is not a shop number";
        g.items.assign(w.begin() + 3, w.end());
        return "";
    case SHAPE_MAP:
        if (n != 2) return "'" + w[0] + "' needs just a map";
        g.map = w[1];
        return "";
    case SHAPE_MAP_TILE:
        if (n != 2 && n != 4) return "'" + w[0] + "' needs a map, and maybe a column and a row";
        g.map = w[1];
        return n == 4 ? tile(2) : "";
    case SHAPE_TRAIN:
        if (n < 2 || n > 3) return "'train' needs a map and maybe a member";
        g.map = w[1];
        if (n == 3 && !member_word(w[2], g.member)) return "'" + w[2] + "' is neither hero nor companion";
        return "";
    case SHAPE_ITEM:
        if (n < 2 || n > 3) return "'" + w[0] + "' needs an item and maybe a member";
        g.name = w[1];
        if (n == 3 && !member_word(w[2], g.member)) return "'" + w[2] + "' is neither hero nor companion";
        return "";
    case SHAPE_NOTHING:
        if (n != 1) return "'" + w[0] + "' takes nothing more";
        return "";
    }
    return "";
}

}  // namespace

bool parse_route(const std::string& text, Route& out, std::string& error) {
    out = Route();
    size_t start = 0;
    int line_no = 0;
    std::vector<std::string> words;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        ++line_no;
        if (!split_words(line, words)) {
            error = "line " + std::to_string(line_no) + ": a quote is not closed";
            return false;
        }
        if (words.empty()) continue;
        if (words[0] == "act") {
            if (words.size() < 2) {
                error = "line " + std::to_string(line_no) + ": an act needs a title";
                return false;
            }
            Act act;
            act.line = line_no;
            // The title is the rest of the line as written.
            const size_t at = line.find("act") + 3;
            act.title = line.substr(line.find_first_not_of(" \t", at));
            while (!act.title.empty() && (act.title.back() == '\r' || act.title.back() == ' ')) act.title.pop_back();
            out.acts.push_back(act);
            continue;
        }
        if (out.acts.empty()) {
            error = "line " + std::to_string(line_no) + ": a goal before the first act";
            return false;
        }
        Goal g;
        g.line = line_no;
        const std::string problem = read_goal(words, g);
        if (!problem.empty()) {
            error = "line " + std::to_string(line_no) + ": " + problem;
            return false;
        }
        g.text = words[0];
        for (size_t i = 1; i < words.size(); ++i) g.text += " " + words[i];
        out.acts.back().goals.push_back(g);
    }
    return true;
}

bool read_route(const std::string& path, Route& out, std::string& error) {
    std::string text;
    if (!read_text_file(path, text)) {
        error = path + ": cannot be read";
        return false;
    }
    if (!parse_route(text, out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}
