// Position and references: ISLASTBAR, CURRBARSCOUNT, TOTALBARSCOUNT, BARSTATUS, TFILT,
// REFDATE, and the ranked values FINDHIGH, FINDLOW, FINDHIGHBARS, FINDLOWBARS.

#include <algorithm>
#include <vector>

#include "formula/function_kernels.h"

namespace vantor::kernels {

namespace {
int Len(std::span<double> out) {
    return static_cast<int>(out.size());
}
} // namespace

void IsLastBar(std::span<double> out) {
    for (int i = 0; i < Len(out); ++i) out[i] = i == Len(out) - 1 ? 1 : 0;
}

void CurrBarsCount(std::span<double> out) {
    for (int i = 0; i < Len(out); ++i) out[i] = Len(out) - i;
}

void TotalBarsCount(std::span<double> out) {
    std::fill(out.begin(), out.end(), static_cast<double>(out.size()));
}

void BarStatus(std::span<double> out) {
    for (int i = 0; i < Len(out); ++i) out[i] = i == Len(out) - 1 ? 2 : (i == 0 ? 1 : 0);
}

void TFilt(std::span<const double> x, std::span<const double> date, double day1, double day2,
           std::span<double> out) {
    const double from = static_cast<double>(BarCount(day1));
    const double to = static_cast<double>(BarCount(day2));
    for (int i = 0; i < Len(out); ++i) {
        const double d = static_cast<double>(BarCount(date[i]));
        out[i] = from <= d && d <= to ? x[i] : kInvalid;
    }
}

std::optional<double> RefDate(std::span<const double> x, std::span<const double> date, double day) {
    const size_t n = std::min(x.size(), date.size());
    for (size_t i = 0; i < n; ++i)
        if (date[i] == day) return x[i];
    return std::nullopt;
}

// The window's values are kept in a list of M slots sorted highest (lowest) first, empty
// slots holding the invalid value. Each step drops the value leaving the window and inserts
// the new one; bar s+N reads slot s during the first T steps, then slot T-1.
void FindRanked(std::span<const double> x, std::int64_t n, std::int64_t m, std::int64_t t,
                bool high, bool bars, std::span<double> out) {
    const int len = Len(out);
    if (t > m) t = m;
    if (n < 0 || m < 1 || t < 1) {
        std::fill(out.begin(), out.end(), kInvalid);
        return;
    }
    for (int i = 0; i < len && i < n; ++i) out[i] = kInvalid;
    // A list longer than the data never fills past the data, so it is cut there.
    const int slots = static_cast<int>(std::min<std::int64_t>(m, len + 1));
    std::vector<double> value(static_cast<size_t>(slots), kInvalid);
    std::vector<int> bar(static_cast<size_t>(slots), -1);
    auto beats = [high](double a, double b) { return high ? a > b : a < b; };
    for (std::int64_t s = 0; s + n < len; ++s) {
        if (s >= m) {
            const double leaving = x[static_cast<size_t>(s - m)];
            auto it = std::find(value.begin(), value.end(), leaving);
            if (it != value.end()) {
                const auto k = it - value.begin();
                std::move(value.begin() + k + 1, value.end(), value.begin() + k);
                std::move(bar.begin() + k + 1, bar.end(), bar.begin() + k);
                value.back() = kInvalid;
                bar.back() = -1;
            }
        }
        const double v = x[static_cast<size_t>(s)];
        for (int k = 0; k < slots; ++k) {
            const bool empty = !Valid(value[static_cast<size_t>(k)]);
            if (empty || beats(v, value[static_cast<size_t>(k)])) {
                if (!empty) {
                    std::move_backward(value.begin() + k, value.end() - 1, value.end());
                    std::move_backward(bar.begin() + k, bar.end() - 1, bar.end());
                }
                value[static_cast<size_t>(k)] = v;
                bar[static_cast<size_t>(k)] = static_cast<int>(s);
                break;
            }
        }
        const std::int64_t slot = s < t ? s : t - 1;
        const int at = static_cast<int>(s + n);
        if (slot >= slots || !Valid(value[static_cast<size_t>(slot)]))
            out[at] = kInvalid;
        else
            out[at] = bars ? at - bar[static_cast<size_t>(slot)] : value[static_cast<size_t>(slot)];
    }
}

} // namespace vantor::kernels
