#pragma once
// Helpers of the evaluator tests: a window with a few bars, and reading results back.

#include <memory>
#include <string>
#include <vector>

#include "formula/gs.h"
#include "market/stock.h"

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

// Hands the first `rows` base bars of a sample file to a window as the chart does, with
// zeroed instrument blocks; the number of bars handed in.
inline int LoadSample(TGS& gs, const std::string& path, int rows) {
    Tstock store;
    store.fileName = path;
    store.startrow = 0;
    store.setLastrow(rows - 1);
    if (!store.loaddata()) return 0;
    const std::vector<Price>& bars = store.DMP[0].value;
    auto feed = [&](const char* name, auto field) {
        std::vector<double> v;
        v.reserve(bars.size());
        for (const Price& p : bars) v.push_back(field(p));
        gs.AddAll(name, v.data(), static_cast<int>(v.size()));
    };
    auto number = [](const ShortStr& s) { return s.empty() ? 0.0 : std::stod(s.str()); };
    feed("date", [&](const Price& p) { return number(p.Srq); });
    feed("time", [&](const Price& p) { return number(p.Ssj); });
    feed("open", [](const Price& p) { return p.Spk; });
    feed("high", [](const Price& p) { return p.Spg; });
    feed("low", [](const Price& p) { return p.Spd; });
    feed("close", [](const Price& p) { return p.Sps; });
    feed("amount", [](const Price& p) { return p.Scje; });
    feed("vol", [](const Price& p) { return p.Scjl; });
    gs.FStockInfo = std::make_shared<TStockinfo>();
    gs.FDYNAINFO = std::make_shared<TDYNAINFO>();
    gs.FFINANCE = std::make_shared<TFINANCE>();
    gs.FIndex = std::make_shared<TIndex>();
    return static_cast<int>(bars.size());
}

} // namespace vantor::test
