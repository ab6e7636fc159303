// The replay cursor of Tstock: reveals base bars one by one, or a whole bar of a longer
// period, steps back, and finds a date.

#include <cmath>

#include "market/period_stamp.h"
#include "market/stock.h"

namespace vantor {

namespace {
constexpr double kOneMinute = 1.0 / 1440.0;
constexpr double kTolerance = 0.5 / 86400.0; // half a second
} // namespace

bool Tstock::Next(Price& bar) {
    if (fcount == 0) return false;
    if (nIndex > fcount - 1) {
        nIndex = fcount - 1;
        return false;
    }
    if (nIndex < -1) nIndex = -1; // a negative position means nothing is revealed yet
    if (nIndex == fcount - 1) return false;
    ++nIndex;
    ++Flastrow;
    PushBar(nIndex, false);
    bar = Fp[nIndex];
    return true;
}

bool Tstock::PNext(Price& bar) const {
    const int next = nIndex < 0 ? 0 : nIndex + 1;
    if (fcount == 0 || next > fcount - 1) return false;
    bar = Fp[next];
    return true;
}

void Tstock::NextStep(TWeekStyle w) {
    const int i = static_cast<int>(w);
    if (i < 0 || i >= kCachedPeriods || DMP[i].value.empty()) return;
    const Price& lastBar = DMP[i].value.back();
    auto label = EncodeBarTime(BarTimeNumber(lastBar.Ssj), BarDateNumber(lastBar.Srq));
    if (!label) return;
    double L = *label;

    // Stamp of the next base bar; a bar without a stamp counts as part of the current bar.
    auto nextStamp = [&](double current) {
        Price peek;
        if (!PNext(peek)) return current;
        auto s = GetPeriodStamp(w, BarTimeNumber(peek.Ssj), BarDateNumber(peek.Srq));
        return s ? *s : current;
    };
    // Reveals base bars as long as the next one belongs to the bar stamped L.
    auto reveal = [&]() {
        double N = nextStamp(L);
        Price bar;
        while (std::fabs(N - L) < kOneMinute - kTolerance && !Blast()) {
            if (!Next(bar)) break;
            N = nextStamp(L);
        }
    };

    if (Blast()) return;
    double N = nextStamp(L);
    double d = std::fabs(N - L);
    if (d < kOneMinute - kTolerance) {
        reveal();
    } else if (std::fabs(d - kOneMinute) <= kTolerance) {
        return;
    } else {
        L = N;
        reveal();
    }
}

bool Tstock::Pri(Price& bar) {
    (void)bar;
    // At the first bar, with nothing revealed, or at an invalid position, nothing happens.
    if (fcount == 0 || nIndex <= 0 || nIndex > fcount - 1) return false;
    const int removed = nIndex;
    --nIndex;
    --Flastrow;
    // Each cache drops what the removed base bar contributed: its last bar is rebuilt from the
    // base rows that started it up to the new position, as a fresh replay would give.
    for (int i = 0; i < kCachedPeriods; ++i) {
        auto& rows = firstRow_[i];
        if (rows.empty() || rows.back() > removed) continue;
        const int from = rows.back();
        DMP[i].value.pop_back();
        rows.pop_back();
        if (!labelNumbers_[i].empty()) labelNumbers_[i].pop_back();
        if (!DMP[i].value.empty()) lastLabel_[i] = LabelTime(DMP[i].value.back());
        for (int row = from; row <= nIndex; ++row) PushInto(i, row);
    }
    return true;
}

bool Tstock::GetInfBydate(int ndate) {
    int a = 0, b = fcount - 1;
    pfinddate = false;
    if (b < a) return false;
    const double target = ndate;
    if (TextToFloat(Fp[0].Srq.view()) > target || target > TextToFloat(Fp[b].Srq.view()))
        return false;
    while (a <= b) {
        const int mid = a + (b - a) / 2;
        const double v = TextToFloat(Fp[mid].Srq.view());
        if (v == target) {
            sdateLine = mid;
            pfinddate = true;
            return true;
        }
        if (target < v)
            b = mid - 1;
        else
            a = mid + 1;
    }
    return false;
}

} // namespace vantor
