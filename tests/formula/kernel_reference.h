#pragma once
// Plain rescanning versions of the window functions, written the obvious way, against which
// the fast kernels are compared bar for bar.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <vector>

#include "formula/function_kernels.h"

namespace vantor::reference {

using kernels::BarCount;
using kernels::kInvalid;
using kernels::Operand;
using kernels::Valid;
using Series = std::vector<double>;

inline Series HighLowOrder(const Series& x, Operand n, bool high) {
    const int len = static_cast<int>(x.size());
    Series out(x.size(), kInvalid);
    for (int i = 1; i < len; ++i) {
        const std::int64_t k = BarCount(n[i]);
        const std::int64_t from = std::max<std::int64_t>(0, i - k + 1);
        std::int64_t count = 0;
        for (std::int64_t j = from; j <= i - 1; ++j)
            if (high ? x[static_cast<size_t>(j)] < x[static_cast<size_t>(i)]
                     : x[static_cast<size_t>(j)] > x[static_cast<size_t>(i)])
                ++count;
        out[static_cast<size_t>(i)] = static_cast<double>(k - count);
    }
    return out;
}

inline Series ExtremeBars(const Series& x, Operand n, bool highest) {
    const int len = static_cast<int>(x.size());
    Series out(x.size(), 0);
    for (int i = 0; i < len; ++i) {
        if (!n.IsConst() && !Valid(n[i])) {
            out[static_cast<size_t>(i)] = kInvalid;
            continue;
        }
        const std::int64_t w = BarCount(n[i]);
        if (i == 0 || !Valid(x[static_cast<size_t>(i)]) || w < 1) continue;
        double best =
            highest ? std::numeric_limits<double>::lowest() : std::numeric_limits<double>::max();
        int at = static_cast<int>(std::max<std::int64_t>(0, i - w + 1));
        for (int j = at; j <= i; ++j) {
            const double v = x[static_cast<size_t>(j)];
            if (highest ? v > best : v < best) best = v, at = j;
        }
        out[static_cast<size_t>(i)] = i - at;
    }
    return out;
}

inline Series TopLowRange(const Series& x, bool top) {
    Series out(x.size(), 0);
    for (size_t i = 0; i < x.size(); ++i) {
        if (!Valid(x[i])) continue;
        int count = 0;
        for (size_t j = i; j-- > 0;) {
            if (top ? !(x[j] < x[i]) : !(x[j] > x[i])) break;
            ++count;
        }
        out[i] = count;
    }
    return out;
}

inline Series BarsSinceN(const Series& x, Operand n) {
    const int len = static_cast<int>(x.size());
    Series out(x.size(), kInvalid);
    for (int i = 1; i < len; ++i) {
        const std::int64_t from = std::max<std::int64_t>(0, i - BarCount(n[i]));
        for (std::int64_t j = from; j <= i; ++j)
            if (x[static_cast<size_t>(j)] != 0) {
                out[static_cast<size_t>(i)] = static_cast<double>(i - j);
                break;
            }
    }
    return out;
}

inline Series SumBars(const Series& x, double a) {
    Series out(x.size(), 0);
    for (size_t i = 0; i < x.size(); ++i) {
        double sum = 0;
        int walked = 0;
        for (size_t j = i + 1; j-- > 0;) {
            if (!Valid(x[j])) continue;
            sum += x[j];
            ++walked;
            if (sum >= a) break;
        }
        out[i] = walked;
    }
    return out;
}

inline void BackSet(const Series& x, Operand n, Series& out) {
    const int len = static_cast<int>(x.size());
    for (int i = 0; i < len; ++i) {
        if (!Valid(n[i])) {
            out[static_cast<size_t>(i)] = 0;
            continue;
        }
        if (x[static_cast<size_t>(i)] != 1) continue;
        const std::int64_t from = std::max<std::int64_t>(0, i - BarCount(n[i]) + 1);
        for (std::int64_t j = from; j <= i; ++j) out[static_cast<size_t>(j)] = 1;
    }
}

inline Series Regression(const Series& x, int n, bool slope) {
    const int len = static_cast<int>(x.size());
    Series out(x.size(), kInvalid);
    int seen = 0, first = -1;
    for (int i = 0; i < len && first < 0; ++i)
        if (Valid(x[static_cast<size_t>(i)]) && ++seen == n) first = i;
    if (first < 0) return out;
    for (int i = first; i < len; ++i) {
        double sx = 0, sy = 0, sxx = 0, sxy = 0;
        for (int k = 1; k <= n; ++k) {
            const double y = x[static_cast<size_t>(i - n + k)];
            sx += k;
            sy += y;
            sxx += k * k;
            sxy += k * y;
        }
        const double c1 = (n * sxy - sx * sy) / (n * sxx - sx * sx);
        const double c0 = (sy - c1 * sx) / n;
        out[static_cast<size_t>(i)] = slope ? c1 : c0 + c1 * n;
    }
    return out;
}

// The price-level table walked from the lowest price on every bar.
inline void CostWinner(const Series& high, const Series& low, const Series& vol, Operand n,
                       bool winner, Series& out) {
    const int q = winner ? 100 : 10;
    std::map<long long, double> table; // price * 10 -> volume
    double total = 0;
    for (size_t t = 0; t < out.size(); ++t) {
        total += vol[t];
        if (high[t] > low[t]) {
            const double step = (high[t] - low[t]) / q;
            for (int k = 0; k < q && low[t] + k * step < high[t]; ++k)
                table[static_cast<long long>(std::nearbyint((low[t] + k * step) * 10))] +=
                    vol[t] / q;
        }
        const double want = n[static_cast<int>(t)];
        if (!Valid(want) || total == 0) {
            out[t] = kInvalid;
            continue;
        }
        double v = 0;
        for (const auto& [key, volume] : table) {
            const double price = static_cast<double>(key) / 10;
            if (!winner && v / total > want / 100) {
                out[t] = price;
                break;
            }
            if (winner && price > want) {
                out[t] = v / total;
                break;
            }
            v += volume;
        }
    }
}

} // namespace vantor::reference
