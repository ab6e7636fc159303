// The trade marks of the practice: reading the instrument's trades from the journal once,
// adding each new trade, and placing the marks on the K-line window after every display.

#include "practice/trade_marks.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "account/numbers.h"
#include "chart/trade_markers.h"
#include "market/period_stamp.h"
#include "practice/practice.h"

namespace vantor {

namespace {

// A moment as a day number; nullopt when it names none.
std::optional<double> Moment(int time, int date) {
    return EncodeBarTime(time, date);
}

double LabelOf(const Price& cacheBar) {
    return Moment(BarTimeNumber(cacheBar.Ssj), BarDateNumber(cacheBar.Srq)).value_or(0.0);
}

} // namespace

std::string TradeBarText(const Price& bar) {
    std::string text(bar.Srq.view());
    if (!bar.Ssj.view().empty()) text += " " + std::string(bar.Ssj.view());
    return text;
}

bool ParseTradeBar(const std::string& text, int& date, int& time) {
    const std::size_t blank = text.find(' ');
    const std::string d = text.substr(0, blank);
    const std::string t = blank == std::string::npos ? std::string() : text.substr(blank + 1);
    auto digits = [](const std::string& s) {
        return !s.empty() &&
               std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (d.size() != 8 || !digits(d) || (!t.empty() && !digits(t)) || t.size() > 4) return false;
    date = std::stoi(d);
    time = t.empty() ? 0 : std::stoi(t);
    return Moment(time, date).has_value();
}

std::vector<XXLine> TradeMarkers(const std::vector<TradeMark>& trades, const NperdPrice& cache,
                                 TWeekStyle period, int shownBars, const Price& current) {
    std::vector<XXLine> marks;
    const auto& bars = cache.value;
    const int total = static_cast<int>(bars.size());
    const int first = total - std::clamp(shownBars, 0, total);
    const auto now = Moment(BarTimeNumber(current.Ssj), BarDateNumber(current.Srq));
    if (!now || first >= total) return marks;
    // A base bar joins the cache bar whose label lies within the period's threshold of its
    // stamp, so the same test finds the bar a trade was made in.
    const double near = PeriodThreshold(period);
    std::map<std::pair<int, bool>, int> stacked; // (bar, buys) -> marks so far
    for (const TradeMark& t : trades) {
        const auto at = Moment(t.time, t.date);
        const auto stamp = GetPeriodStamp(period, t.time, t.date);
        if (!at || !stamp || *at > *now + 1e-9) continue;
        auto it = std::lower_bound(bars.begin() + first, bars.end(), *stamp - near,
                                   [](const Price& b, double v) { return LabelOf(b) < v; });
        if (it == bars.end() || std::fabs(LabelOf(*it) - *stamp) >= near) continue;
        const int bar = static_cast<int>(it - bars.begin()) - first;
        const int slot = stacked[{bar, BuysIn(t.direction)}]++;
        marks.push_back(TradeMarker(bar, t.price, t.direction, slot));
    }
    return marks;
}

void TForm1::LoadTradeMarks() {
    tradeMarks_.clear();
    marksCode_ = loadedCode_;
    marksLoaded_ = true;
    std::vector<TradeBarRow> rows;
    if (!journal_.ReadTradeBars(accountName_, loadedCode_, rows)) {
        Fail(journal_.sError);
        return;
    }
    for (const TradeBarRow& r : rows) {
        TradeMark m;
        if (!ParseTradeBar(r.bar, m.date, m.time)) continue;
        m.price = NumberOr(r.price, 0);
        m.direction = r.direction;
        tradeMarks_.push_back(std::move(m));
    }
}

void TForm1::PlaceTradeMarkers() {
    TGP::UpdateGuard guard(chart_);
    chart_.RemoveObjects(0, kTradeMarker);
    if (!marksShown_ || chart_.ShowFs() || loadedCode_.empty()) return;
    if (!marksLoaded_ || marksCode_ != loadedCode_) LoadTradeMarks();
    Price current;
    if (tradeMarks_.empty() || !store_.CurValue(current)) return;
    const TWeekStyle period = chart_.ZhouQi();
    if (static_cast<int>(period) < 0 || static_cast<int>(period) >= kCachedPeriods) return;
    for (const XXLine& m :
         TradeMarkers(tradeMarks_, store_.Cache(period), period, chart_.BarCount(), current))
        chart_.AddObject(0, m);
}

void TForm1::SetTradeMarkersShown(bool on) {
    marksShown_ = on;
    PlaceTradeMarkers();
    Notify();
}

void TForm1::NoteTradeMark(const std::string& direction) {
    ++tradeCount_;
    Price bar;
    if (!store_.CurValue(bar)) return;
    TradeMark m;
    if (!marksLoaded_ || marksCode_ != loadedCode_) {
        LoadTradeMarks(); // the journal holds this trade's row already
    } else if (ParseTradeBar(TradeBarText(bar), m.date, m.time)) {
        m.price = NumberOr(Fixed2(account_.jsj()), 0); // as the row keeps it
        m.direction = direction;
        tradeMarks_.push_back(std::move(m));
    }
    PlaceTradeMarkers();
}

} // namespace vantor
