#pragma once
// Helpers of the evaluator tests: a window with a few bars, and reading results back.

#include <string>
#include <vector>

#include "formula/gs.h"

namespace vantor::test {

constexpr double kInv = kInvalidValue;

// Hands in the raw series the chart hands in; `close` decides the data length.
inline void LoadBars(TGS& gs, const std::vector<double>& close, std::vector<double> open = {},
                     std::vector<double> high = {}, std::vector<double> low = {},
                     std::vector<double> date = {}) {
    auto add = [&](const char* name, const std::vector<double>& v) {
        if (!v.empty()) gs.AddAll(name, v.data(), static_cast<int>(v.size()));
    };
    add("date", date);
    add("open", open);
    add("high", high);
    add("low", low);
    add("close", close);
}

// The values of a series, or of a constant repeated on every bar; empty when unknown.
inline std::vector<double> Values(TGS& gs, const std::string& name) {
    const int n = gs.getdatalen();
    if (Tbian* b = gs.check(name)) {
        std::vector<double> v;
        for (int i = 0; i < n; ++i) v.push_back(b->at(i));
        return v;
    }
    double c = 0;
    if (gs.teststr(name, c)) return std::vector<double>(static_cast<size_t>(n), c);
    return {};
}

} // namespace vantor::test
