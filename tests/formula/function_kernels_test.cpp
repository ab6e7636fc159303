#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "formula/function_kernels.h"
#include "kernel_reference.h"

namespace vantor::kernels {
namespace {

using Series = std::vector<double>;
constexpr double I = kInvalid;

// Runs a kernel into a series of length n that starts filled with `fill`.
Series Compute(size_t n, const std::function<void(std::span<double>)>& kernel, double fill = 0) {
    Series out(n, fill);
    kernel(out);
    return out;
}

void ExpectSeries(const Series& want, const Series& got, const std::string& what) {
    ASSERT_EQ(want.size(), got.size()) << what;
    for (size_t i = 0; i < want.size(); ++i) {
        if (want[i] == I || got[i] == I)
            EXPECT_EQ(want[i], got[i]) << what << " bar " << i;
        else
            EXPECT_NEAR(want[i], got[i], 1e-9 * std::max(1.0, std::fabs(want[i])))
                << what << " bar " << i;
    }
}

// Close and open of six bars rising on bars 0, 1 and 5.
const Series kOpen = {10, 10, 12, 12, 11, 10};
const Series kClose = {11, 12, 11, 11, 10, 12};
Series Rising() {
    Series r;
    for (size_t i = 0; i < kOpen.size(); ++i) r.push_back(kClose[i] > kOpen[i] ? 1 : 0);
    return r;
}

struct Case {
    const char* what;
    std::function<void(std::span<double>)> kernel;
    Series want;
};

void RunCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) ExpectSeries(c.want, Compute(c.want.size(), c.kernel), c.what);
}

TEST(ConditionKernels, ChoiceAndCrossings) {
    const Series x = {I, -0.5, 0, 2, I, 0};
    const Series a = {1, 3, 2, 5, 1, 0}, b = {2, 2, 2, 4, 2, 1};
    const Series withGap = {1, 3, I, 1, 3, 3};
    RunCases({
        {"IF: invalid before the first valid X, then A except where X is 0",
         [&](auto o) { If(x, 1.0, 2.0, o); },
         {I, 1, 2, 1, 1, 2}},
        {"IF with series choices",
         [&](auto o) { If(x, Operand(a), Operand(b), o); },
         {I, 3, 2, 5, 1, 1}},
        {"CROSS: never on bar 0, once per crossing from below",
         [&](auto o) { Cross(Operand(a), Operand(b), o); },
         {0, 0, 0, 0, 0, 0}},
        {"CROSS after a bar below",
         [&](auto o) {
             Cross(Operand(Series{1, 1, 3, 3, 1, 4}), 2.0, o);
         },
         {0, 0, 1, 0, 0, 1}},
        {"CROSS: a bar below on bar 0 only does not count",
         [&](auto o) {
             Cross(Operand(Series{1, 3, 3, 3, 3, 3}), 2.0, o);
         },
         {0, 0, 0, 0, 0, 0}},
        {"CROSS: invalid bars neither count nor break the run",
         [&](auto o) { Cross(Operand(withGap), 2.0, o); },
         {0, 0, I, 0, 1, 0}},
        {"CROSS: a below-run goes on across an invalid bar",
         [&](auto o) {
             Cross(Operand(Series{3, 1, I, 3, 3}), 2.0, o);
         },
         {0, 0, I, 1, 0}},
        {"LONGCROSS(X,2,2)",
         [&](auto o) {
             LongCross(Operand(Series{1, 1, 3, 1, 3, I}), 2, 2, o);
         },
         {0, 0, 1, 0, 0, I}},
        {"BETWEEN either order",
         [&](auto o) {
             Between(Operand(Series{2, 2, 1, 3}), Operand(Series{1, 3, 1, 2}), 3.0, true, o);
         },
         {1, 0, 0, 0}},
        {"RANGE only B < A < C",
         [&](auto o) {
             Between(Operand(Series{2, 2, 1, 3}), 3.0, Operand(Series{1, 3, 1, 2}), false, o);
         },
         {0, 0, 0, 0}},
    });
}

