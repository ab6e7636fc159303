#pragma once
// Bars for chart tests: n bars rising and falling in a week-long zigzag from 100 (opens
// 100, 103 ... 118, each bar two up on its open, four above and below it).

#include <vector>

#include "chart/tgp.h"

namespace vantor {

inline void FeedBars(TGP& chart, int n) {
    std::vector<double> o, h, l, c;
    for (int i = 0; i < n; ++i) {
        double base = 100 + (i % 7) * 3;
        o.push_back(base);
        c.push_back(base + 2);
        h.push_back(base + 4);
        l.push_back(base - 4);
    }
    chart.AddALL("open", o.data(), n, false);
    chart.AddALL("high", h.data(), n, false);
    chart.AddALL("low", l.data(), n, false);
    chart.AddALL("close", c.data(), n, true);
}

} // namespace vantor
