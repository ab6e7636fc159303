// Bar feeding of the chart: whole series, single values, whole bars and ticks, the
// chart's period and the quote, financial, index and tick records.

#include <algorithm>
#include <cmath>

#include "chart/tgp.h"
#include "market/period_stamp.h"
#include "market/stock.h"

namespace vantor {

namespace {
constexpr int kMaxFedBars = 49000;
}

double ShowPeriodBars(TGP& chart, const Tstock& store, bool openOnly) {
    TWeekStyle period = chart.ZhouQi();
    if (static_cast<int>(period) < 0 || static_cast<int>(period) >= kCachedPeriods)
        return kInvalidValue;
    const auto& bars = store.Cache(period).value;
    if (bars.empty()) return kInvalidValue;
    const int total = static_cast<int>(bars.size());
    const int n = std::min(total, kMaxFedBars);
    const int first = total - n;
    TGP::BarSource source{&store, store.fileName, period, first, 0, 0};
    store.CacheDateTime(period, first, 1, &source.firstDate, &source.firstTime);
    // Only what may have changed is converted and handed over.
    TGP::BarColumns c;
    c.count = n;
    c.from = chart.FirstChangedBar(source, n);
    const auto m = static_cast<size_t>(n - c.from);
    for (auto* s : {&c.date, &c.time, &c.open, &c.high, &c.low, &c.close, &c.amount, &c.vol})
        s->resize(m);
    store.CacheDateTime(period, first + c.from, n - c.from, c.date.data(), c.time.data());
    for (size_t k = 0; k < m; ++k) {
        const Price& b = bars[static_cast<size_t>(first + c.from) + k];
        c.open[k] = b.Spk;
        c.high[k] = b.Spg;
        c.low[k] = b.Spd;
        c.close[k] = b.Sps;
        c.amount[k] = b.Scje;
        c.vol[k] = b.Scjl;
    }
    const double lastClose = c.close.back();
    if (openOnly) {
        // Only the open of the newest bar has been revealed.
        double o = c.open.back();
        c.high.back() = c.low.back() = c.close.back() = o;
    }
    chart.ShowBars(source, period, c);
    return lastClose;
}

int TGP::FirstChangedBar(const BarSource& source, int count) const {
    // Adjusted prices are rebuilt from the raw ones by a full reload.
    if (!source.store || !(source == fed_) || quanStyle_ != qsNone || fedCount_ <= 0) return 0;
    return std::max(std::min(fedCount_, count) - 1, 0);
}

void TGP::ShowBars(const BarSource& source, TWeekStyle period, const BarColumns& bars) {
    const int n = bars.count, from = std::clamp(bars.from, 0, n);
    if (from == 0) K_Main_->prog->ClearData();
    ++updateLock_; // the period and shading switches repaint with the data below
    SetZhouQi(period);
    SetShowBar3d(false);
    --updateLock_;
    const std::pair<const char*, const std::vector<double>*> series[] = {
        {"date", &bars.date},     {"time", &bars.time}, {"open", &bars.open},
        {"high", &bars.high},     {"low", &bars.low},   {"close", &bars.close},
        {"amount", &bars.amount}, {"vol", &bars.vol}};
    for (const auto& [name, values] : series) {
        if (from == 0)
            K_Main_->prog->AddAll(name, values->data(), n);
        else
            K_Main_->prog->ReplaceFrom(name, from, values->data(), n);
    }
    fed_ = source;
    fedCount_ = n;
    RerunBarView(false);
}

void TGP::ClearData() {
    FINANCE_.fill(0);
    DYNAINFO_.fill(0);
    Index_ = {};
    StockInfo_ = {};
    Quan_.clear();
    Fenbi_.clear();
    FenBZ_ = false;
    FSTKNAME_.clear();
    FSTKLABEL_.clear();
    FWEEK_.clear();
    range_.leftBar = 0;
    fed_ = {};
    for (ChartWindow* w : {FS_Main_, FS_VOL_}) {
        w->prog->ClearData();
        w->Prevclose = kInvalidValue;
        w->FQuan.clear();
    }
    for (ChartWindow* w : GS_) {
        w->CurGS = false;
        w->prog->ClearData();
        w->Prevclose = kInvalidValue;
        w->FQuan.clear();
    }
    // Window 1 becomes current when it is shown; with a single window the K-line window.
    CURGS_ = std::min(1, FTechWindows_ - 1);
    GS_[static_cast<size_t>(CURGS_)]->CurGS = true;
    range_.oldScale = range_.scale;
    ReDraw();
}

void TGP::RerunBarView(bool toEnd) {
    if (toEnd || range_.leftBar == 0) range_.leftBar = BarCount() + 1;
    for (int i = 0; i < FTechWindows_; ++i) RunWindow(GS_[static_cast<size_t>(i)]);
    if (!FShowFs_) ReDraw();
}

void TGP::AddALL(const std::string& name, const double* f1, int len, bool repaint) {
    K_Main_->prog->AddAll(name, f1, len);
    fed_ = {};
    if (repaint) RerunBarView(false);
}

void TGP::AddONE(const std::string& name, double f1, bool append, bool repaint) {
    K_Main_->prog->AddOne(name, f1, append);
    fed_ = {};
    if (repaint) RerunBarView(append);
}

void TGP::Fs_AddALL(const std::string& name, const double* f1, int len, bool repaint) {
    FS_Main_->prog->AddAll(name, f1, len);
    if (!repaint) return;
    RunWindow(FS_Main_);
    RunWindow(FS_VOL_);
    if (FShowFs_) ReDraw();
}

void TGP::Fs_AddONE(const std::string& name, double f1, bool append, bool repaint) {
    FS_Main_->prog->AddOne(name, f1, append);
    if (!repaint) return;
    RunWindow(FS_Main_);
    RunWindow(FS_VOL_);
    if (FShowFs_) ReDraw();
}

void TGP::AddCandle(double ndate, double nTime, double open, double high, double low, double close,
                    double amount, double vol, double adv, double dec) {
    AddONE("date", ndate, true, false);
    AddONE("time", nTime, true, false);
    AddONE("high", high, true, false);
    AddONE("low", low, true, false);
    AddONE("open", open, true, false);
    AddONE("close", close, true, false);
    AddONE("Amount", amount, true, false);
    AddONE("advance", adv, true, false);
    AddONE("decline", dec, true, false);
    AddONE("vol", vol, true, true);
}

namespace {
// The end of the period bucket holding the moment time/date, 0 when it has none.
double BucketEnd(TWeekStyle period, double time, double date) {
    if (!std::isfinite(time) || !std::isfinite(date) || time == kInvalidValue) time = 0;
    if (!std::isfinite(date) || date < 0 || date > 99991231) return 0;
    auto s = GetPeriodStamp(period, static_cast<int>(std::trunc(time)),
                            static_cast<int>(std::trunc(date)));
    return s ? *s : 0;
}
} // namespace

void TGP::SMartAddCandle(double ndate, double nTime, double open, double high, double low,
                         double close, double amount, double vol, double adv, double dec) {
    double lastDate = GetLast("date"), lastTime = GetLast("time");
    double lastHigh = GetLast("high"), lastLow = GetLast("low");
    TWeekStyle period = ZhouQi();
    double last = lastDate != kInvalidValue ? BucketEnd(period, lastTime, lastDate) : 0;
    double now = BucketEnd(period, nTime, ndate);
    bool append = now != last || last == 0;
    if (append) {
        double d = 19890101, t = 930;
        if (now != 0) {
            ShortStr srq, ssj;
            StampLabel(now, srq, ssj);
            int dn = BarDateNumber(srq), tn = BarTimeNumber(ssj);
            if (dn > 0) d = dn;
            if (!ssj.empty()) t = tn;
        }
        AddONE("date", d, true, false);
        AddONE("time", t, true, false);
        AddONE("high", high, true, false);
        AddONE("low", low, true, false);
        AddONE("open", open, true, false);
    } else {
        AddONE("date", ndate, false, false);
        AddONE("time", nTime, false, false);
        AddONE("high", lastHigh == kInvalidValue ? high : std::max(high, lastHigh), false, false);
        AddONE("low", lastLow == kInvalidValue ? low : std::min(low, lastLow), false, false);
    }
    AddONE("close", close, append, false);
    AddONE("Amount", amount, append, false);
    AddONE("advance", adv, append, false);
    AddONE("decline", dec, append, false);
    AddONE("vol", vol, append, true);
}

void TGP::ReaddCandle(double ndate, double nTime, double open, double high, double low,
                      double close, double amount, double vol, double adv, double dec) {
    AddONE("date", ndate, false, false);
    AddONE("time", nTime, false, false);
    AddONE("high", high, false, false);
    AddONE("low", low, false, false);
    AddONE("open", open, false, false);
    AddONE("close", close, false, false);
    AddONE("Amount", amount, false, false);
    AddONE("advance", adv, false, false);
    AddONE("decline", dec, false, false);
    AddONE("vol", vol, false, true);
    Fs_AddONE("time", nTime, false, false);
    Fs_AddONE("close", close, false, false);
    Fs_AddONE("amount", amount, false, false);
    Fs_AddONE("vol", vol, false, true);
}

void TGP::AddTick(double nTime, double vol, double amount, double close) {
    Fs_AddONE("time", nTime, true, false);
    Fs_AddONE("close", close, true, false);
    Fs_AddONE("amount", amount, true, false);
    Fs_AddONE("vol", vol, true, true);
}

void TGP::SetZhouQi(TWeekStyle v) {
    FWEEK_ = PeriodCaption(v);
    ForAll([v](ChartWindow& w) { w.ZhouQi = v; });
    ReDraw();
}

void TGP::SetFsCount(int v) {
    FfsCount_ = std::max(v, 100);
    FS_Main_->FfsCount = FS_VOL_->FfsCount = FfsCount_;
}

void TGP::SetFenBi(const TTDX_DEALInfo* dest, int count) {
    if (FenBZ_) {
        Fenbi_.clear();
        FenBZ_ = false;
    }
    if (dest && count > 0) Fenbi_.insert(Fenbi_.begin(), dest, dest + count);
    if (count < 2000) FenBZ_ = true;
    ReDraw();
}

void TGP::SetStockInfo(const TStockinfoRecord& v) {
    StockInfo_ = v;
    SetDynainfo(v.INFO);
    SetFinance(v.Zu);
    FSTKNAME_ = v.Name.substr(0, 8);
    FSTKLABEL_ = v.code.substr(0, 6);
    ReDraw();
}

void TGP::SetDynainfo(const TTDX_PKBASE& v) {
    if (v.prize == 0) return;
    auto& d = DYNAINFO_;
    d[3] = v.last;
    d[4] = v.open;
    d[5] = v.highest;
    d[6] = v.lowest;
    d[7] = v.prize;
    d[8] = v.volume;
    d[9] = v.tradeQTY;
    d[12] = v.prize - v.last;
    d[13] = v.lowest != 0 ? (v.highest - v.lowest) / v.lowest : 0;
    d[14] = v.last != 0 ? (v.prize - v.last) * 100 / v.last : 0;
    d[20] = v.buy[0];
    d[21] = v.sell[0];
    d[22] = v.b;
    d[23] = v.s;
}

void TGP::SetIndex(const TTDX_PKBASE& v) {
    Index_.INDEXA = v.tradeQTY;
    Index_.INDEXADV = v.buyQTY[0];
    Index_.INDEXDEC = v.sellQTY[0];
    Index_.INDEXC = v.buy[0];
    Index_.INDEXH = v.highest;
    Index_.INDEXL = v.lowest;
    Index_.INDEXO = v.open;
    Index_.INDEXV = v.volume;
}

void TGP::SetFinance(const TStockZu& v) {
    if (v.date2 == 0 || v.Zl[0] == 0) return;
    // Entry 1 holds the total shares (the block counts in ten thousands); the rest of the
    // block is taken as it is.
    FINANCE_[1] = v.Zl[0] * 10000;
    for (size_t i = 1; i < v.Zl.size() && i + 1 < FINANCE_.size(); ++i) FINANCE_[i + 1] = v.Zl[i];
}

void TGP::SetQuan(const std::vector<TStockQuan>& v) {
    Quan_ = v;
    K_Main_->FQuan = v;
    FS_Main_->FQuan = v;
    ReDraw();
}

} // namespace vantor