TEST(CountingKernels, Table) {
    const Series rising = Rising();
    const Series run = {0, 1, 1, 1, 1, 0, I, 1};
    RunCases({
        {"COUNT(C>O,3)", [&](auto o) { Count(rising, 3.0, o); }, {1, 2, 2, 1, 0, 1}},
        {"COUNT with N 0 counts from bar 0",
         [&](auto o) { Count(rising, 0.0, o); },
         {1, 2, 2, 2, 2, 3}},
        {"COUNT with a series N",
         [&](auto o) {
             Count(rising, Operand(Series{1, 1, 1, 1, 1, 1}), o);
         },
         {1, 1, 0, 0, 0, 1}},
        {"EXIST(C>O,2)", [&](auto o) { Exist(rising, 2, o); }, {1, 1, 1, 0, 0, 1}},
        {"EVERY(X,3): 1 on the third bar of a run, 0 on the fourth",
         [&](auto o) { Every(run, 3, o); },
         {0, 0, 0, 1, 0, 0, I, 0}},
        {"EVERY with N beyond the data", [&](auto o) { Every(run, 100, o); }, Series(8, 0)},
        {"LAST(X,3,1): a run of exactly 2",
         [&](auto o) { Last(run, 3, 1, o); },
         {0, 0, 0, 0, 0, 0, 0, 0}},
        {"LAST(X,2,1)", [&](auto o) { Last(run, 2, 1, o); }, {0, 0, 0, 0, 0, 0, 0, 1}},
        {"LAST outside 0 < B < A writes nothing", [&](auto o) { EXPECT_FALSE(Last(run, 2, 2, o)); },
         Series(8, 0)},
        {"BARSLASTCOUNT", [&](auto o) { BarsLastCount(run, o); }, {0, 1, 2, 3, 4, 0, 1, 2}},
        {"UPNDAY(C,2): bar 0 not written",
         [&](auto o) {
             UpDownNDay(Series{1, 2, 3, 4, 3, 4}, 2, true, o);
         },
         {0, 0, 1, 1, 0, 0}},
        {"DOWNNDAY(C,1)",
         [&](auto o) {
             UpDownNDay(Series{1, 2, 3, 4, 3, 4}, 1, false, o);
         },
         {0, 0, 0, 0, 1, 0}},
        {"NDAY(C,O,2)", [&](auto o) { NDay(kClose, kOpen, 2, o); }, {0, 1, 0, 0, 0, 0}},
    });
}

TEST(CountingKernels, SignalShaping) {
    const Series signals = {1, 1, 1, 0, 1, 1, I, 1};
    RunCases({
        {"FILTER(X,2) silences the next two bars",
         [&](auto o) { Filter(signals, 2.0, o); },
         {1, 0, 0, 0, 1, 0, 0, 1}},
        {"FILTER near the end stops at the last bar",
         [&](auto o) { Filter(signals, 50.0, o); },
         {1, 0, 0, 0, 0, 0, 0, 0}},
        {"FILTERX(X,2) from the last bar",
         [&](auto o) { FilterX(signals, 2, o); },
         {0, 1, 0, 0, 1, 0, 0, 1}},
        {"FILTERX keeps invalid bars invalid",
         [&](auto o) {
             FilterX(Series{0, I, 0}, 1, o);
         },
         {0, I, 0}},
        {"BACKSET(ISLASTBAR,3) marks the last three bars",
         [&](auto o) {
             BackSet(Series{0, 0, 0, 0, 0, 1}, 3.0, o);
         },
         {0, 0, 0, 1, 1, 1}},
        {"BACKSET reaching before bar 0",
         [&](auto o) {
             BackSet(Series{0, 1, 0}, 5.0, o);
         },
         {1, 1, 0}},
    });
}

