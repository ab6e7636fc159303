#include "market/stock.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "market/data_files.h"
#include "market/large_pages.h"
#include "market/period_stamp.h"

namespace vantor {

namespace {

// Adds a later base bar to a bar being built: highest high, lowest low, its close, summed
// volume and amount; open and label stay.
void MergeBar(Price& into, const Price& bar) {
    into.Spg = std::max(into.Spg, bar.Spg);
    into.Spd = std::min(into.Spd, bar.Spd);
    into.Sps = bar.Sps;
    into.Scjl += bar.Scjl;
    into.Scje += bar.Scje;
}

int DefaultRandom(int lo, int hi) {
    static std::mt19937 gen{std::random_device{}()};
    return std::uniform_int_distribution<int>(lo, hi)(gen);
}

} // namespace

double Tstock::LabelTime(const Price& cacheBar) {
    // A label made from a stamp always encodes.
    return EncodeBarTime(BarTimeNumber(cacheBar.Ssj), BarDateNumber(cacheBar.Srq)).value_or(0.0);
}

Tstock::Tstock() {
    for (int i = 0; i < kCachedPeriods; ++i) DMP[i].nperiod = static_cast<TWeekStyle>(i);
    setLastrow(0);
}

void Tstock::setLastrow(int a) {
    if (startrow < 0) startrow = 0;
    Flastrow = (a > 0 && a > startrow) ? a : startrow;
}

Price Tstock::Last() const {
    if (Flastrow >= 0 && Flastrow < fcount) return Fp[Flastrow];
    return Price{};
}

bool Tstock::CurValue(Price& bar) const {
    if (nIndex < 0 || nIndex >= fcount) return false;
    bar = Fp[nIndex];
    return true;
}

void Tstock::ClearPeriods() {
    for (int i = 0; i < kCachedPeriods; ++i) {
        DMP[i].value.clear();
        firstRow_[i].clear();
        labelNumbers_[i].clear();
    }
}

void Tstock::PushInto(int i, int row) {
    PushInto(i, row, BarTimeNumber(Fp[row].Ssj), BarDateNumber(Fp[row].Srq));
}

void Tstock::PushInto(int i, int row, int time, int date) {
    PushStamped(i, row, GetPeriodStamp(static_cast<TWeekStyle>(i), time, date));
}

void Tstock::PushStamped(int i, int row, const std::optional<double>& stamp) {
    const Price& bar = Fp[row];
    const auto w = static_cast<TWeekStyle>(i);
    // A bar whose date or time has no stamp is left out of the cache.
    if (!stamp) return;
    auto& cache = DMP[i].value;
    if (cache.empty() || std::fabs(*stamp - lastLabel_[i]) >= PeriodThreshold(w)) {
        cache.push_back(bar);
        Price& added = cache.back();
        // The label's text and numbers from one reading of the stamp: the numbers are
        // what reading the text back would give.
        const DateTimeParts p = DecodeDateTime(*stamp);
        StampLabel(p, added.Srq, added.Ssj);
        const int labelDate = p.year * 10000 + p.month * 100 + p.day;
        const int labelTime = p.hour * 100 + p.minute;
        lastLabel_[i] = EncodeBarTime(labelTime, labelDate).value_or(0.0);
        firstRow_[i].push_back(row);
        labelNumbers_[i].push_back({labelDate, labelTime});
        return;
    }
    MergeBar(cache.back(), bar);
}

void Tstock::CacheDateTime(TWeekStyle w, int first, int n, double* date, double* time) const {
    const int i = static_cast<int>(w);
    if (i < 0 || i >= kCachedPeriods || first < 0 || n <= 0) return;
    const auto& bars = DMP[i].value;
    const auto& numbers = labelNumbers_[i];
    const bool kept = numbers.size() == bars.size();
    const int end = std::min(first + n, static_cast<int>(bars.size()));
    for (int k = first; k < end; ++k) {
        const auto at = static_cast<size_t>(k);
        const int d = kept ? numbers[at][0] : BarDateNumber(bars[at].Srq);
        const int t = kept ? numbers[at][1] : BarTimeNumber(bars[at].Ssj);
        date[k - first] = d;
        time[k - first] = t;
    }
}

void Tstock::ReserveCaches(int bars) {
    // About what `bars` minute bars make in each intraday cache, sessions ending off the
    // period's grid included; the day-level caches stay small.
    if (bars <= 0) return;
    for (int i = 0; i < static_cast<int>(wsDay); ++i) {
        const int m = kIntradayMinutes[i];
        const auto n = static_cast<size_t>(i == 0 ? bars : bars / m + bars / (2 * m) + 16);
        DMP[i].value.reserve(n);
        firstRow_[i].reserve(n);
        labelNumbers_[i].reserve(n);
    }
    // The 1-minute cache fills with about one bar per base bar.
    PreferLargePages(DMP[0].value.data(), DMP[0].value.capacity() * sizeof(Price));
}

void Tstock::ReadDay(int date) {
    day_.date = date;
    day_.set = true;
    day_.at = ReadBarMoment(0, date);
    const BarMoment& at = day_.at;
    if (at.dayNumber) {
        DateTimeParts p;
        p.year = at.year;
        p.month = at.month;
        p.day = at.day;
        ShortStr unused;
        StampLabel(p, day_.label, unused);
    }
    for (int i = 0; i < kCachedPeriods; ++i)
        if (StampedByDate(static_cast<TWeekStyle>(i)))
            day_.stamps[i] = GetPeriodStamp(static_cast<TWeekStyle>(i), at);
}

void Tstock::PushBar(int row, bool reset) {
    if (reset) ClearPeriods();
    if (row < 0 || row >= fcount) return;
    const Price& bar = Fp[row];
    const int time = BarTimeNumber(bar.Ssj), date = BarDateNumber(bar.Srq);
    // Bars come day by day: the date is read once for all the bars of its day.
    if (date != day_.date || !day_.set) ReadDay(date);
    // A date that does not exist has no stamp in any period: the bar is left out.
    if (!day_.at.dayNumber) return;
    const double dayNumber = *day_.at.dayNumber;
    BarMoment at = day_.at;
    at.hour = time / 100;
    at.minute = time % 100;
    at.timeOk = time >= 0 && at.hour <= 23 && at.minute <= 59;
    for (int i = 0; i < kCachedPeriods; ++i) {
        const auto w = static_cast<TWeekStyle>(i);
        if (StampedByDate(w)) {
            // Most bars of a day-level period only add to its last bar.
            const auto& stamp = day_.stamps[i];
            auto& cache = DMP[i].value;
            if (stamp && !cache.empty() && std::fabs(*stamp - lastLabel_[i]) < PeriodThreshold(w))
                MergeBar(cache.back(), bar);
            else
                PushStamped(i, row, stamp);
            continue;
        }
        // An intraday stamp is the minute that ends the bar, counted from the bar's day.
        const int minute = IntradayLabelMinute(w, at);
        if (minute < 0) continue; // no stamp: left out of the cache
        const int hour = minute / 60, mi = minute % 60;
        const double stamp = DayTime(dayNumber, hour, mi);
        auto& cache = DMP[i].value;
        if (!cache.empty() && std::fabs(stamp - lastLabel_[i]) < PeriodThreshold(w)) {
            MergeBar(cache.back(), bar);
            continue;
        }
        if (minute >= 1440) { // midnight ends the bar: its label is the next day's
            PushStamped(i, row, stamp);
            continue;
        }
        // A new bar that ends on its own day: labelled with the day's text and the minute,
        // which is what decoding its stamp gives.
        cache.push_back(bar);
        Price& added = cache.back();
        added.Srq = day_.label;
        const char hhmm[4] = {static_cast<char>('0' + hour / 10),
                              static_cast<char>('0' + hour % 10), static_cast<char>('0' + mi / 10),
                              static_cast<char>('0' + mi % 10)};
        added.Ssj.assign(std::string_view(hhmm, 4));
        lastLabel_[i] = stamp;
        firstRow_[i].push_back(row);
        labelNumbers_[i].push_back({date, hour * 100 + mi}); // a date that exists reads as itself
    }
}

bool Tstock::ReadText() {
    if (!lines.Read(fileName)) {
        lines.clear();
        fcount = 0;
        Fp.clear();
        ClearPeriods();
        return false;
    }
    oldfilename = fileName;
    fcount = static_cast<int>(lines.size());
    Fp.clear();
    Fp.reserve(static_cast<size_t>(fcount));
    PreferLargePages(Fp.data(), Fp.capacity() * sizeof(Price));
    ClearPeriods();
    return true;
}

void Tstock::ParseBars(int pushFirst, int pushLast) {
    for (int i = 0; i < fcount; ++i) {
        // Each bar is parsed in its place, never filled with zeros first.
        if (!ParseBarLine(lines[i], Fp.emplace_back()) && !serrmessage) {
            serrmessage = true;
            if (host)
                host->Message("数据格式不合法，请检查数据文件格式！当前行：" + std::to_string(i));
        }
        if (pushFirst <= i && i <= pushLast) PushBar(i, false);
    }
}

bool Tstock::ReadFile() {
    if (!ReadText()) return false;
    ParseBars(0, -1);
    return true;
}

bool Tstock::loaddata() {
    if (!ReadText()) return false;
    if (0 <= startrow && startrow <= Flastrow && Flastrow <= fcount - 1) {
        ReserveCaches(Flastrow - startrow + 1);
        ParseBars(startrow, Flastrow);
        nIndex = Flastrow;
    } else {
        ParseBars(0, -1);
    }
    return true;
}

bool Tstock::sjload() {
    if (!ReadFile()) return false;
    if (fcount == 0) {
        startrow = 0;
        Flastrow = 0;
        nIndex = -1; // nothing to reveal
        return true;
    }
    RandomFn rnd = random ? random : RandomFn(DefaultRandom);
    // The last bar is never the start (unless it is the only one); at most 500 bars shown.
    startrow = rnd(0, std::max(0, fcount - 2));
    setLastrow(rnd(startrow, std::min(startrow + 500, fcount) - 1));
    ReserveCaches(Flastrow - startrow + 1);
    for (int i = startrow; i <= Flastrow; ++i) PushBar(i, false);
    nIndex = Flastrow;
    return true;
}

void Tstock::ReCal(TWeekStyle sweek) {
    if (fcount == 0) return;
    if (nIndex > fcount - 1) {
        nIndex = fcount - 1;
        return;
    }
    ClearPeriods();
    ReserveCaches(nIndex + 1);
    for (int i = 0; i <= nIndex; ++i) PushBar(i, false); // nothing when nIndex is negative
    speriod = sweek;
}

void Tstock::assign(const Tstock& source) {
    lines = source.lines;
    fcount = source.fcount;
    startrow = source.startrow;
    Flastrow = source.Flastrow;
    period = source.period;
}

// --- regrouping ---

Price Tstock::Combine(int first, int last) const {
    Price out;
    for (int i = first; i <= last; ++i) {
        Price bar;
        ParseBarLine(lines[i], bar);
        if (i == first) {
            out = bar;
            continue;
        }
        MergeBar(out, bar);
        out.Srq = bar.Srq;
        out.Ssj = bar.Ssj;
    }
    return out;
}

void Tstock::Regroup() {
    const int nlines = static_cast<int>(lines.size());
    if (Flastrow > nlines - 1) Flastrow = nlines - 1;
    if (startrow < 0) startrow = 0;
    startrow -= startrow % 5;
    const int n = startrow < Flastrow ? Flastrow - startrow + 1 : 0;
    Fp.clear();
    for (int k = 0; k < n / period; ++k)
        Fp.push_back(Combine(startrow + k * period, startrow + k * period + period - 1));
    if (n % period != 0) Fp.push_back(Combine(Flastrow - n % period + 1, Flastrow));
    fcount = static_cast<int>(Fp.size());
}

void Tstock::Reloaddata() {
    if (period <= 0) return;
    oldperiod = period;
    oldfilename = fileName;
    Regroup();
}

void Tstock::Reloaddata(int p) {
    if (p <= 0) return;
    // Whether the file or the period changed or not, a full regroup gives exactly the bars an
    // update of the last group would, including a last group that holds fewer than p lines.
    period = p;
    Reloaddata();
}

void Tstock::Reloaddatap() {
    const int nlines = static_cast<int>(lines.size());
    const int first = std::max(0, startrow);
    const int last = std::min(Flastrow - 1, nlines - 1);
    std::vector<Price> bars;
    double label = 0;
    int read = 0;
    for (int i = first; i <= last; ++i) {
        Price bar;
        ParseBarLine(lines[i], bar);
        ++read;
        auto stamp = GetPeriodStamp(speriod, BarTimeNumber(bar.Ssj), BarDateNumber(bar.Srq));
        if (!stamp) continue;
        if (!bars.empty() && std::fabs(*stamp - label) < 0.000625) {
            MergeBar(bars.back(), bar);
            continue;
        }
        bars.push_back(bar);
        StampLabel(*stamp, bars.back().Srq, bars.back().Ssj);
        label = *EncodeBarTime(BarTimeNumber(bars.back().Ssj), BarDateNumber(bars.back().Srq));
    }
    if (read > 0) setLastrow(Flastrow - 1);
    Fp = std::move(bars);
    fcount = static_cast<int>(Fp.size());
}

void Tstock::Readd(int ibeg, int ilast) {
    ibeg = std::max(ibeg, 0);
    ilast = std::min(ilast, fcount - 1);
    for (int i = ibeg; i <= ilast; ++i) {
        setLastrow(i);
        PushBar(i, false);
    }
}

} // namespace vantor
