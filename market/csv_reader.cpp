#include "market/csv_reader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace vantor {

namespace {

enum Column { kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume, kAmount, kColumnCount };

// The captions messages use for the columns.
const char* const kColumnCaptions[kColumnCount] = {"日期", "时间", "开盘",   "最高",
                                                   "最低", "收盘", "成交量", "成交额"};

struct ColumnName {
    const char* name; // lower case, without blanks, '_', '-', '.' and '/'
    Column column;
};

// A date column may also hold the time ("2024-09-27 09:31:00"), so the names of a combined
// date-time column name the date column.
constexpr ColumnName kColumnNames[] = {
    {"date", kDate},     {"day", kDate},         {"tradedate", kDate},  {"tradingday", kDate},
    {"datetime", kDate}, {"timestamp", kDate},   {"日期", kDate},       {"交易日期", kDate},
    {"交易日", kDate},   {"日期时间", kDate},    {"time", kTime},       {"bartime", kTime},
    {"时间", kTime},     {"open", kOpen},        {"openprice", kOpen},  {"开盘", kOpen},
    {"开盘价", kOpen},   {"开", kOpen},          {"high", kHigh},       {"highprice", kHigh},
    {"最高", kHigh},     {"最高价", kHigh},      {"高", kHigh},         {"low", kLow},
    {"lowprice", kLow},  {"最低", kLow},         {"最低价", kLow},      {"低", kLow},
    {"close", kClose},   {"closeprice", kClose}, {"收盘", kClose},      {"收盘价", kClose},
    {"收", kClose},      {"volume", kVolume},    {"vol", kVolume},      {"成交量", kVolume},
    {"总手", kVolume},   {"量", kVolume},        {"amount", kAmount},   {"turnover", kAmount},
    {"money", kAmount},  {"成交额", kAmount},    {"成交金额", kAmount}, {"金额", kAmount},
    {"额", kAmount}};

constexpr char kSeparators[] = {',', ';', '\t', '|'};
constexpr std::size_t kHeaderSearchLines = 20; // non-empty lines searched for the header
constexpr std::size_t kProgressStep = 1 << 20;

bool IsBlank(char c, char sep) {
    return c == ' ' || (c == '\t' && sep != '\t');
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Splits a line at `sep`. Blanks around a field are dropped; a field in double quotes keeps
// separators inside the quotes and loses the quotes.
void SplitLine(std::string_view line, char sep, std::vector<std::string_view>& fields) {
    fields.clear();
    std::size_t i = 0, n = line.size();
    for (;;) {
        while (i < n && IsBlank(line[i], sep)) ++i;
        std::size_t start = i, stop;
        const bool quoted = i < n && line[i] == '"';
        if (quoted) {
            start = ++i;
            // A doubled quote inside the quotes stands for a quote.
            while (i < n && !(line[i] == '"' && !(i + 1 < n && line[i + 1] == '"')))
                i += line[i] == '"' ? 2 : 1;
            stop = i;
        }
        std::size_t next = line.find(sep, i);
        i = next == std::string_view::npos ? n : next;
        if (!quoted) {
            stop = i;
            while (stop > start && IsBlank(line[stop - 1], sep)) --stop;
        }
        fields.push_back(line.substr(start, stop - start));
        if (i >= n) break;
        ++i; // the separator
    }
}

// The column a header name stands for, or -1. Letter case, blanks, '_', '-', '.', '/' and a
// unit in brackets at the end ("成交量(手)", "Volume [lots]") don't matter.
int ColumnOfName(std::string_view name) {
    static constexpr std::string_view kUnitOpen[] = {"(", "（", "["};
    for (auto open : kUnitOpen) {
        auto at = name.find(open);
        if (at != std::string_view::npos && at > 0) name = name.substr(0, at);
    }
    std::string key;
    for (char c : name) {
        if (c == ' ' || c == '_' || c == '-' || c == '.' || c == '/' || c == '\t') continue;
        key += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    for (const auto& n : kColumnNames)
        if (key == n.name) return n.column;
    return -1;
}

struct Header {
    char separator = ',';
    std::array<int, kColumnCount> index; // field index of each column, -1 when absent
    int found = 0;                       // columns recognised
    bool Complete() const {
        return index[kDate] >= 0 && index[kOpen] >= 0 && index[kHigh] >= 0 && index[kLow] >= 0 &&
               index[kClose] >= 0;
    }
};

// The best reading of a line as a header: the separator under which most columns are
// recognised. The first column of a name wins over later ones.
Header ReadHeader(std::string_view line, std::vector<std::string_view>& fields) {
    Header best;
    best.index.fill(-1);
    for (char sep : kSeparators) {
        Header h;
        h.separator = sep;
        h.index.fill(-1);
        SplitLine(line, sep, fields);
        if (fields.size() < 2) continue;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            int c = ColumnOfName(fields[i]);
            if (c >= 0 && h.index[c] < 0) {
                h.index[c] = static_cast<int>(i);
                ++h.found;
            }
        }
        if (h.found > best.found) best = h;
    }
    return best;
}

int Digits(std::string_view s, std::size_t at, std::size_t n) {
    int v = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (i >= s.size() || s[i] < '0' || s[i] > '9') return -1;
        v = v * 10 + (s[i] - '0');
    }
    return v;
}

// Reads one or two digits at `at`, moving `at` past them; -1 when there are none.
int ShortNumber(std::string_view s, std::size_t& at) {
    int v = Digits(s, at, 1);
    if (v < 0) return -1;
    ++at;
    int second = Digits(s, at, 1);
    if (second >= 0) {
        v = v * 10 + second;
        ++at;
    }
    return v;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// Appends ",NUMBER" with at least four decimals. Plain decimals of up to four places are
// written from their digits, so nothing is rounded; other numbers go through a double and
// are written with as many digits as it takes to read back the same double. `value`
// receives the number. False when the field is not a finite number.
bool AppendNumber(std::string_view f, bool decimalComma, std::string& out, double& value) {
    std::size_t i = 0, n = f.size();
    bool negative = false;
    if (i < n && (f[i] == '+' || f[i] == '-')) negative = f[i++] == '-';
    std::size_t intStart = i;
    while (i < n && f[i] >= '0' && f[i] <= '9') ++i;
    std::size_t intEnd = i, fracStart = i, fracEnd = i;
    if (i < n && (f[i] == '.' || (decimalComma && f[i] == ','))) {
        fracStart = ++i;
        while (i < n && f[i] >= '0' && f[i] <= '9') ++i;
        fracEnd = i;
    }
    const std::size_t intDigits = intEnd - intStart, fracDigits = fracEnd - fracStart;
    if (i == n && intDigits + fracDigits > 0 && fracDigits <= 4 && intDigits <= 14) {
        while (intStart + 1 < intEnd && f[intStart] == '0') ++intStart;
        std::int64_t scaled = 0;
        for (std::size_t k = intStart; k < intEnd; ++k) scaled = scaled * 10 + (f[k] - '0');
        for (std::size_t k = 0; k < 4; ++k)
            scaled = scaled * 10 + (k < fracDigits ? f[fracStart + k] - '0' : 0);
        value = static_cast<double>(scaled) / 10000.0;
        if (negative && scaled != 0) {
            value = -value;
            out += ",-";
        } else {
            out += ',';
        }
        if (intStart == intEnd)
            out += '0';
        else
            out.append(f.data() + intStart, intEnd - intStart);
        out += '.';
        out.append(f.data() + fracStart, fracDigits);
        out.append(4 - fracDigits, '0');
        return true;
    }

    // Exponents, more decimals or digits: read and write back through a double.
    char text[128];
    if (f.empty() || f.size() >= sizeof text) return false;
    std::size_t len = 0;
    for (char c : f) text[len++] = (decimalComma && c == ',') ? '.' : c;
    const char* first = text[0] == '+' ? text + 1 : text;
    auto r = std::from_chars(first, text + len, value);
    if (r.ec != std::errc() || r.ptr != text + len || !std::isfinite(value)) return false;
    // Fixed notation, as the data files are read without exponents; the longest text of a
    // finite double (a denormal) fits in the room given.
    std::array<char, 1200> buf;
    auto w = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed);
    if (w.ec != std::errc()) return false;
    std::string_view written(buf.data(), static_cast<std::size_t>(w.ptr - buf.data()));
    out += ',';
    out += written;
    auto point = written.find('.');
    std::size_t decimals = point == std::string_view::npos ? 0 : written.size() - point - 1;
    if (point == std::string_view::npos) out += '.';
    if (decimals < 4) out.append(4 - decimals, '0');
    return true;
}

std::string Where(const std::string& name, std::size_t line) {
    return name + " 第" + std::to_string(line) + "行";
}

} // namespace