TEST(BarDistanceKernels, Table) {
    const Series rising = Rising();
    const Series x = {I, 0, 2, 0, 0, 3, 0};
    const Series tops = {3, 1, 2, 5, I, 4, 4, 6};
    RunCases({
        {"BARSLAST(C>O)",
         [&](auto o) {
             BarsLast(Series{0, 1, 0, 0, 1, 0}, o);
         },
         {I, 0, 1, 2, 0, 1}},
        {"BARSLAST with invalid bars", [&](auto o) { BarsLast(x, o); }, {I, I, 0, 1, 2, 0, 1}},
        {"BARSSINCE(C>O) is 1 on the first rising bar",
         [&](auto o) {
             BarsSince(Series{0, 0, 1, 0, 1}, o);
         },
         {0, 0, 1, 2, 3}},
        {"BARSNEXT",
         [&](auto o) {
             BarsNext(Series{0, 1, 0, I, 0, 1, 0}, o);
         },
         {2, 1, 3, I, 2, 1, I}},
        {"BARSCOUNT", [&](auto o) { BarsCount(Operand(x), o); }, {I, 1, 2, 3, 4, 5, 6}},
        {"BARSCOUNT of a constant", [&](auto o) { BarsCount(Operand(5.0), o); }, {0, 1, 2}},
        {"TOPRANGE",
         [&](auto o) { TopLowRange(Operand(tops), true, o); },
         {0, 0, 1, 3, 0, 1, 0, 7}},
        {"LOWRANGE",
         [&](auto o) { TopLowRange(Operand(tops), false, o); },
         {0, 1, 0, 0, 0, 0, 0, 0}},
        {"TOPRANGE of a constant", [&](auto o) { TopLowRange(Operand(3.0), true, o); }, {0, 0}},
        {"BARSSINCEN(X,2)",
         [&](auto o) {
             BarsSinceN(Series{0, 0, 1, 0, 0, 0, 1}, 2.0, o);
         },
         {I, I, 0, 1, 2, I, 0}},
        {"HOD(X,3)",
         [&](auto o) {
             HighLowOrder(Series{1, 3, 2, 4, 4, 1}, 3.0, true, o);
         },
         {I, 2, 2, 1, 2, 3}},
        {"LOD(X,3)",
         [&](auto o) {
             HighLowOrder(Series{1, 3, 2, 4, 4, 1}, 3.0, false, o);
         },
         {I, 3, 2, 3, 3, 1}},
        {"HHVBARS(X,3): the earliest of equal highs",
         [&](auto o) {
             ExtremeBars(Series{1, 3, 3, 2, 1, 0}, 3.0, true, o);
         },
         {0, 0, 1, 2, 2, 2}},
        {"LLVBARS(X,2)",
         [&](auto o) {
             ExtremeBars(Series{1, 3, 3, 2, I, 0}, 2.0, false, o);
         },
         {0, 1, 1, 0, 0, 1}},
        {"HHVBARS with a series N, invalid where N is",
         [&](auto o) {
             ExtremeBars(Series{5, 3, 4, 1}, Operand(Series{1, 3, I, 9}), true, o);
         },
         {0, 1, I, 3}},
        {"SUMBARS(X,5) over valid bars",
         [&](auto o) {
             SumBars(Series{3, 2, I, 4, 1, 6}, 5, o);
         },
         {1, 2, 2, 2, 2, 1}},
    });
}

TEST(ReferenceKernels, PositionAndDates) {
    const Series dates = {20151231, 20160104, 20160105, 20161230, 20170103};
    const Series close = {1, 2, 3, 4, 5};
    RunCases({
        {"ISLASTBAR", [](auto o) { IsLastBar(o); }, {0, 0, 1}},
        {"CURRBARSCOUNT", [](auto o) { CurrBarsCount(o); }, {3, 2, 1}},
        {"TOTALBARSCOUNT", [](auto o) { TotalBarsCount(o); }, {3, 3, 3}},
        {"BARSTATUS", [](auto o) { BarStatus(o); }, {1, 0, 2}},
        {"BARSTATUS on one bar", [](auto o) { BarStatus(o); }, {2}},
        {"TFILT keeps one year",
         [&](auto o) { TFilt(close, dates, 20160101, 20161231, o); },
         {I, 2, 3, 4, I}},
    });
    EXPECT_EQ(RefDate(close, dates, 20160105), 3.0);
    EXPECT_FALSE(RefDate(close, dates, 20160106).has_value());
}

