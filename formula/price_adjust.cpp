// Price adjustment: bonus shares, offered shares and cash dividends folded into the
// price series before (qsBefore) or after (qsBack) each event.

#include <algorithm>
#include <cmath>

#include "formula/gs.h"

namespace vantor {

namespace {
const char* const kPrices[] = {"high", "low", "close", "open"};
}

// Restores the unadjusted prices and applies the events for `Value`. Returns true when at
// least one event applied. The program is not run here.
bool TGS::ApplyQuan(TQuanStyle Value) {
    if (FQuan.empty() || !mainbian->find("date")) return false;
    for (const char* p : kPrices)
        if (!mainbian->find(p)) return false;
    Tbian* raw[4];
    for (int k = 0; k < 4; ++k) raw[k] = mainbian->find(kPrices[k]);
    if (quanCopies_.find("q_high")) {
        for (int k = 0; k < 4; ++k) {
            // Bars added since the copy was taken keep their values and the series its length.
            const Tbian* copy = quanCopies_.find(std::string("q_") + kPrices[k]);
            std::copy_n(copy->value.begin(), std::min(copy->len, raw[k]->len),
                        raw[k]->value.begin());
        }
    } else {
        for (int k = 0; k < 4; ++k) {
            Tbian* copy = quanCopies_.add(std::string("q_") + kPrices[k], 0);
            copy->SetDouble(raw[k]->value.data(), raw[k]->len);
        }
    }
    mainbian->Changed(0);
    if (Value == qsNone) return true;

    const Tbian* date = mainbian->find("date");
    const int n = date->len;
    auto position = [&](int d) { // first bar dated on or after d
        int lo = 0, hi = n;
        while (lo < hi) {
            int mid = lo + (hi - lo) / 2;
            if (date->at(mid) < d)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    };
    bool applied = false;
    auto apply = [&](const TStockQuan& q, bool before) {
        const double g = q.Number / 10.0 + 1 + q.PeiNumber / 10.0;
        const double h = -q.money / 10.0 + q.PeiNumber * q.PeiMoney / 10.0;
        const int j = position(q.date);
        if (j <= 0 || j >= n || !(g > 0) || !std::isfinite(h)) return;
        for (Tbian* s : raw) {
            const int last = std::min(s->len, n);
            for (int i = before ? 0 : j; i < (before ? std::min(j, last) : last); ++i)
                s->value[static_cast<size_t>(i)] =
                    static_cast<float>(before ? (s->value[static_cast<size_t>(i)] + h) / g
                                              : s->value[static_cast<size_t>(i)] * g - h);
        }
        applied = true;
    };
    const int held = static_cast<int>(std::min<size_t>(FQuan.size(), 41));
    if (Value == qsBefore) {
        for (int k = held - 1; k >= 0; --k)
            if (FQuan[static_cast<size_t>(k)].Mode == 1) apply(FQuan[static_cast<size_t>(k)], true);
    } else {
        for (int k = 0; k < held && FQuan[static_cast<size_t>(k)].Mode != 0; ++k)
            apply(FQuan[static_cast<size_t>(k)], false);
    }
    return applied;
}

bool TGS::SetQuanStyle(TQuanStyle Value) {
    const bool applicable = !FQuan.empty() && mainbian->find("date") && mainbian->find("high") &&
                            mainbian->find("low") && mainbian->find("close") &&
                            mainbian->find("open");
    bool result = false;
    if (applicable) {
        const bool applied = ApplyQuan(Value);
        if (Value == qsNone || applied) {
            // Rerun with the parameters in force, so the window keeps its settings.
            QuanStyle = Value;
            Run(lastParams_);
            result = true;
        }
    }
    QuanStyle = Value;
    return result;
}

} // namespace vantor
