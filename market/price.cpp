#include "market/price.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vantor {

const char* PeriodCaption(TWeekStyle w) {
    static const char* const captions[] = {"1分钟",  "3分钟",  "5分钟", "10分钟", "15分钟",
                                           "30分钟", "60分钟", "日线",  "周线",   "月线",
                                           "45天",   "季线",   "年线",  "分笔线", "自定义"};
    int i = static_cast<int>(w);
    return (i >= 0 && i <= static_cast<int>(wsNone)) ? captions[i] : "";
}

namespace {

// Powers of ten that doubles hold exactly.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Plain decimals of at most 15 digits ("-3485.2000"), the form of nearly every field of a
// data file, read without the general parser: the digits make an exact integer and one
// division by an exact power of ten rounds it, so the result is the correctly rounded
// value the general parser gives. False for any other text.
bool ReadShortDecimal(std::string_view s, double& v) {
    const char* p = s.data();
    const char* end = p + s.size();
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    std::int64_t digits = 0;
    int count = 0, decimals = 0;
    bool point = false;
    for (; p < end; ++p) {
        const char ch = *p;
        if (ch >= '0' && ch <= '9') {
            if (++count > 15) return false;
            digits = digits * 10 + (ch - '0');
            if (point) ++decimals;
        } else if (ch == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (count == 0) return false;
    const double magnitude = static_cast<double>(digits) / kExactPowers[decimals];
    v = negative ? -magnitude : magnitude;
    return true;
}

} // namespace

double TextToFloat(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty()) return 0;
    double v = 0;
    if (ReadShortDecimal(s, v)) return v;
    // Only plain decimal notation counts as a number (no hex, inf or nan words).
    for (char ch : s)
        if (!((ch >= '0' && ch <= '9') || ch == '.' || ch == '-' || ch == 'e' || ch == 'E'))
            return 0;
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v)) return 0;
    return v;
}

static int TruncToInt(double v) {
    if (!(v > -2147483648.0 && v < 2147483648.0)) return 0;
    return static_cast<int>(v);
}

// The number of a date or time field: up to nine plain digits are counted up directly (what
// reading them as a float and truncating gives), anything else goes through TextToFloat.
static int FieldNumber(std::string_view s) {
    if (!s.empty() && s.size() <= 9) {
        int v = 0;
        for (char ch : s) {
            if (ch < '0' || ch > '9') return TruncToInt(TextToFloat(s));
            v = v * 10 + (ch - '0');
        }
        return v;
    }
    return TruncToInt(TextToFloat(s));
}

int BarTimeNumber(const ShortStr& s) {
    return FieldNumber(s.view());
}
int BarDateNumber(const ShortStr& s) {
    return FieldNumber(s.view());
}

namespace {

// Calls take(field) for each field of a data-file line (see SplitBarFields); stops early
// when take returns false.
template <class Take> void ForEachBarField(std::string_view line, Take take) {
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
        if (!f.empty() && !take(f)) return;
        if (i < n) ++i; // the comma
    }
}

} // namespace

std::vector<std::string_view> SplitBarFields(std::string_view line) {
    std::vector<std::string_view> fields;
    ForEachBarField(line, [&](std::string_view f) {
        fields.push_back(f);
        return true;
    });
    return fields;
}

namespace {

// Reads the run of digits at p (before `end`) onto `digits` and returns its length.
inline long ReadDigitRun(const char*& p, const char* end, std::uint64_t& digits) {
    const char* const start = p;
    while (p < end && static_cast<unsigned>(*p - '0') <= 9) digits = digits * 10 + (*p++ - '0');
    return p - start;
}

// Reads a line whose 7 to 9 fields are all plain decimals (digits, at most one point, a
// leading minus; no blanks, quotes or empty fields), each number taken as its characters are
// passed: the bar the general reading gives for it. False for any other line, which is left
// to the general reading.
bool ReadPlainBarLine(std::string_view line, Price& bar) {
    const char* p = line.data();
    const char* const end = p + line.size();
    std::string_view text[2]; // the date and time fields are kept as text
    double value[9];
    int count = 0;
    for (;;) {
        if (count == 9) return false; // a tenth field: the line is refused there
        const char* const start = p;
        const bool negative = p < end && *p == '-';
        if (negative) ++p;
        // The digits before and after the point make one integer (past fifteen digits the
        // line is left to the general reading, so wrapping around does not matter).
        std::uint64_t digits = 0;
        long ndigits = ReadDigitRun(p, end, digits), decimals = 0;
        if (p < end && *p == '.') {
            ++p;
            decimals = ReadDigitRun(p, end, digits);
            ndigits += decimals;
        }
        if (p < end && *p != ',') return false;
        if (ndigits == 0 || ndigits > 15) return false; // an empty field, a lone sign or point
        const double whole = static_cast<double>(digits);
        const double magnitude = decimals == 0 ? whole : whole / kExactPowers[decimals];
        value[count] = negative ? -magnitude : magnitude;
        if (count < 2) text[count] = std::string_view(start, static_cast<std::size_t>(p - start));
        ++count;
        if (p == end) break;
        ++p; // the comma
    }
    if (count < 7) return false;
    int k = 0;
    bar.Srq = text[k++];
    if (count == 7)
        bar.Ssj = ShortStr(); // no time field (and no copy from an empty view)
    else
        bar.Ssj = text[k++];
    bar.Spk = value[k++];
    bar.Spg = value[k++];
    bar.Spd = value[k++];
    bar.Sps = value[k++];
    bar.Scjl = value[k++];
    bar.Scje = value[k++];
    return true;
}

} // namespace

bool ParseBarLine(std::string_view line, Price& bar) {
    if (ReadPlainBarLine(line, bar)) return true;
    bar = Price{};
    // At most 9 fields make a bar; a tenth is enough to refuse the line.
    std::array<std::string_view, 10> f;
    std::size_t count = 0;
    ForEachBarField(line, [&](std::string_view field) {
        f[count++] = field;
        return count < f.size();
    });
    std::size_t k = 0;
    if (count == 7) {
        bar.Srq = f[k++];
    } else if (count == 8 || count == 9) {
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
