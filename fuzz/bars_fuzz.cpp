// libFuzzer target: arbitrary bytes as bar-file text,
//   1. each line through ParseBarLine: a refused line leaves an empty bar; an accepted line
//      of plain fields formats and parses back to the same line;
//   2. the whole text as an instrument's data file through loaddata, then replayed bar by
//      bar: every line is read, and one step back followed by one step forward leaves each
//      period cache as it was.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_temp.h"
#include "market/price.h"
#include "market/stock.h"

namespace {

using namespace vantor;

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameBar(const Price& a, const Price& b) {
    return a.Srq == b.Srq && a.Ssj == b.Ssj && SameBits(a.Spk, b.Spk) && SameBits(a.Spg, b.Spg) &&
           SameBits(a.Spd, b.Spd) && SameBits(a.Sps, b.Sps) && SameBits(a.Scjl, b.Scjl) &&
           SameBits(a.Scje, b.Scje);
}

bool PlainField(std::string_view s) {
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
              c == '-' || c == ':' || c == '/'))
            return false;
    return true;
}

bool PlainNumber(double v) {
    return v > -1e12 && v < 1e12; // "%.4f" text that reads back as the same text
}

void CheckLine(std::string_view line) {
    Price bar;
    if (!ParseBarLine(line, bar)) {
        if (!SameBar(bar, Price{})) __builtin_trap();
        return;
    }
    if (!PlainField(bar.Srq.view()) || !PlainField(bar.Ssj.view())) return;
    for (double v : {bar.Spk, bar.Spg, bar.Spd, bar.Sps, bar.Scjl, bar.Scje})
        if (!PlainNumber(v)) return;
    const std::string text = FormatBarLine(bar);
    Price again;
    if (!ParseBarLine(text, again) || FormatBarLine(again) != text) __builtin_trap();
}

bool SameCaches(const Tstock& a, const std::array<NperdPrice, kCachedPeriods>& b) {
    for (int i = 0; i < kCachedPeriods; ++i) {
        const auto& x = a.DMP[i].value;
        const auto& y = b[i].value;
        if (x.size() != y.size()) return false;
        for (std::size_t k = 0; k < x.size(); ++k)
            if (!SameBar(x[k], y[k])) return false;
    }
    return true;
}

void CheckFile(const std::uint8_t* data, std::size_t size) {
    static const std::string path = fuzz::TempFolder() + "/bars.txt";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    const bool written = std::fwrite(data, 1, size, f) == size;
    if (std::fclose(f) != 0 || !written) return;

    Tstock s;
    s.fileName = path;
    if (!s.loaddata()) __builtin_trap(); // the file exists and is readable
    if (s.fcount != static_cast<int>(s.lines.size()) || s.Fp.size() != s.lines.size())
        __builtin_trap();
    Price bar;
    for (int step = 0; step < 600 && s.Next(bar); ++step) {
        if (step % 7 != 3) continue;
        const auto before = s.DMP;
        const int at = s.nIndex;
        if (!s.Pri(bar)) continue;
        if (!s.Next(bar) || s.nIndex != at || !SameCaches(s, before)) __builtin_trap();
    }
    for (int w = 0; w < kCachedPeriods; ++w) s.NextStep(static_cast<TWeekStyle>(w));
    s.ReCal(wsDay);
    s.Reloaddata();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        CheckLine(text.substr(start, end - start));
        start = end + 1;
    }
    CheckFile(data, size);
    return 0;
}
