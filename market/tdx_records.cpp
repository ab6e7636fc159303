#include "market/tdx_records.h"

#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace fs = std::filesystem;

namespace vantor {

namespace {

std::uint16_t U16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t U32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t I32(const unsigned char* p) {
    return static_cast<std::int32_t>(U32(p));
}
float F32(const unsigned char* p) {
    return std::bit_cast<float>(U32(p));
}

// Longest text of one number: a float's 39 integer digits, sign, point and four decimals.
constexpr std::size_t kNumberRoom = 64;

// Writes a float as "%.4f" would. A float times 10000 is exact in a double (24 + 14 bits),
// so rounding that product to an integer under the current rounding mode gives the digits
// printf gives; values too large for 64 bits take the general path.
char* PutFixed(char* p, float f) {
    double scaled = static_cast<double>(f) * 10000.0;
    if (!(std::fabs(scaled) < 9.0e18))
        return std::to_chars(p, p + kNumberRoom, static_cast<double>(f), std::chars_format::fixed,
                             4)
            .ptr;
    auto n = static_cast<std::uint64_t>(std::fabs(std::nearbyint(scaled)));
    if (std::signbit(f)) *p++ = '-';
    p = std::to_chars(p, p + kNumberRoom, n / 10000).ptr;
    unsigned frac = static_cast<unsigned>(n % 10000);
    p[0] = '.';
    p[1] = static_cast<char>('0' + frac / 1000);
    p[2] = static_cast<char>('0' + frac / 100 % 10);
    p[3] = static_cast<char>('0' + frac / 10 % 10);
    p[4] = static_cast<char>('0' + frac % 10);
    return p + 5;
}

// Writes a price kept in hundredths as "%.4f" of hundredths / 100.0 would: the double's error
// is far below the fourth decimal, so the text is the exact hundredths and two zeros.
char* PutHundredths(char* p, std::int32_t v) {
    std::int64_t n = v;
    if (n < 0) {
        *p++ = '-';
        n = -n;
    }
    p = std::to_chars(p, p + kNumberRoom, n / 100).ptr;
    unsigned frac = static_cast<unsigned>(n % 100);
    p[0] = '.';
    p[1] = static_cast<char>('0' + frac / 10);
    p[2] = static_cast<char>('0' + frac % 10);
    p[3] = '0';
    p[4] = '0';
    return p + 5;
}

// Writes a whole number as "%.4f" would.
char* PutWhole(char* p, std::int64_t v) {
    p = std::to_chars(p, p + kNumberRoom, v).ptr;
    std::memcpy(p, ".0000", 5);
    return p + 5;
}

char* PutTwoDigits(char* p, unsigned v) {
    if (v < 10) *p++ = '0';
    return std::to_chars(p, p + kNumberRoom, v).ptr;
}

char* PutDate(char* p, std::uint16_t code) {
    unsigned r = code % 2048u;
    p = std::to_chars(p, p + kNumberRoom, code / 2048u + 2004u).ptr;
    p = PutTwoDigits(p, r / 100u);
    return PutTwoDigits(p, r % 100u);
}

char* PutTime(char* p, std::uint16_t minutes) {
    p = PutTwoDigits(p, minutes / 60u);
    return PutTwoDigits(p, minutes % 60u);
}

char* PutCount(char* p, std::uint32_t bits) {
    float f = std::bit_cast<float>(bits);
    if (std::isfinite(f) && (f == 0.0f || std::fabs(f) >= 1.0f)) return PutFixed(p, f);
    return PutWhole(p, static_cast<std::int32_t>(bits));
}

// The part the extended-market day and the minute layouts share: ",open,high,low,close" as
// floats, then the count slot at 20 and the integer at 24.
char* PutFloatPricesAndCounts(char* p, const unsigned char* r) {
    for (int off = 4; off <= 16; off += 4) {
        *p++ = ',';
        p = PutFixed(p, F32(r + off));
    }
    *p++ = ',';
    p = PutCount(p, U32(r + 20));
    *p++ = ',';
    return PutWhole(p, I32(r + 24));
}

char* PutRecord(TdxLayout layout, const unsigned char* r, char* p) {
    switch (layout) {
    case TdxLayout::Day:
        p = std::to_chars(p, p + kNumberRoom, I32(r)).ptr;
        p = PutFloatPricesAndCounts(p, r);
        break;
    case TdxLayout::StockDay:
        p = std::to_chars(p, p + kNumberRoom, I32(r)).ptr;
        for (int off = 4; off <= 16; off += 4) {
            *p++ = ',';
            p = PutHundredths(p, I32(r + off));
        }
        *p++ = ',';
        p = PutWhole(p, I32(r + 24));
        *p++ = ',';
        p = PutFixed(p, F32(r + 20));
        break;
    case TdxLayout::Minute:
        p = PutDate(p, U16(r));
        *p++ = ',';
        p = PutTime(p, U16(r + 2));
        p = PutFloatPricesAndCounts(p, r);
        break;
    }
    *p++ = '\n';
    return p;
}

bool ContainsNoCase(std::string_view text, std::string_view part) {
    auto lower = [](unsigned char c) { return c < 128 ? std::tolower(c) : c; };
    if (part.size() > text.size()) return false;
    for (std::size_t i = 0; i + part.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < part.size() && lower(text[i + k]) == lower(part[k])) ++k;
        if (k == part.size()) return true;
    }
    return false;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

} // namespace

std::string TdxDateText(std::uint16_t code) {
    char buf[kNumberRoom];
    return std::string(buf, PutDate(buf, code));
}

std::string TdxTimeText(std::uint16_t minutes) {
    char buf[kNumberRoom];
    return std::string(buf, PutTime(buf, minutes));
}

double TdxCountSlot(std::uint32_t bits) {
    char buf[kNumberRoom];
    char* end = PutCount(buf, bits);
    double v = 0;
    std::from_chars(buf, end, v);
    return v;
}

std::size_t AppendTdxLines(TdxLayout layout, const unsigned char* data, std::size_t size,
                           std::string& out) {
    // A line holds at most 8 numbers of kNumberRoom characters, their commas and the line end.
    constexpr std::size_t kLineRoom = 8 * (kNumberRoom + 1) + 1;
    constexpr std::size_t kTypicalLine = 96;
    std::size_t records = size / kTdxRecordSize;
    out.reserve(out.size() + records * kTypicalLine);
    char line[kLineRoom];
    for (std::size_t i = 0; i < records; ++i) {
        char* end = PutRecord(layout, data + i * kTdxRecordSize, line);
        out.append(line, static_cast<std::size_t>(end - line));
    }
    return records;
}

std::string TdxCodeOfFileName(std::string_view fileName) {
    std::vector<std::string_view> parts;
    std::size_t i = 0, n = fileName.size();
    auto separator = [](char c) {
        return c == '#' || c == ',' || c == '.' || c == ':' || c == ';';
    };
    while (i < n) {
        while (i < n && fileName[i] == ' ') ++i;
        std::size_t start = i;
        while (i < n && !separator(fileName[i])) ++i;
        std::size_t stop = i;
        while (stop > start && fileName[stop - 1] == ' ') --stop; // "IF1509 .day" as "IF1509"
        if (stop > start) parts.push_back(fileName.substr(start, stop - start));
        ++i; // the separator
    }
    if (parts.size() >= 3) return std::string(parts[1]);
    if (parts.size() == 2) return std::string(parts[0]);
    return {};
}

std::vector<std::string> SplitCodeFilter(std::string_view filter) {
    std::vector<std::string> parts;
    auto trim = [](char c) { return c == ' ' || c == '\t' || c == '$'; };
    std::size_t pos = 0;
    while (pos <= filter.size()) {
        std::size_t end = filter.find(',', pos);
        if (end == std::string_view::npos) end = filter.size();
        std::string_view part = filter.substr(pos, end - pos);
        while (!part.empty() && trim(part.front())) part.remove_prefix(1);
        while (!part.empty() && (part.back() == ' ' || part.back() == '\t')) part.remove_suffix(1);
        if (!part.empty()) parts.emplace_back(part);
        pos = end + 1;
    }
    return parts;
}

bool MatchesCodeFilter(std::string_view fileName, const std::vector<std::string>& parts) {
    if (parts.empty()) return true;
    std::size_t dot = fileName.rfind('.');
    std::string_view stem = dot == std::string_view::npos ? fileName : fileName.substr(0, dot);
    for (const auto& part : parts)
        if (ContainsNoCase(stem, part)) return true;
    return false;
}

bool IsTdxDataFileName(TdxLayout layout, std::string_view fileName) {
    if (layout == TdxLayout::Minute)
        return ContainsNoCase(fileName, ".lc1") || ContainsNoCase(fileName, ".lc5");
    return ContainsNoCase(fileName, ".da") || ContainsNoCase(fileName, ".lc");
}

const char* TdxTargetFolder(TdxLayout layout, std::string_view fileName) {
    if (layout != TdxLayout::Minute) return "daydata";
    return ContainsNoCase(fileName, ".lc5") ? "min5data" : "mindata";
}

bool ConvertTdxFile(const std::string& source, TdxLayout layout, const std::string& target,
                    std::size_t& lines, std::string& sError) {
    lines = 0;
    FilePtr in(std::fopen(source.c_str(), "rb"));
    if (!in) {
        sError = "无法读取文件：" + source;
        return false;
    }
    fs::path targetPath(target);
    fs::path temp = targetPath.parent_path() / ("." + targetPath.filename().string() + ".part");
    FilePtr out(std::fopen(temp.c_str(), "wb"));
    if (!out) {
        sError = "无法写入文件：" + target;
        return false;
    }

    // One pass over the file in blocks of whole records; a partial record is carried over.
    constexpr std::size_t kBlock = kTdxRecordSize * 32768;
    std::unique_ptr<unsigned char[]> block(new unsigned char[kBlock]);
    std::string text;
    std::size_t carry = 0;
    bool ok = true;
    for (;;) {
        std::size_t got = std::fread(block.get() + carry, 1, kBlock - carry, in.get());
        std::size_t have = carry + got;
        std::size_t whole = have - have % kTdxRecordSize;
        text.clear();
        lines += AppendTdxLines(layout, block.get(), whole, text);
        if (!text.empty() && std::fwrite(text.data(), 1, text.size(), out.get()) != text.size()) {
            sError = "无法写入文件：" + target;
            ok = false;
            break;
        }
        carry = have - whole;
        std::memmove(block.get(), block.get() + whole, carry);
        if (got == 0) break;
    }
    if (ok && std::ferror(in.get())) {
        sError = "无法读取文件：" + source;
        ok = false;
    }
    if (std::fclose(out.release()) != 0 && ok) {
        sError = "无法写入文件：" + target;
        ok = false;
    }
    std::error_code ec;
    if (ok) {
        fs::rename(temp, targetPath, ec);
        if (ec) {
            sError = "无法写入文件：" + target;
            ok = false;
        }
    }
    if (!ok) {
        fs::remove(temp, ec);
        lines = 0;
    }
    return ok;
}

} // namespace vantor