TEST(ReferenceKernels, RankedValues) {
    const Series x = {3, 1, 4, 1, 5, 9, 2, 6};
    RunCases({
        {"FINDHIGH(X,0,5,1): from bar 4 the highest of five bars",
         [&](auto o) { FindRanked(x, 0, 5, 1, true, false, o); },
         {3, 3, 4, 4, 5, 9, 9, 9}},
        {"FINDHIGH(X,1,3,2): second highest of three bars ending one bar ago",
         [&](auto o) { FindRanked(x, 1, 3, 2, true, false, o); },
         {I, 3, 1, 3, 1, 4, 5, 5}},
        {"FINDLOW(X,0,3,1)",
         [&](auto o) { FindRanked(x, 0, 3, 1, false, false, o); },
         {3, 1, 1, 1, 1, 1, 2, 2}},
        {"FINDHIGHBARS(X,0,3,1)",
         [&](auto o) { FindRanked(x, 0, 3, 1, true, true, o); },
         {0, 1, 0, 1, 0, 0, 1, 2}},
        {"FINDLOWBARS(X,2,3,1)",
         [&](auto o) { FindRanked(x, 2, 3, 1, false, true, o); },
         {I, I, 2, 2, 3, 4, 3, 4}},
        {"T of 0 reads no slot", [&](auto o) { FindRanked(x, 0, 3, 0, true, false, o); },
         Series(8, I)},
        {"N beyond the data", [&](auto o) { FindRanked(x, 20, 3, 1, true, false, o); },
         Series(8, I)},
        {"M far beyond the data",
         [&](auto o) { FindRanked(x, 0, 1000000000, 3, true, false, o); },
         {3, 1, 1, 1, 3, 4, 4, 5}},
    });
    // The kernel never writes past the bars it is given.
    Series guarded(x.size() + 1, 42);
    FindRanked(x, 0, 3, 1, true, false, std::span<double>(guarded).first(x.size()));
    EXPECT_EQ(guarded.back(), 42);
}

TEST(PatternKernels, ZigPeakTrough) {
    const Series close = {10, 11, 12, 10, 9, 12};
    EXPECT_EQ(TurningPoints(close, 5), (std::vector<int>{0, 2, 4, 5}));
    const Series wave = {10, 12, 10, 13, 10, 11};
    RunCases({
        {"ZIG(3,5)", [&](auto o) { Zig(close, 5, o); }, {10, 11, 12, 10.5, 9, 12}},
        {"ZIG of a series starting invalid",
         [&](auto o) {
             Zig(Series{I, 10, 11}, 5, o);
         },
         {I, 10, 11}},
        {"PEAK(3,5,1)",
         [&](auto o) { PeakTrough(wave, 5, 1, true, false, o); },
         {I, 12, 12, 13, 13, 11}},
        {"PEAK(3,5,2)",
         [&](auto o) { PeakTrough(wave, 5, 2, true, false, o); },
         {I, I, I, 12, 12, 13}},
        {"PEAKBARS(3,5,1)",
         [&](auto o) { PeakTrough(wave, 5, 1, true, true, o); },
         {I, 0, 1, 0, 1, 0}},
        {"TROUGH(3,5,1)",
         [&](auto o) { PeakTrough(wave, 5, 1, false, false, o); },
         {I, I, 10, 10, 10, 10}},
        {"TROUGHBARS(3,5,1)",
         [&](auto o) { PeakTrough(wave, 5, 1, false, true, o); },
         {I, I, 0, 1, 0, 1}},
    });
    EXPECT_EQ(TurningPoints(Series{I, I}, 5), std::vector<int>{});
}

TEST(PatternKernels, SarNeedsEnoughBars) {
    const Series high = {10, 11, 12, 13, 12, 11, 10, 9, 10};
    const Series low = {9, 10, 11, 12, 11, 10, 9, 8, 9};
    Series out(high.size());
    EXPECT_FALSE(Sar(high, low, 10, 2, 20, false, out)) << "SAR(10,2,20) on 9 bars";
    EXPECT_FALSE(Sar(high, low, 0, 2, 20, false, out));
    Series one(1);
    EXPECT_FALSE(Sar(std::span(high).first(1), std::span(low).first(1), 1, 2, 20, false, one));
    // SAR(2,10,20), worked by hand: rising from bar 2, turning to falling on bar 5.
    ASSERT_TRUE(Sar(high, low, 2, 10, 20, false, out));
    ExpectSeries({I, I, 9, 9.6, 10.28, 10.824, 12, 11.4, 10.72}, out, "SAR");
    ASSERT_TRUE(Sar(high, low, 2, 10, 20, true, out));
    ExpectSeries({0, 0, 0, 0, 0, -1, 0, 0, 0}, out, "SARTURN");
}

