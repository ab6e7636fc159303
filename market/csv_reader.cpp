#include "market/csv_reader.h"

#include <algorithm>
#include <array>
#include <bit>
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
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    if (s.empty() || (!blank(s.front()) && !blank(s.back()))) return s;
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Splits a line at `sep` into at most `most` fields; what follows them is not looked at.
// Blanks around a field are dropped; a field in double quotes keeps separators inside the
// quotes and loses the quotes. Returns the number of fields.
std::size_t SplitFields(std::string_view line, char sep, std::string_view* fields,
                        std::size_t most) {
    const char* s = line.data();
    std::size_t count = 0, i = 0, n = line.size();
    while (count < most) {
        while (i < n && IsBlank(s[i], sep)) ++i;
        std::size_t start = i, stop;
        if (i < n && s[i] == '"') {
            start = ++i;
            // A doubled quote inside the quotes stands for a quote.
            while (i < n && !(s[i] == '"' && !(i + 1 < n && s[i + 1] == '"')))
                i += s[i] == '"' ? 2 : 1;
            stop = i;
            while (i < n && s[i] != sep) ++i;
        } else {
            while (i < n && s[i] != sep) ++i;
            stop = i;
            while (stop > start && IsBlank(s[stop - 1], sep)) --stop;
        }
        fields[count++] = std::string_view(s + start, stop - start);
        if (i >= n) break;
        ++i; // the separator
    }
    return count;
}

// SplitFields for a line without quotes and blanks, as most lines are: its fields are what
// lies between the separators. The line is read eight bytes at a time, and a byte equal to
// `c` shows as the high bit of its byte in ByteMask(word, c). Returns false, and the fields
// are not to be used, when the line has a quote or a blank where it was read.
bool SplitPlainFields(std::string_view line, char sep, std::string_view* fields, std::size_t most,
                      std::size_t& count) {
    if constexpr (std::endian::native != std::endian::little) {
        return false;
    } else {
        constexpr std::uint64_t kOnes = 0x0101010101010101u, kLow7 = 0x7f7f7f7f7f7f7f7fu;
        auto byteMask = [](std::uint64_t word, char c) {
            const std::uint64_t x = word ^ (kOnes * static_cast<unsigned char>(c));
            return ~(((x & kLow7) + kLow7) | x | kLow7); // exact: no borrow between bytes
        };
        const char* s = line.data();
        const std::size_t n = line.size();
        std::size_t start = 0;
        count = 0;
        for (std::size_t i = 0; i < n; i += 8) {
            std::uint64_t word = 0; // bytes past the end stay zero, which is none of these
            if (n - i >= 8)
                std::memcpy(&word, s + i, 8);
            else
                std::memcpy(&word, s + i, n - i);
            if (byteMask(word, '"') | byteMask(word, ' ') |
                byteMask(word, sep == '\t' ? ' ' : '\t'))
                return false;
            for (std::uint64_t seps = byteMask(word, sep); seps; seps &= seps - 1) {
                const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(seps)) / 8;
                fields[count++] = std::string_view(s + start, at - start);
                if (count == most) return true;
                start = at + 1;
            }
        }
        fields[count++] = std::string_view(s + start, n - start);
        return true;
    }
}

