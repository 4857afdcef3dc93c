// Splitting an rpgtool command line into its words and its options, which may stand anywhere.
#include <algorithm>

#include "ToolCommands.h"

ToolArgs split_tool_args(const std::vector<std::string>& args, const std::vector<std::string>& flags,
                         const std::vector<std::string>& with_value) {
    ToolArgs out;
    auto known = [](const std::vector<std::string>& names, const std::string& a) {
        return std::find(names.begin(), names.end(), a) != names.end();
    };
    bool words_only = false;
    for (size_t i = 0; i < args.size(); i++) {
        const std::string& a = args[i];
        if (words_only || a.size() < 2 || a.compare(0, 2, "--") != 0) {
            out.words.push_back(a);
            continue;
        }
        if (a == "--") {
            words_only = true;
            continue;
        }
        if (out.options.count(a)) {
            out.error = "the option " + a + " is given twice";
            return out;
        }
        if (known(flags, a)) {
            out.options[a] = "";
        } else if (known(with_value, a)) {
            if (i + 1 >= args.size()) {
                out.error = "the option " + a + " needs a value";
                return out;
            }
            out.options[a] = args[++i];
        } else {
            out.error = "unknown option " + a;
            return out;
        }
    }
    return out;
}