TEST(PatternKernels, CostAndWinner) {
    // Two bars: 1000 lots spread over 10.0 .. 11.0, then 1000 lots at 12.0 .. 12.5.
    const Series high = {11, 12.5}, low = {10, 12}, vol = {1000, 1000};
    Series cost(2), winner(2);
    CostWinner(high, low, vol, 50.0, false, cost);
    EXPECT_DOUBLE_EQ(cost[0], 10.6); // above half of the volume
    EXPECT_DOUBLE_EQ(cost[1], 12.1);
    CostWinner(high, low, vol, Operand(Series{10.45, 12.2}), true, winner);
    EXPECT_DOUBLE_EQ(winner[0], 0.46); // 10.0 .. 10.4 hold 46 of the 100 steps
    EXPECT_DOUBLE_EQ(winner[1], 0.755);
    // No volume at all gives no value; a price above every level leaves the bar as it was.
    Series none = {5, 5};
    CostWinner(high, low, Series{0, 0}, 50.0, false, none);
    EXPECT_EQ(none, (Series{I, I}));
    Series above = {5, 5};
    CostWinner(high, low, vol, 20.0, true, above);
    EXPECT_EQ(above, (Series{5, 5}));
    // A step too small to move the price ends after its counted steps.
    Series tiny = {5};
    CostWinner(Series{5e13 + 0.0078125}, Series{5e13}, Series{10}, 50.0, false, tiny);
    EXPECT_EQ(tiny[0], 5);
    // A 2000-point range fills as many levels as it needs.
    Series wide(1);
    CostWinner(Series{2001.0}, Series{1.0}, Series{100}, 1000.0, true, wide);
    EXPECT_DOUBLE_EQ(wide[0], 0.5);
}

TEST(RegressionKernels, ForcastAndSlope) {
    const Series c = {3, 5, 4, 8, I, 7};
    RunCases({
        {"SLOPE(C,2) is the difference of the last two closes",
         [&](auto o) { Regression(c, 2, true, o); },
         {I, 2, -1, 4, I - 8, 7 - I}},
        {"FORCAST(C,2) equals C",
         [&](auto o) {
             Regression(Series{3, 5, 4, 8, 6, 7}, 2, false, o);
         },
         {I, 5, 4, 8, 6, 7}},
        {"fewer bars than N", [&](auto o) { Regression(c, 7, true, o); }, Series(6, I)},
        {"SLOPE(C,3) from the third valid value",
         [&](auto o) {
             Regression(Series{I, 1, 2, 4, 5}, 3, true, o);
         },
         {I, I, I, 1.5, 1.5}},
    });
}

TEST(BlockKernels, LfsRgbDrawLine) {
    EXPECT_EQ(Rgb(255, 0, 0), 255);
    EXPECT_EQ(Rgb(256, 0, 0), 0);
    EXPECT_EQ(Rgb(1, 2, 3), 1 + 2 * 256 + 3 * 65536);
    Series lfs(3);
    Lfs(Series{100, 200, 300}, 0, lfs);
    EXPECT_EQ(lfs, Series(3, I)) << "no capital gives no value";
    Lfs(Series{100, 200, 300}, 100000, lfs);
    EXPECT_NEAR(lfs[0], 0, 1e-12);
    EXPECT_GT(lfs[2], 0);

    // Bars rising, falling, falling, rising, falling: low of bar 0 to high of bar 2, and low
    // of bar 3 to high of bar 4.
    const Series low = {1, 2, 3, 4, 5}, high = {10, 20, 30, 40, 50};
    const Series up = {1, 0, 0, 1, 0}, down = {0, 1, 1, 0, 1};
    RunCases({
        {"DRAWLINE(C>O,L,C<O,H,0)",
         [&](auto o) { DrawLine(Operand(up), Operand(low), Operand(down), Operand(high), 0, o); },
         {1, 15.5, 30, 4, 50}},
        {"DRAWLINE(C>O,L,C<O,H,1) continues to the bar before the last",
         [&](auto o) {
             DrawLine(Operand(Series{1, 0, 0, 0}), Operand(low), Operand(Series{0, 1, 0, 0}),
                      Operand(high), 1, o);
         },
         {1, 20, 39, I}},
        {"DRAWLINE with EX 0 stops at the end bar",
         [&](auto o) {
             DrawLine(Operand(Series{1, 0, 0, 0}), Operand(low), Operand(Series{0, 1, 0, 0}),
                      Operand(high), 0, o);
         },
         {1, 20, I, I}},
    });
}

