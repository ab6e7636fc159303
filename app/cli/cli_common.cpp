#include "cli/cli_common.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iostream>
#include <limits>

namespace vantor::cli {

std::optional<std::string> Args::get(const std::string& name) const {
    auto it = options.find(name);
    if (it == options.end()) return std::nullopt;
    return it->second;
}

std::vector<std::string> Args::all(const std::string& name) const {
    std::vector<std::string> out;
    auto [b, e] = options.equal_range(name);
    for (auto it = b; it != e; ++it) out.push_back(it->second);
    return out;
}

Args ParseArgs(int argc, char** argv, int first, const std::vector<std::string>& valueOptions,
               const std::vector<std::string>& flags) {
    Args a;
    auto in = [](const std::vector<std::string>& v, const std::string& s) {
        return std::find(v.begin(), v.end(), s) != v.end();
    };
    for (int i = first; i < argc; ++i) {
        std::string w = argv[i];
        if (w.rfind("--", 0) != 0 || w.size() == 2) {
            a.positional.push_back(w);
            continue;
        }
        std::string name = w.substr(2), value;
        auto eq = name.find('=');
        bool inlineValue = eq != std::string::npos && in(valueOptions, name.substr(0, eq));
        if (inlineValue) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        if (in(flags, name)) {
            a.options.emplace(name, "");
        } else if (in(valueOptions, name)) {
            if (!inlineValue) {
                if (i + 1 >= argc) {
                    a.error = "option --" + name + " needs a value";
                    return a;
                }
                value = argv[++i];
            }
            a.options.emplace(name, value);
        } else {
            a.error = "unknown option --" + name;
            return a;
        }
    }
    return a;
}

int UsageError(const std::string& message) {
    std::cerr << "vantor-cli: " << message << "\n";
    return 2;
}

int Failure(const std::string& message) {
    std::cerr << message << "\n";
    return 1;
}

std::optional<int> ParseInt(const std::string& text) {
    int v = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || text.empty())
        return std::nullopt;
    return v;
}

std::optional<TWeekStyle> ParsePeriod(const std::string& name) {
    static const std::pair<const char*, TWeekStyle> names[] = {
        {"1m", wsmin1},   {"3m", wsMin3},    {"5m", wsMin5},  {"10m", wsmin10}, {"15m", wsMin15},
        {"30m", wsMin30}, {"60m", wsMin60},  {"day", wsDay},  {"week", wsWeek}, {"month", wsMonth},
        {"45d", wsDay45}, {"quarter", wsJi}, {"year", wsYear}};
    for (auto& [n, w] : names)
        if (name == n) return w;
    return std::nullopt;
}

int LoadStore(const Args& args, Tstock& store, TWeekStyle& period) {
    if (args.positional.empty()) return UsageError("missing data FILE");
    const std::string& file = args.positional[0];
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return Failure("数据文件不存在: " + file);

    std::optional<int> start = 0, last;
    if (auto s = args.get("start")) {
        start = ParseInt(*s);
        if (!start || *start < 0) return UsageError("--start needs a row number (0 or more)");
    }
    if (auto s = args.get("last")) {
        last = ParseInt(*s);
        if (!last || *last < 0) return UsageError("--last needs a row number (0 or more)");
    }
    static const Host stderrHost{[](const std::string& m) { std::cerr << m << "\n"; }, {}};
    store.host = &stderrHost;
    store.fileName = file;
    store.startrow = *start;
    store.setLastrow(last ? *last : std::numeric_limits<int>::max());
    if (!store.loaddata()) return Failure("无法读取数据文件: " + file);
    if (store.fcount == 0) return Failure("数据文件没有数据: " + file);
    if (*start > store.fcount - 1 || (last && (*last > store.fcount - 1 || *last < *start)))
        return UsageError("rows out of range: the file has rows 0 to " +
                          std::to_string(store.fcount - 1));
    if (!last) { // the whole file from the start row
        store.Readd(*start, store.fcount - 1);
        store.nIndex = store.fcount - 1;
    }

    if (auto p = args.get("period")) {
        auto w = ParsePeriod(*p);
        if (!w)
            return UsageError("unknown period '" + *p +
                              "' (1m 3m 5m 10m 15m 30m 60m day week month 45d quarter year)");
        period = *w;
    } else {
        period = store.Fp[0].Ssj.empty() ? wsDay : wsmin1;
    }
    return 0;
}

} // namespace vantor::cli
