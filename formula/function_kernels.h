#pragma once
// The computing kernels of the condition, counting, reference, pattern and regression
// functions. Each works on plain series (bar 0 oldest) and writes into an output span of the
// data length; the handlers resolve the argument texts, choose the output series and report
// the messages. A bar without a value holds kInvalid in every series.
//
// Kernels that write only some bars leave the other bars of the output as they are: the
// handlers reuse the series of an earlier run, and an untouched bar keeps its old value.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "formula/bian.h"
#include "formula/operand.h"

namespace vantor::kernels {

constexpr double kInvalid = kInvalidValue;
inline bool Valid(double v) {
    return IsValid(v);
}

// A series argument, or a constant standing in for one on every bar.
using vantor::Operand;

// A number that counts bars, truncated toward zero and held inside +-1e9 so that index
// arithmetic never overflows (a bar count that large reaches past any data anyway).
std::int64_t BarCount(double v);

// --- choice and crossings -------------------------------------------------------------
void If(Operand x, Operand a, Operand b, std::span<double> out, int from = 0);
void Cross(Operand a, Operand b, std::span<double> out);
void LongCross(Operand x, Operand a, double n, std::span<double> out);
// strict: B < A < C only (RANGE); otherwise either order (BETWEEN).
void Between(Operand a, Operand b, Operand c, bool either, std::span<double> out);

// --- counting ---------------------------------------------------------------------------
void Count(std::span<const double> x, Operand n, std::span<double> out);
// n must be at least 1 (the handler reports otherwise).
void Exist(std::span<const double> x, std::int64_t n, std::span<double> out);
void Every(std::span<const double> x, std::int64_t n, std::span<double> out);
// Returns false (writing nothing) unless 0 < b < a.
bool Last(std::span<const double> x, std::int64_t a, std::int64_t b, std::span<double> out);
void BarsLastCount(std::span<const double> x, std::span<double> out);
// up: UPNDAY, else DOWNNDAY. Bar 0 is not written.
void UpDownNDay(std::span<const double> x, std::int64_t n, bool up, std::span<double> out);
void NDay(std::span<const double> x1, std::span<const double> x2, std::int64_t n,
          std::span<double> out);

// --- bar distances ----------------------------------------------------------------------
void BarsLast(std::span<const double> x, std::span<double> out);
void BarsSince(std::span<const double> x, std::span<double> out);
void BarsNext(std::span<const double> x, std::span<double> out);
void BarsCount(Operand x, std::span<double> out);
// top: TOPRANGE, else LOWRANGE.
void TopLowRange(Operand x, bool top, std::span<double> out);
void BarsSinceN(std::span<const double> x, Operand n, std::span<double> out);
// high: HOD, else LOD.
void HighLowOrder(std::span<const double> x, Operand n, bool high, std::span<double> out);
// highest: HHVBARS, else LLVBARS.
void ExtremeBars(std::span<const double> x, Operand n, bool highest, std::span<double> out);
void SumBars(std::span<const double> x, double a, std::span<double> out);

// --- signal shaping ---------------------------------------------------------------------
void Filter(std::span<const double> x, Operand n, std::span<double> out);
void FilterX(std::span<const double> x, std::int64_t n, std::span<double> out);
void BackSet(std::span<const double> x, Operand n, std::span<double> out);

// --- position and references ------------------------------------------------------------
void IsLastBar(std::span<double> out);
void CurrBarsCount(std::span<double> out);
void TotalBarsCount(std::span<double> out);
void BarStatus(std::span<double> out);
void TFilt(std::span<const double> x, std::span<const double> date, double day1, double day2,
           std::span<double> out);
// The value of x on the first bar dated exactly `date`; none when no bar has that date.
std::optional<double> RefDate(std::span<const double> x, std::span<const double> date, double day);

// The t-th highest (high) or lowest value of x over m bars ending n bars ago; with bars,
// the distance to the bar of that value.
void FindRanked(std::span<const double> x, std::int64_t n, std::int64_t m, std::int64_t t,
                bool high, bool bars, std::span<double> out);

// --- turning points, stop and reverse, volume at price ------------------------------------
// Bars of the turning points of s with threshold x percent, in bar order; the first and
// last bars with a value are always among them.
std::vector<int> TurningPoints(std::span<const double> s, double x);
// The turning points joined by straight lines; bars outside them are invalid.
void Zig(std::span<const double> s, double x, std::span<double> out);
// peak: PEAK/PEAKBARS, else TROUGH/TROUGHBARS; bars: the distance instead of the value.
void PeakTrough(std::span<const double> s, double x, std::int64_t m, bool peak, bool bars,
                std::span<double> out);
// The running state of SAR before a bar: trend, acceleration, last value, bars in the trend.
struct SarState {
    bool rising = false;
    double a = 0, prev = 0;
    std::int64_t k = 0;
};
// Bars kept from an earlier run: `from` is the first bar to compute (0: all), `start` the
// state before it; `atLast` and `atEnd` receive the states before the last bar and after it.
struct SarResume {
    int from = 0;
    SarState start, atLast, atEnd;
    bool hasLast = false; // atLast was reached (not when nothing was computed)
};
// Needs 2 <= bars and 1 <= n <= bars; returns false otherwise. turn: SARTURN.
bool Sar(std::span<const double> high, std::span<const double> low, std::int64_t n, double s,
         double m, bool turn, std::span<double> out, SarResume* resume = nullptr);
// winner: WINNER (100 steps a bar, share below the price n), else COST (10 steps a bar, the
// price above n percent of the volume).
void CostWinner(std::span<const double> high, std::span<const double> low,
                std::span<const double> vol, Operand n, bool winner, std::span<double> out);

// --- regression, blocks and lines -------------------------------------------------------
// n must be above 1. slope: SLOPE, else FORCAST.
void Regression(std::span<const double> x, std::int64_t n, bool slope, std::span<double> out);
void Lfs(std::span<const double> vol, double capital, std::span<double> out);
// The colour number R + G*256 + B*65536 of three channel values.
std::int64_t Rgb(double r, double g, double b);
void DrawLine(Operand x1, Operand v1, Operand x2, Operand v2, double ex, std::span<double> out);

} // namespace vantor::kernels