// The fast kernels give bar for bar what rescanning each window gives.
TEST(FastKernels, AgreeWithRescanning) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> level(0, 12), pick(0, 19), window(-2, 15);
    for (int round = 0; round < 20; ++round) {
        const int n = 1 + round * 17;
        Series x(static_cast<size_t>(n)), sig(static_cast<size_t>(n)), nser(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            x[static_cast<size_t>(i)] = pick(rng) == 0 ? I : level(rng) - 4; // ties and gaps
            sig[static_cast<size_t>(i)] = pick(rng) < 3 ? 1 : (pick(rng) == 0 ? I : 0);
            nser[static_cast<size_t>(i)] = pick(rng) == 0 ? I : window(rng);
        }
        const std::string tag = " n=" + std::to_string(n);
        for (Operand w : {Operand(5.0), Operand(1.0), Operand(40.0), Operand(nser)}) {
            for (bool hi : {true, false}) {
                ExpectSeries(reference::HighLowOrder(x, w, hi),
                             Compute(x.size(), [&](auto o) { HighLowOrder(x, w, hi, o); }),
                             "HOD/LOD" + tag);
                ExpectSeries(reference::ExtremeBars(x, w, hi),
                             Compute(x.size(), [&](auto o) { ExtremeBars(x, w, hi, o); }),
                             "HHVBARS" + tag);
            }
            ExpectSeries(reference::BarsSinceN(sig, w),
                         Compute(x.size(), [&](auto o) { BarsSinceN(sig, w, o); }),
                         "BARSSINCEN" + tag);
            Series want(x.size(), 7), got(x.size(), 7);
            reference::BackSet(sig, w, want);
            BackSet(sig, w, got);
            ExpectSeries(want, got, "BACKSET" + tag);
        }
        for (bool top : {true, false})
            ExpectSeries(reference::TopLowRange(x, top),
                         Compute(x.size(), [&](auto o) { TopLowRange(Operand(x), top, o); }),
                         "RANGE" + tag);
        for (double a : {-3.0, 0.0, 4.0, 25.0})
            ExpectSeries(reference::SumBars(x, a),
                         Compute(x.size(), [&](auto o) { SumBars(x, a, o); }), "SUMBARS" + tag);
        Series smooth(x.size());
        for (int i = 0; i < n; ++i) smooth[static_cast<size_t>(i)] = std::sin(i * 0.3) * 50 + i;
        for (int w : {2, 3, 7})
            for (bool slope : {true, false})
                ExpectSeries(reference::Regression(smooth, w, slope),
                             Compute(x.size(), [&](auto o) { Regression(smooth, w, slope, o); }),
                             "REGRESSION" + tag);
    }
}

TEST(FastKernels, CostWinnerAgreeWithTheLevelWalk) {
    // Prices of a futures contract, prices that cross zero, and prices that jump between
    // far levels (the levels are then a sorted list instead of a dense range).
    struct Case {
        const char* what;
        double start, moveBy, spanBy, jumpEvery;
    };
    const Case cases[] = {
        {"futures", 3500, 3, 4, 0},
        {"across zero", 0.4, 0.3, 0.5, 0},
        {"far jumps", 3500, 3, 4, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::mt19937 rng(11);
        std::uniform_real_distribution<double> move(-c.moveBy, c.moveBy), span(0, c.spanBy);
        std::uniform_int_distribution<int> lots(0, 500);
        const int n = 400;
        Series high(n), low(n), vol(n), close(n), frac(n);
        double price = c.start;
        for (int i = 0; i < n; ++i) {
            const auto at = static_cast<size_t>(i);
            price += move(rng);
            const double base =
                c.jumpEvery > 0 && i % static_cast<int>(c.jumpEvery) == 0 ? price * 1e6 : price;
            low[at] = std::round(base * 5) / 5;
            high[at] = low[at] + std::round(span(rng) * 5) / 5;
            close[at] = (high[at] + low[at]) / 2;
            vol[at] = lots(rng);
            frac[at] = vol[at] + 0.25;
        }
        for (const Series* v : {&vol, &frac}) {
            for (bool winner : {false, true}) {
                for (Operand want :
                     {Operand(close), Operand(winner ? c.start : 37.0), Operand(90.0)}) {
                    Series a(n, 1), b(n, 1);
                    reference::CostWinner(high, low, *v, want, winner, a);
                    CostWinner(high, low, *v, want, winner, b);
                    ExpectSeries(a, b, winner ? "WINNER" : "COST");
                }
            }
        }
    }
}

} // namespace
} // namespace vantor::kernels
