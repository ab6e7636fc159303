// The overlays that finish a window (high/low marks, date axis, cursor lines and boxes)
// and the chart's cursor: keys, Enter, double click, wheel, the information window's
// readout, and the cursor layer that repaints only what a cursor move changes.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>

#include "chart/date_axis.h"
#include "chart/navigation.h"
#include "chart/raw_program.h"
#include "chart/tgp.h"
#include "chart/window_frame.h"
#include "pixels.h"
#include "window_fixture.h"

namespace vantor {
namespace {

constexpr TColor kPeak = 0x0080FF, kConnector = 0x00FFFF;

// The leftmost column holding colour c in the rows y1..y2-1, -1 when none.
int FirstColumn(const QImage& img, int y1, int y2, TColor c, int x1 = 0) {
    for (int x = x1; x < img.width(); ++x)
        if (Count(img, x, y1, x + 1, y2, c) > 0) return x;
    return -1;
}

// Highs sloping down from bar `peak` in both directions (no plateau), with a spike.
std::vector<double> Slope(int n, int peak, double top) {
    std::vector<double> h;
    for (int k = 0; k < n; ++k) h.push_back(top - 0.01 * std::abs(k - peak));
    return h;
}

TEST(HighLowMarks, FirstBarPeakStaysInsideAndATopPeakMovesRightOnAConnector) {
    PixelWindow t;
    t.w.FHighLow = true;
    // Bar 0 is a local peak (20) below the window's top; bar 30 the top (25).
    std::vector<double> h = Slope(40, 0, 20);
    for (int k = 25; k < 40; ++k) h[static_cast<size_t>(k)] = 25 - 0.3 * std::abs(k - 30);
    t.Highs(h);
    QImage img = t.Paint(5);
    const int y20 = t.frame.m.Y(20);
    // The label of bar 0 would start left of the plot: it starts at Lm + 2.
    const int x = FirstColumn(img, y20 - 20, y20 - 1, kPeak);
    EXPECT_GE(x, 52);
    EXPECT_LE(x, 54);
    // The top peak has no room above it: its label sits right of bar 30 (centre 202),
    // joined to the bar by a yellow line.
    const int top = t.frame.g.T;
    EXPECT_GT(FirstColumn(img, top, top + 14, kPeak, 150), 202);
    EXPECT_GT(Count(img, 195, top, 240, top + 14, kConnector), 0);
}

TEST(HighLowMarks, MarkWindowIsTenBarsUpToTwoHundredVisibleThenOneTwentieth) {
    struct Case {
        int bars, width, scale, gap;
        bool marked;
    } cases[] = {
        {100, 300, 2, 15, true},  // window 10: a peak 15 bars from a higher one counts
        {400, 500, 1, 15, false}, // window 20: it does not
        {400, 500, 1, 25, true},
    };
    for (const auto& c : cases) {
        PixelWindow t;
        t.w.FHighLow = true;
        t.W = c.width;
        const int p1 = c.bars / 2, p2 = p1 + c.gap;
        std::vector<double> h = Slope(c.bars, p1, 10);
        h[static_cast<size_t>(p1)] = 30;
        h[static_cast<size_t>(p2)] = 20;
        t.Highs(h);
        QImage img = t.Paint(c.scale);
        const int y = t.frame.m.Y(20), cx = 50 + c.scale * p2;
        EXPECT_EQ(Count(img, cx - 30, y - 18, cx + 30, y - 1, kPeak) > 0, c.marked) << c.bars;
    }
}

class CursorBoxTest : public ::testing::Test {
protected:
    PixelWindow t;
    void SetUp() override {
        t.w.ShowBottom = true;
        t.w.Cursor = true;
        t.w.ZhouQi = wsDay;
        std::vector<double> d;
        for (int k = 0; k < 24; ++k) d.push_back(20240101 + k); // as many as fit
        t.Series("date", d);
        t.Highs(Slope(24, 12, 20));
    }
    int A() const { return t.frame.g.H + t.frame.g.h - t.frame.g.B; }
};

TEST_F(CursorBoxTest, BelowThePlotOnlyTheVerticalLineAndTheDateBox) {
    QImage img = t.Paint(10, 152, t.H - t.frame.g.B + 2); // frame from the first paint
    img = t.Paint(10, 152, t.H - t.frame.g.B + 2);
    EXPECT_EQ(At(img, 152, 60), kWhite);                      // vertical line
    EXPECT_EQ(Count(img, 0, 0, 50, A(), kBlue), 0);           // no value box
    EXPECT_EQ(t.frame.curValue, kInvalidValue);               // and no value
    EXPECT_GT(Count(img, 100, A() + 1, 200, t.H, kBlue), 50); // the date box
    EXPECT_EQ(t.frame.curBar, 10);
    // Inside the plot the horizontal line and the value box come too.
    img = t.Paint(10, 152, 80);
    EXPECT_EQ(At(img, 250, 80), kWhite);
    EXPECT_GT(Count(img, 1, 70, 50, 95, kBlue), 50);
    EXPECT_NE(t.frame.curValue, kInvalidValue);
}

TEST_F(CursorBoxTest, DateBoxIsPulledInsideTheRightEdgeAndRightOfTheScale) {
    const int row = [&] {
        t.Paint(10);
        return A() + 2;
    }();
    QImage img = t.Paint(10, 291, 80);   // over the last bar, near the right edge
    EXPECT_EQ(At(img, 296, row), kBlue); // ends 5 pixels in from X2: text half + 5
    EXPECT_EQ(Count(img, 298, row, 300, row + 1, kBlue), 0);
    img = t.Paint(10, 52, 80);
    EXPECT_EQ(At(img, 50, row), kMaroon); // the frame line stays
    EXPECT_NE(At(img, 51, row), kBlue);   // the box starts right of Lm + 1
    EXPECT_EQ(FirstColumn(img, row, row + 1, kBlue), 52);
}

TEST(DateAxis, DailyBarsShowTheYearAndEachNewMonth) {
    PixelWindow t;
    t.w.ShowBottom = true;
    t.w.ZhouQi = wsDay;
    t.Series("date", {20151228, 20151229, 20151230, 20151231, 20160104, 20160105});
    t.Highs({10, 11, 12, 11, 10, 11});
    QImage img = t.Paint(15);
    const int A = t.frame.g.H + t.frame.g.h - t.frame.g.B;
    // "2015年" from the first bar's edge, then a tick at the first bar of January and "1".
    EXPECT_EQ(FirstColumn(img, A + 4, t.H, kMaroon, 51), 53);
    for (int y = A; y < t.H; ++y) EXPECT_EQ(At(img, 112, y), kMaroon) << y;
    EXPECT_GT(Count(img, 114, A + 4, 124, t.H, kMaroon), 3);
    EXPECT_EQ(Count(img, 102, A + 4, 112, t.H, kMaroon), 0); // the gap between the labels
}

TEST(DateAxis, LabelsOfEveryPeriodFitWithoutOverlap) {
    struct Bar {
        double date, time;
    };
    struct Case {
        const char* what;
        TWeekStyle period;
        std::vector<Bar> bars;
        int scale;
        std::vector<AxisLabel> labels;
        std::vector<int> ticks;
    } cases[] = {
        {"5-minute bars: the day, each hour, the next day",
         wsMin5,
         {{20240102, 935}, {20240102, 940}, {20240102, 1000}, {20240102, 1005}, {20240103, 935}},
         40,
         {{2, "01-02"}, {82, "10:00"}, {162, "01-03"}},
         {160}},
        {"narrow bars leave out what does not fit, the day first",
         wsMin5,
         {{20240102, 955},
          {20240102, 1000},
          {20240102, 1005},
          {20240102, 1010},
          {20240103, 935},
          {20240103, 940},
          {20240103, 945},
          {20240103, 950},
          {20240103, 955},
          {20240103, 1000}},
         10,
         {{2, "01-02"}, {42, "01-03"}},
         {40}},
        {"weeks: the year and the months",
         wsWeek,
         {{20151218, 0}, {20151225, 0}, {20160101, 0}, {20160108, 0}, {20160205, 0}},
         30,
         {{2, "2015"}, {62, "2016"}, {122, "2"}},
         {60}},
        {"a label that would leave the plot is dropped",
         wsMonth,
         {{20151130, 0}, {20151231, 0}, {20160129, 0}},
         20,
         {{2, "2015"}},
         {40}},
    };
    for (const auto& c : cases) {
        std::vector<double> d, tm;
        for (const auto& b : c.bars) {
            d.push_back(b.date);
            tm.push_back(b.time);
        }
        SeriesView date{d.data(), static_cast<int>(d.size())},
            time{tm.data(), static_cast<int>(tm.size())};
        const int scale = c.scale;
        AxisMarks m = DateAxisMarks(
            c.period, date, time, 0, date.len, [scale](int l) { return l * scale; },
            [](const std::string& s) { return 7 * static_cast<int>(s.size()); }, 0,
            scale * date.len - 1 + (c.period == wsMonth ? -10 : 0));
        ASSERT_EQ(m.labels.size(), c.labels.size()) << c.what;
        for (size_t i = 0; i < m.labels.size(); ++i) {
            EXPECT_EQ(m.labels[i].x, c.labels[i].x) << c.what;
            EXPECT_EQ(m.labels[i].text, c.labels[i].text) << c.what;
        }
        EXPECT_EQ(m.ticks, c.ticks) << c.what;
    }
}

// --- the chart's cursor ---

TGP::ProgramFactory RawPrograms() {
    return [](WindowProgram* parent) {
        return std::make_unique<RawProgram>(static_cast<RawProgram*>(parent));
    };
}

class ChartCursorTest : public ::testing::Test {
protected:
    TGP chart{RawPrograms()};
    int shows = 0, hides = 0, warps = 0;
    QPoint shownAt;
    int shownHeight = 0;
    std::string hintText;
    void SetUp() override {
        chart.SetSize(600, 400);
        chart.UseMainWindowSettings();
        chart.ClearData();
        const int n = 500;
        std::vector<double> d, h, l, o, c;
        for (int i = 0; i < n; ++i) {
            d.push_back(20200101 + i % 28 + 100 * (i / 28 % 12) + 10000 * (i / 336));
            h.push_back(110 + i % 9);
            l.push_back(100 + i % 9);
            o.push_back(103 + i % 9);
            c.push_back(107 + i % 9);
        }
        for (auto [name, v] : {std::pair{"date", &d}, {"high", &h}, {"low", &l}, {"open", &o}})
            chart.AddALL(name, v->data(), n, false);
        chart.AddALL("close", c.data(), n, true);
        chart.SetShowHint(true);
        chart.OnHintShow = [this](int x, int y, int height, bool) {
            ++shows;
            shownAt = {x, y};
            shownHeight = height;
        };
        chart.OnHintHide = [this] { ++hides; };
        chart.OnHintText = [this](const std::string&, const std::string& t) { hintText = t; };
        chart.OnMovePointerAway = [this] { ++warps; };
        chart.Image();
    }
    bool Key(int k) {
        bool used = chart.KeyDown(k, false, false);
        chart.Image();
        return used;
    }
};

TEST_F(ChartCursorTest, ArrowsShowTheCursorAndItsReadoutAndMoveItBarByBar) {
    ASSERT_TRUE(Key(Qt::Key_Left));
    EXPECT_EQ(chart.cury(), -2);
    EXPECT_EQ(chart.curx(), 498); // the second-to-last bar
    EXPECT_TRUE(chart.ShowCursor());
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(warps, 1); // the pointer leaves the chart so the mouse does not take over
    EXPECT_EQ(shownAt, QPoint(30, chart.GSH()[0] * 2 / 3));
    EXPECT_EQ(shownHeight, kHintHeightBars);
    EXPECT_EQ(chart.K_Main()->FCurLeft, 498);
    EXPECT_EQ(hintText,
              BarReadout(*chart.K_Main()->prog, 498, wsDay, chart.K_Main()->FCurValue, {}));
    EXPECT_NE(hintText.find(" \u3000收盘:"), std::string::npos);
    const int renders = chart.RepaintCount();
    ASSERT_TRUE(Key(Qt::Key_Right));
    EXPECT_EQ(chart.K_Main()->FCurLeft, 499);
    EXPECT_EQ(chart.RepaintCount(), renders + 1);
    EXPECT_EQ(shows, 1);
    // Without hint display the arrows go to the host.
    chart.SetShowHint(false);
    EXPECT_FALSE(Key(Qt::Key_Left));
}

TEST_F(ChartCursorTest, UpAndDownZoomKeepingTheRightEdgeUntilTheirLimits) {
    const int bars = 550 - 2 * kBarInset; // the plot between its insets
    const int left = chart.FLeftBar(), fit = bars / 5;
    ASSERT_EQ(left, 500 - fit);
    EXPECT_TRUE(Key(Qt::Key_Up));
    EXPECT_EQ(chart.FScale(), 6);
    EXPECT_EQ(chart.FLeftBar(), 500 - bars / 6);
    chart.SetScale(99);
    chart.Image();
    EXPECT_TRUE(Key(Qt::Key_Up)); // 6 x 99 < 600
    EXPECT_FALSE(Key(Qt::Key_Up));
    EXPECT_EQ(chart.FScale(), 100);
    chart.SetScale(2);
    chart.Image();
    EXPECT_TRUE(Key(Qt::Key_Down));
    EXPECT_FALSE(Key(Qt::Key_Down));
    EXPECT_EQ(chart.FScale(), 1);
}

TEST_F(ChartCursorTest, EnterReportsTheCursorBarsDateAndClose) {
    int date = 0;
    float price = 0;
    int calls = 0;
    chart.OnGPDate = [&](int d, float p) {
        ++calls;
        date = d;
        price = p;
    };
    EXPECT_FALSE(Key(Qt::Key_Return)); // no cursor: the host's key
    Key(Qt::Key_Left);
    EXPECT_TRUE(Key(Qt::Key_Return));
    EXPECT_EQ(calls, 1);
    SeriesView d, c;
    ASSERT_TRUE(chart.K_Main()->prog->Series("date", d) &&
                chart.K_Main()->prog->Series("close", c));
    EXPECT_EQ(date, static_cast<int>(d.at(498)));
    EXPECT_FLOAT_EQ(price, static_cast<float>(c.at(498)));
}

TEST_F(ChartCursorTest, DoubleClickTogglesTheCursorInTheMainWindowOnly) {
    std::vector<TWeiStyle> regions;
    chart.OnGPDBClick = [&](TWeiStyle s) { regions.push_back(s); };
    chart.DblClick(300, 100);
    EXPECT_TRUE(chart.ShowCursor());
    EXPECT_TRUE(chart.FHint().BZ);
    chart.DblClick(300, 100);
    EXPECT_FALSE(chart.ShowCursor());
    EXPECT_FALSE(chart.FHint().BZ);
    EXPECT_EQ(chart.curx(), -1);
    chart.DblClick(300, chart.GSH()[0] + 20);
    EXPECT_FALSE(chart.ShowCursor());
    ASSERT_EQ(regions.size(), 1u);
    EXPECT_EQ(regions[0], TWeiStyle::wsGS2);
    // Losing the focus hides the window and clears the cursor; the flags stay.
    Key(Qt::Key_Left);
    chart.FocusLost();
    EXPECT_FALSE(chart.FHint().BZ);
    EXPECT_EQ(chart.curx(), -1);
    EXPECT_TRUE(chart.ShowCursor());
}

TEST_F(ChartCursorTest, CursorMovesRepaintOnlyWhatTheyCoverAndMatchAFullRepaint) {
    chart.SetShowCursor(true);
    for (int x : {200, 201, 260, 420}) {
        chart.MouseMove(x, 150, false);
        QImage fast = chart.Image().copy();
        chart.ReDraw(); // a full repaint of the same state
        EXPECT_EQ(fast, chart.Image()) << x;
    }
    Key(Qt::Key_Left);
    Key(Qt::Key_Left);
    QImage fast = chart.Image().copy();
    chart.ReDraw();
    EXPECT_EQ(fast, chart.Image());
}

// A repaint without cursor lines leaves the painting as the only copy of the base; the moves
// that follow (with the cursor hidden, shown again, hidden again) still restore exactly it.
TEST_F(ChartCursorTest, CursorMovesAfterARepaintWithoutCursorLinesMatchAFullRepaint) {
    const struct Step {
        const char* what;
        int show; // -1: leave the cursor as it is
        int x;
    } steps[] = {
        {"hidden", -1, 200}, {"hidden again", -1, 330}, {"shown", 1, 240},       {"moved", -1, 300},
        {"hidden", 0, 310},  {"moved hidden", -1, 420}, {"shown again", 1, 180},
    };
    for (const auto& s : steps) {
        if (s.show >= 0) {
            chart.SetShowCursor(s.show == 1);
            chart.Image();
        }
        chart.MouseMove(s.x, 150, false);
        QImage fast = chart.Image().copy();
        chart.ReDraw();
        EXPECT_EQ(fast, chart.Image()) << s.what;
        chart.MouseMove(s.x + 7, 160, false); // a move after the full repaint
        fast = chart.Image().copy();
        chart.ReDraw();
        EXPECT_EQ(fast, chart.Image()) << s.what << " +7";
    }
}

} // namespace
} // namespace vantor