// All the fields of a line (a line of n characters has at most n + 1).
void SplitLine(std::string_view line, char sep, std::vector<std::string_view>& fields) {
    fields.resize(line.size() + 1);
    fields.resize(SplitFields(line, sep, fields.data(), fields.size()));
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
    if (at > s.size() || n > s.size() - at) return -1;
    int v = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (s[i] < '0' || s[i] > '9') return -1;
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

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Writes an even number of decimal digits of `v` at `out`, two at a time, and returns their
// end.
char* WriteDigits(char* out, int v, int digits) {
    static constexpr char kPairs[] = "00010203040506070809101112131415161718192021222324"
                                     "25262728293031323334353637383940414243444546474849"
                                     "50515253545556575859606162636465666768697071727374"
                                     "75767778798081828384858687888990919293949596979899";
    for (int k = digits - 2; k >= 0; k -= 2, v /= 100)
        std::memcpy(out + k, kPairs + v % 100 * 2, 2);
    return out + digits;
}

// Bytes a bar's line takes at most when all its numbers are plain decimals: "yyyymmdd,hhmm",
// six times ",-" with 14 digits, the point and four decimals, the '\n', and four bytes
// that the last number may write past its end (a refused field writes at most 23 bytes).
constexpr std::size_t kRowRoom = 13 + 6 * 21 + 1 + 4;
// Bytes a number that is not a plain decimal takes at most: the comma, the fixed text of a
// finite double (a denormal is the longest) and the decimals added.
constexpr std::size_t kOtherNumberRoom = 1 + 1200 + 5;

// Writes ",NUMBER" with four decimals at `out` for a plain decimal of up to four places and
// fourteen digits before the point, from its digits, so nothing is rounded; `value` receives
// the number. Returns the end of what was written, or nullptr for any other field.
char* WritePlainNumber(std::string_view f, bool decimalComma, char* out, double& value) {
    const char *s = f.data(), *end = s + f.size();
    bool negative = false;
    if (s < end && (*s == '+' || *s == '-')) negative = *s++ == '-';
    // The digits are read and written in one pass, the sign first (taken back for a zero),
    // leading zeros left out. Each run stops one digit past what a plain decimal may have, so
    // a refused field writes no more than an accepted one plus its slack.
    *out = ',';
    char* o = out + 1 + (negative ? 1 : 0);
    if (negative) out[1] = '-';
    const char* intStart = s;
    while (s + 1 < end && *s == '0' && IsDigit(s[1])) ++s;
    std::uint64_t scaled = 0;
    const char* digits = o;
    for (const char* stop = s + std::min<std::ptrdiff_t>(end - s, 15); s < stop && IsDigit(*s);
         *o++ = *s++)
        scaled = scaled * 10 + static_cast<unsigned>(*s - '0');
    const auto intDigits = s - intStart;
    if (o == digits) *o++ = '0';
    *o++ = '.';
    const char* fracStart = s;
    if (s < end && (*s == '.' || (decimalComma && *s == ','))) {
        fracStart = ++s;
        for (const char* stop = s + std::min<std::ptrdiff_t>(end - s, 5); s < stop && IsDigit(*s);
             *o++ = *s++)
            scaled = scaled * 10 + static_cast<unsigned>(*s - '0');
    }
    const auto fracDigits = s - fracStart;
    if (s != end || intDigits + fracDigits == 0 || fracDigits > 4 || intDigits > 14) return nullptr;
    static constexpr std::uint64_t kScale[] = {10000, 1000, 100, 10, 1};
    scaled *= kScale[fracDigits];
    value = static_cast<double>(static_cast<std::int64_t>(scaled)) / 10000.0;
    if (negative && scaled != 0) {
        value = -value;
    } else if (negative) {
        std::memmove(out + 1, out + 2, static_cast<std::size_t>(o - (out + 2)));
        --o;
    }
    // The decimals made four: four zeros are written and those not needed are left to be
    // overwritten (kRowRoom has room for them).
    std::memcpy(o, "0000", 4);
    return o + (4 - fracDigits);
}

// Writes ",NUMBER" at `out` (kOtherNumberRoom bytes) for exponents, more decimals or digits:
// read through a double and written back with as many digits as it takes to read back the
// same double, with at least four decimals. `value` receives the number. Returns the end of
// what was written, or nullptr when the field is not a finite number.
char* WriteOtherNumber(std::string_view f, bool decimalComma, char* out, double& value) {
    char text[128];
    if (f.empty() || f.size() >= sizeof text) return nullptr;
    std::size_t len = 0;
    for (char c : f) text[len++] = (decimalComma && c == ',') ? '.' : c;
    const char* first = text[0] == '+' ? text + 1 : text;
    auto r = std::from_chars(first, text + len, value);
    if (r.ec != std::errc() || r.ptr != text + len || !std::isfinite(value)) return nullptr;
    // Fixed notation, as the data files are read without exponents.
    *out++ = ',';
    auto w = std::to_chars(out, out + 1200, value, std::chars_format::fixed);
    if (w.ec != std::errc()) return nullptr;
    std::string_view written(out, static_cast<std::size_t>(w.ptr - out));
    out = w.ptr;
    auto point = written.find('.');
    std::size_t decimals = point == std::string_view::npos ? 0 : written.size() - point - 1;
    if (point == std::string_view::npos) *out++ = '.';
    for (; decimals < 4; ++decimals) *out++ = '0';
    return out;
}

std::string Where(const std::string& name, std::size_t line) {
    return name + " 第" + std::to_string(line) + "行";
}

} // namespace