int CsvTimeOf(std::string_view f) {
    f = Trim(f);
    if (f.empty()) return -1;
    int h = -1, m = -1;
    if (f.find(':') != std::string_view::npos) {
        std::size_t at = 0;
        h = ShortNumber(f, at);
        if (h < 0 || at >= f.size() || f[at] != ':') return -2;
        m = Digits(f, at + 1, 2);
        at += 3;
        if (at < f.size()) {
            // Seconds must be zero: a bar starts on a whole minute.
            if (f[at] != ':' || at + 3 != f.size() || Digits(f, at + 1, 2) != 0) return -2;
        }
    } else {
        for (char c : f)
            if (c < '0' || c > '9') return -2;
        if (f.size() == 6 && Digits(f, 4, 2) != 0) return -2;
        if (f.size() == 3 || f.size() == 4 || f.size() == 6) {
            std::size_t hourDigits = f.size() == 3 ? 1 : 2;
            h = Digits(f, 0, hourDigits);
            m = Digits(f, hourDigits, 2);
        }
    }
    if (h < 0 || h > 23 || m < 0 || m > 59) return -2;
    return h * 100 + m;
}

int CsvDateOf(std::string_view f, int& time) {
    time = -1;
    f = Trim(f);
    int year = Digits(f, 0, 4), month = -1, day = -1;
    std::size_t at = 4;
    if (year < 0) return 0;
    if (at < f.size() && (f[at] == '-' || f[at] == '/' || f[at] == '.')) {
        char sep = f[at++];
        month = ShortNumber(f, at);
        if (month < 0 || at >= f.size() || f[at] != sep) return 0;
        ++at;
        day = ShortNumber(f, at);
    } else {
        month = Digits(f, 4, 2);
        day = Digits(f, 6, 2);
        at = 8;
    }
    if (year < 1000 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return 0;
    if (at < f.size()) {
        // A time after a blank or 'T'.
        if (f[at] != ' ' && f[at] != 'T' && f[at] != '\t') return 0;
        time = CsvTimeOf(f.substr(at + 1));
        if (time < 0) return 0;
    }
    return year * 10000 + month * 100 + day;
}

bool TCsvReader::Bad(const std::string& name, std::size_t line, const std::string& what) {
    std::string message = Where(name, line) + "：" + what;
    if (!options_.bSkipBad) {
        FErrorString = message;
        return false;
    }
    ++nSkipped_;
    if (skipped_.size() < kKeptMessages) skipped_.push_back(std::move(message));
    return true;
}

bool TCsvReader::BadRow(const Row& row, const std::string& what) {
    return Bad(names_[row.source], row.line, what);
}

std::string_view TCsvReader::Numbers(const Row& row) const {
    return std::string_view(numbers_).substr(row.offset, row.length);
}

bool TCsvReader::Add(std::string_view text, const std::string& name) {
    FErrorString.clear();
    const std::uint32_t source = static_cast<std::uint32_t>(names_.size());
    names_.push_back(name);
    if (text.size() >= 2 &&
        ((text[0] == '\xff' && text[1] == '\xfe') || (text[0] == '\xfe' && text[1] == '\xff'))) {
        FErrorString = name + "：文件是UTF-16编码，请另存为UTF-8编码后再导入。";
        return false;
    }
    const std::size_t bom = text.substr(0, 3) == "\xef\xbb\xbf" ? 3 : 0;

    // Room for the bars of a file of short lines, with the numbers' added decimals.
    rows_.reserve(rows_.size() + text.size() / 40);
    numbers_.reserve(numbers_.size() + text.size() + text.size() / 2);

    std::vector<std::string_view> fields;
    Header header;
    header.index.fill(-1);
    Header best = header;
    std::size_t bestLine = 0, line = 0, nonEmpty = 0;
    std::size_t pos = bom, nextReport = kProgressStep;
    bool haveHeader = false;
    while (pos < text.size()) {
        auto nl = static_cast<const char*>(std::memchr(text.data() + pos, '\n', text.size() - pos));
        std::size_t end = nl ? static_cast<std::size_t>(nl - text.data()) : text.size();
        std::string_view ln = text.substr(pos, end - pos);
        pos = end + 1;
        ++line;
        if (!ln.empty() && ln.back() == '\r') ln.remove_suffix(1);
        if (Trim(ln).empty()) continue;

        if (pos >= nextReport) {
            nextReport = pos + kProgressStep;
            if (options_.pCancel && options_.pCancel->load(std::memory_order_relaxed)) {
                FErrorString = "导入已取消。";
                return false;
            }
            if (options_.onProgress) options_.onProgress(std::min(pos, text.size()));
        }

        if (!haveHeader) {
            if (nonEmpty++ == kHeaderSearchLines) break;
            Header h = ReadHeader(ln, fields);
            if (h.Complete()) {
                header = h;
                haveHeader = true;
            } else if (h.found > best.found) {
                best = h;
                bestLine = line;
            }
            continue;
        }

        SplitLine(ln, header.separator, fields);
        int need = *std::max_element(header.index.begin(), header.index.end());
        if (fields.size() <= static_cast<std::size_t>(need)) {
            if (!Bad(name, line, "列数不足，应有" + std::to_string(need + 1) + "列")) return false;
            continue;
        }
        Row row;
        row.source = source;
        row.line = static_cast<std::uint32_t>(line);
        std::string_view dateField = fields[header.index[kDate]];
        int date = CsvDateOf(dateField, row.time);
        if (date == 0) {
            if (!Bad(name, line, "日期无法识别：" + std::string(dateField))) return false;
            continue;
        }
        row.date = date;
        if (header.index[kTime] >= 0) {
            std::string_view timeField = fields[header.index[kTime]];
            int t = CsvTimeOf(timeField);
            if (t == -2) {
                if (!Bad(name, line, "时间无法识别：" + std::string(timeField))) return false;
                continue;
            }
            if (t >= 0) row.time = t;
        }

        const std::size_t mark = numbers_.size();
        const bool decimalComma = header.separator != ',';
        std::array<double, kColumnCount> value{};
        bool good = true;
        for (int c = kOpen; c <= kAmount && good; ++c) {
            std::string_view f = header.index[c] >= 0 ? Trim(fields[header.index[c]]) : "";
            if (f.empty() && c >= kVolume) {
                numbers_ += ",0.0000";
            } else if (!AppendNumber(f, decimalComma, numbers_, value[c])) {
                numbers_.resize(mark);
                if (!Bad(name, line,
                         std::string(kColumnCaptions[c]) + "不是数字：" + std::string(f)))
                    return false;
                good = false;
            }
        }
        if (!good) continue;
        if (value[kHigh] < value[kLow]) {
            numbers_.resize(mark);
            if (!Bad(name, line, "最高价低于最低价")) return false;
            continue;
        }
        if (numbers_.size() > std::numeric_limits<std::uint32_t>::max()) {
            FErrorString = name + "：文件太大，无法导入。";
            return false;
        }
        row.offset = static_cast<std::uint32_t>(mark);
        row.length = static_cast<std::uint32_t>(numbers_.size() - mark);
        rows_.push_back(row);
    }
    if (!haveHeader) {
        if (best.found == 0) {
            FErrorString = name + "：找不到可识别的表头，需要日期、开盘、最高、最低、收盘列。";
        } else {
            std::string missing;
            for (int c : {kDate, kOpen, kHigh, kLow, kClose})
                if (best.index[c] < 0)
                    missing += (missing.empty() ? "" : "、") + std::string(kColumnCaptions[c]);
            FErrorString = Where(name, bestLine) + "：表头缺少列：" + missing;
        }
        return false;
    }
    if (options_.onProgress) options_.onProgress(text.size());
    return true;
}

bool TCsvReader::CheckStep() {
    // The most common gap between neighbouring bars of one day is the step of the file.
    std::vector<std::size_t> gaps(24 * 60, 0);
    for (std::size_t i = 1; i < rows_.size(); ++i) {
        const Row& a = rows_[i - 1];
        const Row& b = rows_[i];
        if (a.date != b.date) continue;
        int gap = (b.time / 100 * 60 + b.time % 100) - (a.time / 100 * 60 + a.time % 100);
        if (gap > 0) ++gaps[gap];
    }
    auto most = std::max_element(gaps.begin(), gaps.end());
    int step = static_cast<int>(most - gaps.begin());
    if (*most == 0 || step == 1) return true;
    FErrorString = names_.front() + "：不是1分钟数据，相邻K线相隔" + std::to_string(step) +
                   "分钟；分钟数据只能导入1分钟周期。";
    return false;
}

bool TCsvReader::Finish(std::string& dataText) {
    FErrorString.clear();
    dataText.clear();
    auto before = [](const Row& a, const Row& b) {
        return a.date != b.date ? a.date < b.date : a.time < b.time;
    };
    if (!std::is_sorted(rows_.begin(), rows_.end(), before))
        std::stable_sort(rows_.begin(), rows_.end(), before);

    // Bars of the same date and time: an exact copy is dropped, different numbers are a bad
    // line (the first one met is kept).
    std::size_t kept = 0;
    for (std::size_t i = 0; i < rows_.size();) {
        std::size_t j = i + 1;
        while (j < rows_.size() && rows_[j].date == rows_[i].date && rows_[j].time == rows_[i].time)
            ++j;
        for (std::size_t k = i + 1; k < j; ++k) {
            if (Numbers(rows_[k]) == Numbers(rows_[i])) {
                ++nDuplicates_;
            } else if (!BadRow(rows_[k], "与" + Where(names_[rows_[i].source], rows_[i].line) +
                                             "的K线时间相同但数据不同")) {
                return false;
            }
        }
        rows_[kept++] = rows_[i];
        i = j;
    }
    rows_.resize(kept);

    // A file is intraday when some date holds more than one bar; then every bar needs a time.
    intraday_ = false;
    for (std::size_t i = 1; i < rows_.size() && !intraday_; ++i)
        intraday_ = rows_[i].date == rows_[i - 1].date;
    if (intraday_) {
        kept = 0;
        for (const Row& r : rows_) {
            if (r.time >= 0)
                rows_[kept++] = r;
            else if (!BadRow(r, "分钟数据缺少时间"))
                return false;
        }
        rows_.resize(kept);
        if (!CheckStep()) return false;
    }
    if (rows_.empty()) {
        FErrorString =
            (names_.empty() ? std::string() : names_.front()) + "：没有可导入的K线数据。";
        return false;
    }

    dataText.reserve(numbers_.size() + rows_.size() * (intraday_ ? 14 : 9));
    char stamp[16];
    for (const Row& r : rows_) {
        auto end = std::to_chars(stamp, stamp + sizeof stamp, r.date).ptr;
        if (intraday_) {
            *end++ = ',';
            *end++ = static_cast<char>('0' + r.time / 1000);
            *end++ = static_cast<char>('0' + r.time / 100 % 10);
            *end++ = static_cast<char>('0' + r.time / 10 % 10);
            *end++ = static_cast<char>('0' + r.time % 10);
        }
        dataText.append(stamp, end);
        dataText.append(Numbers(r));
        dataText += '\n';
    }
    nBars_ = rows_.size();
    return true;
}

} // namespace vantor
