#include "chart/param_adjust.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>

#include "chart/tgp.h"

namespace vantor {

namespace {
std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}
} // namespace

std::string RewriteInputLine(const std::string& text, const std::string& label, const Param& p) {
    const std::string start = label + "=";
    char args[64];
    std::snprintf(args, sizeof args, "%d,%d,%d,%d", p.min1, p.max1, p.def1, p.val1);
    const std::string line = Upper(label + "=input(" + args + ")");
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        if (text.compare(pos, start.size(), start) == 0) {
            // The line end ("\r\n" or "\n") stays as it was.
            size_t stop = end > pos && text[end - 1] == '\r' ? end - 1 : end;
            return text.substr(0, pos) + line + text.substr(stop);
        }
        pos = end + 1;
    }
    return text;
}

ParamAdjust::ParamAdjust(TGP& chart, ChartWindow& window)
    : chart_(chart), window_(window), text_(window.prog->ProgText()) {
    for (const Param& p : window.prog->Params()) {
        if (rows_.size() == 51) break;
        rows_.push_back({Upper(p.Name) + ":", p});
    }
}

int ParamAdjust::SetValue(size_t row, int value) {
    if (row >= rows_.size()) return 0;
    Param& p = rows_[row].param;
    const int lo = std::min(p.min1, p.max1), hi = std::max(p.min1, p.max1);
    p.val1 = std::clamp(value, lo, hi);
    text_ = RewriteInputLine(text_, rows_[row].label, p);
    chart_.SetWindowProgram(&window_, text_);
    return p.val1;
}

int ParamAdjust::SetTyped(size_t row, const std::string& typed) {
    if (row >= rows_.size()) return 0;
    size_t b = typed.find_first_not_of(' '), e = typed.find_last_not_of(' ');
    long long v = 0;
    if (b != std::string::npos) {
        const char* first = typed.data() + b;
        const char* last = typed.data() + e + 1;
        if (*first == '+') ++first;
        auto [ptr, ec] = std::from_chars(first, last, v);
        if (ec == std::errc::result_out_of_range)
            v = *first == '-' ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
        else if (ec != std::errc() || ptr != last)
            return rows_[row].param.val1;
    } else {
        return rows_[row].param.val1;
    }
    v = std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    return SetValue(row, static_cast<int>(v));
}

void ParamAdjust::RestoreDefaults() {
    for (size_t r = 0; r < rows_.size(); ++r) SetValue(r, rows_[r].param.def1);
}

} // namespace vantor
