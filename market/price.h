#pragma once
// The bar record, the period enumeration and the parsing of data-file lines.

#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// A short single-byte string of at most 16 characters, stored inline so that a bar
// copies by value without allocating. Longer text is cut to its first 16 characters.
class ShortStr {
public:
    static constexpr std::size_t kCapacity = 16;
    ShortStr() = default;
    ShortStr(std::string_view s) { assign(s); }
    ShortStr& operator=(std::string_view s) {
        assign(s);
        return *this;
    }
    void assign(std::string_view s) {
        len_ = static_cast<unsigned char>(s.size() < kCapacity ? s.size() : kCapacity);
        std::memcpy(buf_.data(), s.data(), len_);
    }
    std::string_view view() const { return {buf_.data(), len_}; }
    std::string str() const { return std::string(view()); }
    bool empty() const { return len_ == 0; }
    std::size_t size() const { return len_; }
    bool operator==(const ShortStr& o) const { return view() == o.view(); }
    bool operator==(std::string_view o) const { return view() == o; }

private:
    std::array<char, kCapacity> buf_{};
    unsigned char len_ = 0;
};

// One bar. Date and time are digit strings (yyyymmdd, hhmm); the rest are doubles.
struct Price {
    ShortStr Srq;    // date
    ShortStr Ssj;    // time, empty for day bars
    double Spk = 0;  // open
    double Spg = 0;  // high
    double Spd = 0;  // low
    double Sps = 0;  // close
    double Scjl = 0; // volume
    double Scje = 0; // amount
};

// The periods of a bar series, in their fixed stored order.
enum TWeekStyle : int {
    wsmin1 = 0,
    wsMin3,
    wsMin5,
    wsmin10,
    wsMin15,
    wsMin30,
    wsMin60,
    wsDay,
    wsWeek,
    wsMonth,
    wsDay45,
    wsJi,
    wsYear,
    wsFenBi,
    wsNone
};

constexpr int kCachedPeriods = 13; // ordinals 0..12 are cached by the bar store
constexpr bool IsIntraday(TWeekStyle w) { return static_cast<int>(w) < static_cast<int>(wsDay); }

// The caption the chart shows for a period ("1分钟", "日线" ...).
const char* PeriodCaption(TWeekStyle w);

// The bars of one period, oldest first.
struct NperdPrice {
    TWeekStyle nperiod = wsmin1;
    std::vector<Price> value;
};

// Reads text as a floating-point number with '.' as the decimal point; text that is not
// a number reads as 0. Leading and trailing blanks are allowed.
double TextToFloat(std::string_view s);

// Number hhmm / yyyymmdd of a bar's time / date field (truncated toward zero).
int BarTimeNumber(const ShortStr& s);
int BarDateNumber(const ShortStr& s);

// Splits a data-file line into its fields: blanks before a field are skipped, empty fields
// dropped, a quoted run (single or double quote) keeps its commas and its quotes.
std::vector<std::string_view> SplitBarFields(std::string_view line);

// Parses one data-file line (7, 8 or 9 fields). Returns false for a malformed line and
// leaves `bar` as a bar with empty date and zero values.
bool ParseBarLine(std::string_view line, Price& bar);

// Formats a bar as an 8-field data-file line with "%.4f" numbers.
std::string FormatBarLine(const Price& bar);

} // namespace vantor
