#pragma once
// Tstock: the whole price history of one instrument, its thirteen period caches and the
// replay cursor that reveals the bars one by one.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "market/data_files.h"
#include "market/host.h"
#include "market/period_stamp.h"
#include "market/price.h"

namespace vantor {

class Tstock {
public:
    // Returns a uniform random integer in [lo, hi].
    using RandomFn = std::function<int(int lo, int hi)>;

    Tstock();

    // --- state (fields named as the rest of the program knows them) ---
    TextLines lines;          // the lines of the data file
    bool serrmessage = false; // a malformed line has been reported; never cleared
    Price Fnext;
    std::string fileName;
    std::string oldfilename;
    int fcount = 0;
    int nIndex = 0; // replay position: the last revealed base bar (-1: nothing revealed yet)
    std::vector<Price> Fp;
    std::array<NperdPrice, kCachedPeriods> DMP;
    int sdateLine = 0;
    bool pfinddate = false;
    int oldperiod = 1;
    int period = 1;
    int startrow = 0;
    TWeekStyle speriod = wsmin1;

    const Host* host = nullptr; // shows messages to the user; none: they are dropped
    RandomFn random;

    // --- properties ---
    int ShowCount() const { return Flastrow < startrow ? 0 : Flastrow - startrow + 1; }
    int lastrow() const { return Flastrow; }
    void setLastrow(int a);
    Price Last() const;
    bool Blast() const { return nIndex >= fcount - 1; }
    bool BFirst() const { return nIndex <= 0; }
    // The bar at the replay position; false (and `bar` unchanged) when there is none.
    bool CurValue(Price& bar) const;
    const NperdPrice& Cache(TWeekStyle w) const { return DMP[static_cast<int>(w)]; }
    // The dates (yyyymmdd) and times (hhmm) of the cache bars first .. first+n-1 of period
    // w as numbers, kept with the bars when they enter the cache so that handing bars to
    // the chart converts no text. Bars written into DMP by other means are converted here.
    void CacheDateTime(TWeekStyle w, int first, int n, double* date, double* time) const;

    // --- loading and rebuilding ---
    bool loaddata();
    bool sjload();
    void ReCal(TWeekStyle sweek);
    void assign(const Tstock& source);

    // --- regrouping the bar list from the text lines ---
    void Reloaddata();
    void Reloaddata(int p);
    void Reloaddatap();
    void Readd(int ibeg, int ilast);

    // --- replay cursor ---
    bool Next(Price& bar);
    bool PNext(Price& bar) const;
    void NextStep(TWeekStyle w);
    bool Pri(Price& bar);
    bool GetInfBydate(int ndate);

private:
    int Flastrow = 0;
    // Per cache: the base row that started each cache bar, and the date-time of the last
    // cache bar's label. They let a step back rebuild the last bar exactly.
    std::array<std::vector<int>, kCachedPeriods> firstRow_;
    std::array<double, kCachedPeriods> lastLabel_{};
    // Per cache: the label of each cache bar as numbers (date, time).
    std::array<std::vector<std::array<int, 2>>, kCachedPeriods> labelNumbers_;
    // The date last pushed, read once for all its bars: its moment (without the time), its
    // label text and the stamps of the periods that depend on the date alone.
    struct PushedDay {
        int date = 0;
        bool set = false;
        BarMoment at;
        ShortStr label; // "yyyymmdd", when the date exists
        std::array<std::optional<double>, kCachedPeriods> stamps{};
    };
    PushedDay day_;

    // Reads the file's lines and makes room for its bars; ParseBars then reads the bars,
    // putting the rows `pushFirst` .. `pushLast` into the caches while each is at hand.
    bool ReadText();
    void ParseBars(int pushFirst, int pushLast);
    bool ReadFile();
    void ReadDay(int date);
    void ClearPeriods();
    void PushBar(int row, bool reset);
    void PushInto(int period, int row);
    void PushInto(int period, int row, int time, int date);
    // Adds the bar to the cache bar of its stamp, or starts one labelled from the stamp.
    void PushStamped(int period, int row, const std::optional<double>& stamp);
    void ReserveCaches(int bars);
    static double LabelTime(const Price& cacheBar);
    Price Combine(int first, int last) const;
    void Regroup();
};

} // namespace vantor