int CsvTimeOf(std::string_view f) {
    f = Trim(f);
    if (f.empty()) return -1;
    int h = -1, m = -1;
    if (f.size() == 5 && f[2] == ':') { // hh:mm, the common form
        h = Digits(f, 0, 2);
        m = Digits(f, 3, 2);
    } else if (f.find(':') != std::string_view::npos) {
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
    if (f.size() == 10 && (f[4] == '-' || f[4] == '/' || f[4] == '.') && f[7] == f[4]) {
        // yyyy-mm-dd, the common form
        month = Digits(f, 5, 2);
        day = Digits(f, 8, 2);
        at = 10;
    } else if (at < f.size() && (f[at] == '-' || f[at] == '/' || f[at] == '.')) {
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
    const std::size_t stamp = row.time >= 0 ? 13 : 8; // "yyyymmdd,hhmm" or "yyyymmdd"
    return std::string_view(lines_).substr(row.offset + stamp, row.length - stamp - 1);
}

char* TCsvReader::Room(std::size_t at, std::size_t n) {
    // The size runs ahead of the lines by as much as they hold, up to a megabyte, so the
    // bytes are cleared shortly before they are written.
    constexpr std::size_t kMostAhead = 1 << 20;
    if (lines_.size() < at + n) lines_.resize(at + n + std::min(at, kMostAhead));
    return lines_.data() + at;
}

struct TCsvReader::FileState {
    std::string name;
    std::uint32_t source = 0;
    Header header, best; // the header once found; the best reading of a line so far
    std::vector<std::string_view> fields;
    std::size_t bestLine = 0, line = 0, nonEmpty = 0;
    std::size_t need = 0; // fields a bar's line must have
    std::size_t done = 0; // bytes of the file read so far
    std::size_t nextReport = kProgressStep;
    bool haveHeader = false, decimalComma = false;
    FileState() {
        header.index.fill(-1);
        best.index.fill(-1);
    }
};

TCsvReader::TCsvReader(CsvReadOptions options) : options_(std::move(options)) {}
TCsvReader::~TCsvReader() = default;

bool TCsvReader::Add(std::string_view text, const std::string& name) {
    BeginFile(name, text.size());
    return AddLines(text) && EndFile();
}

void TCsvReader::BeginFile(const std::string& name, std::size_t sizeHint) {
    FErrorString.clear();
    file_ = std::make_unique<FileState>();
    file_->name = name;
    file_->source = static_cast<std::uint32_t>(names_.size());
    names_.push_back(name);
    // Room for the bars of a file of short lines, with the numbers' added decimals.
    rows_.reserve(rows_.size() + sizeHint / 40);
    lines_.reserve(linesUsed_ + sizeHint + sizeHint / 2);
}

bool TCsvReader::HeaderMissing() {
    const FileState& file = *file_;
    if (file.best.found == 0) {
        FErrorString = file.name + "：找不到可识别的表头，需要日期、开盘、最高、最低、收盘列。";
    } else {
        std::string missing;
        for (int c : {kDate, kOpen, kHigh, kLow, kClose})
            if (file.best.index[c] < 0)
                missing += (missing.empty() ? "" : "、") + std::string(kColumnCaptions[c]);
        FErrorString = Where(file.name, file.bestLine) + "：表头缺少列：" + missing;
    }
    return false;
}

bool TCsvReader::EndFile() {
    if (!file_->haveHeader) return HeaderMissing();
    if (options_.onProgress) options_.onProgress(file_->done);
    return true;
}

bool TCsvReader::AddLines(std::string_view text) {
    FileState& file = *file_;
    const std::string& name = file.name;
    const std::uint32_t source = file.source;
    std::size_t pos = 0;
    if (file.done == 0) { // the start of the file
        if (text.size() >= 2 && ((text[0] == '\xff' && text[1] == '\xfe') ||
                                 (text[0] == '\xfe' && text[1] == '\xff'))) {
            FErrorString = name + "：文件是UTF-16编码，请另存为UTF-8编码后再导入。";
            return false;
        }
        pos = text.substr(0, 3) == "\xef\xbb\xbf" ? 3 : 0;
    }
    // Copies, so that writing the lines can't be taken to change them.
    const Header header = file.header;
    const std::size_t need = file.need;
    const bool decimalComma = file.decimalComma;
    std::vector<std::string_view>& fields = file.fields;
    while (pos < text.size()) {
        auto nl = static_cast<const char*>(std::memchr(text.data() + pos, '\n', text.size() - pos));
        std::size_t end = nl ? static_cast<std::size_t>(nl - text.data()) : text.size();
        std::string_view ln = text.substr(pos, end - pos);
        pos = end + 1;
        const std::size_t line = ++file.line;
        if (!ln.empty() && ln.back() == '\r') ln.remove_suffix(1);
        if (Trim(ln).empty()) continue;

        if (file.done + pos >= file.nextReport) {
            file.nextReport = file.done + pos + kProgressStep;
            if (options_.pCancel && options_.pCancel->load(std::memory_order_relaxed)) {
                FErrorString = "导入已取消。";
                return false;
            }
            if (options_.onProgress) options_.onProgress(file.done + std::min(pos, text.size()));
        }

        if (!file.haveHeader) {
            if (file.nonEmpty++ == kHeaderSearchLines) return HeaderMissing();
            Header h = ReadHeader(ln, fields);
            if (h.Complete()) {
                file.header = h;
                file.haveHeader = true;
                file.decimalComma = h.separator != ',';
                file.need =
                    static_cast<std::size_t>(*std::max_element(h.index.begin(), h.index.end())) + 1;
                fields.resize(file.need);
                // The rest of the piece is read with the header's settings.
                pos = std::min(pos, text.size());
                file.done += pos;
                return AddLines(text.substr(pos));
            }
            if (h.found > file.best.found) {
                file.best = h;
                file.bestLine = line;
            }
            continue;
        }
        std::size_t count = 0;
        const bool plain = SplitPlainFields(ln, header.separator, fields.data(), need, count);
        if (!plain) count = SplitFields(ln, header.separator, fields.data(), need);
        if (count < need) {
            if (!Bad(name, line, "列数不足，应有" + std::to_string(need) + "列")) return false;
            continue;
        }
        Row row;
        row.source = source;
        row.line = static_cast<std::uint32_t>(line);
        std::string_view dateField = fields[header.index[kDate]];
        row.date = CsvDateOf(dateField, row.time);
        if (row.date == 0) {
            if (!Bad(name, line, "日期无法识别：" + std::string(dateField))) return false;
            continue;
        }
        if (header.index[kTime] >= 0) {
            std::string_view timeField = fields[header.index[kTime]];
            int t = CsvTimeOf(timeField);
            if (t == -2) {
                if (!Bad(name, line, "时间无法识别：" + std::string(timeField))) return false;
                continue;
            }
            if (t >= 0) row.time = t;
        }

        // The line is written after those before it and becomes part of them only when the
        // whole bar is good.
        const std::size_t start = linesUsed_;
        char* out = WriteDigits(Room(start, kRowRoom), row.date, 8);
        if (row.time >= 0) {
            *out++ = ',';
            out = WriteDigits(out, row.time, 4);
        }
        std::array<double, kColumnCount> value{};
        bool good = true;
        for (int c = kOpen; c <= kAmount && good; ++c) {
            std::string_view f = header.index[c] < 0 ? std::string_view()
                                 : plain             ? fields[header.index[c]] // no blanks
                                                     : Trim(fields[header.index[c]]);
            if (f.empty() && c >= kVolume) {
                std::memcpy(out, ",0.0000", 7);
                out += 7;
            } else if (char* written = WritePlainNumber(f, decimalComma, out, value[c])) {
                out = written;
            } else {
                out = Room(static_cast<std::size_t>(out - lines_.data()),
                           kOtherNumberRoom + kRowRoom);
                out = WriteOtherNumber(f, decimalComma, out, value[c]);
                if (!out) {
                    if (!Bad(name, line,
                             std::string(kColumnCaptions[c]) + "不是数字：" + std::string(f)))
                        return false;
                    good = false;
                }
            }
        }
        if (!good) continue;
        *out++ = '\n';
        if (value[kHigh] < value[kLow]) {
            if (!Bad(name, line, "最高价低于最低价")) return false;
            continue;
        }
        const auto stop = static_cast<std::size_t>(out - lines_.data());
        if (stop > std::numeric_limits<std::uint32_t>::max()) {
            FErrorString = name + "：文件太大，无法导入。";
            return false;
        }
        row.offset = static_cast<std::uint32_t>(start);
        row.length = static_cast<std::uint32_t>(stop - start);
        rows_.push_back(row);
        linesUsed_ = stop;
    }
    file.done += text.size();
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

    // The lines stand as the data file needs them when they are all still there in the order
    // written, each with a time exactly when the file is intraday; otherwise they are put
    // together again from their parts.
    lines_.resize(linesUsed_);
    bool asWritten = true;
    std::size_t at = 0;
    for (const Row& r : rows_) {
        if (r.offset != at || (r.time >= 0) != intraday_) {
            asWritten = false;
            break;
        }
        at += r.length;
    }
    if (asWritten && at == lines_.size()) {
        dataText = std::move(lines_);
    } else {
        dataText.reserve(lines_.size());
        for (const Row& r : rows_) {
            std::string_view ln(lines_.data() + r.offset, r.length);
            dataText.append(ln.substr(0, intraday_ ? 13 : 8)); // the date and, if any, time
            dataText.append(ln.substr(r.time >= 0 ? 13 : 8));  // the numbers and the '\n'
        }
    }
    nBars_ = rows_.size();
    rows_ = {};
    lines_ = {};
    linesUsed_ = 0;
    return true;
}

} // namespace vantor
