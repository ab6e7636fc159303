#include "market/price.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vantor {

const char* PeriodCaption(TWeekStyle w) {
    static const char* const captions[] = {"1分钟",  "3分钟",  "5分钟", "10分钟", "15分钟",
                                           "30分钟", "60分钟", "日线",  "周线",   "月线",
                                           "45天",   "季线",   "年线",  "分笔线", "自定义"};
    int i = static_cast<int>(w);
    return (i >= 0 && i <= static_cast<int>(wsNone)) ? captions[i] : "";
}

double TextToFloat(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty()) return 0;
    // Only plain decimal notation counts as a number (no hex, inf or nan words).
    for (char ch : s)
        if (!((ch >= '0' && ch <= '9') || ch == '.' || ch == '-' || ch == 'e' || ch == 'E'))
            return 0;
    double v = 0;
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v)) return 0;
    return v;
}

static int TruncToInt(double v) {
    if (!(v > -2147483648.0 && v < 2147483648.0)) return 0;
    return static_cast<int>(v);
}

int BarTimeNumber(const ShortStr& s) {
    return TruncToInt(TextToFloat(s.view()));
}
int BarDateNumber(const ShortStr& s) {
    return TruncToInt(TextToFloat(s.view()));
}

std::vector<std::string_view> SplitBarFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t i = 0, n = line.size();
    while (i < n) {
        while (i < n && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= n) break;
        std::size_t start = i;
        if (line[i] == '"' || line[i] == '\'') {
            char q = line[i++];
            while (i < n && line[i] != q) ++i;
            if (i < n) ++i; // closing quote
            while (i < n && line[i] != ',') ++i;
        } else {
            while (i < n && line[i] != ',') ++i;
        }
        std::string_view f = line.substr(start, i - start);
        while (!f.empty() && (f.back() == '\r' || f.back() == '\n')) f.remove_suffix(1);
        if (!f.empty()) fields.push_back(f);
        if (i < n) ++i; // the comma
    }
    return fields;
}

bool ParseBarLine(std::string_view line, Price& bar) {
    bar = Price{};
    auto f = SplitBarFields(line);
    std::size_t k = 0;
    if (f.size() == 7) {
        bar.Srq = f[k++];
    } else if (f.size() == 8 || f.size() == 9) {
        bar.Srq = f[k++];
        bar.Ssj = f[k++];
    } else {
        return false;
    }
    bar.Spk = TextToFloat(f[k++]);
    bar.Spg = TextToFloat(f[k++]);
    bar.Spd = TextToFloat(f[k++]);
    bar.Sps = TextToFloat(f[k++]);
    bar.Scjl = TextToFloat(f[k++]);
    bar.Scje = TextToFloat(f[k++]);
    return true;
}

std::string FormatBarLine(const Price& bar) {
    char buf[256];
    std::snprintf(buf, sizeof buf, "%s,%s,%.4f,%.4f,%.4f,%.4f,%.4f,%.4f", bar.Srq.str().c_str(),
                  bar.Ssj.str().c_str(), bar.Spk, bar.Spg, bar.Spd, bar.Sps, bar.Scjl, bar.Scje);
    return buf;
}

} // namespace vantor
