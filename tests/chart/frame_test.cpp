// A window's frame without painting: geometry, visible bars, cursor column, value range
// and number format from plain window settings, series and a request.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "chart/raw_program.h"
#include "chart/window_frame.h"

namespace vantor {
namespace {

// A font whose lines are 16 pixels high and whose digits are 8 wide: line height 18, top
// margin 24 with a title, bottom margin 9, five characters in the 50-pixel scale.
constexpr FontMeasure kFont{16, 8};

struct FrameFixture {
    ChartWindow w;
    RawProgram* raw;

    FrameFixture() {
        auto p = std::make_unique<RawProgram>();
        raw = p.get();
        w.prog = std::move(p);
    }
    void Series(const std::string& name, const std::vector<double>& v) {
        raw->AddAll(name, v.data(), static_cast<int>(v.size()));
    }
    // Ten bars: open = close = 10 + i, high one above, low one below.
    void TenBars() {
        std::vector<double> c, h, l;
        for (int i = 0; i < 10; ++i) {
            c.push_back(10 + i);
            h.push_back(11 + i);
            l.push_back(9 + i);
        }
        Series("open", c);
        Series("close", c);
        Series("high", h);
        Series("low", l);
    }
    WindowFrame Frame(int W, int H, int left, double scale, int curX = -1, int curY = -1) {
        return ComputeFrame(w, *raw, {W, H, left, scale, curX, curY, 0, 0, kFont});
    }
};

TEST(WindowFrame, BarViewRangeAndCursorFollowTheVisibleBars) {
    struct Case {
        int left;
        double scale;
        int curX, curY;
        int wantLeft, wantEnd, wantCursor;
        double wantMax, wantMin;
    } cases[] = {
        {0, 10, -1, -1, 0, 10, -1, 20, 9},  // 24 slots, all ten bars
        {4, 25, -1, -1, 4, 10, -1, 20, 13}, // bars 4..9 only
        {-3, 10, -1, -1, 0, 10, -1, 20, 9}, // a negative first bar is bar 0
        {0, 123, -1, -1, 0, 2, -1, 12, 9},  // two slots: 246 pixels between the insets
        {0, 124, -1, -1, 0, 1, -1, 11, 9},  // one
        // Keyboard cursor: on the centre of its bar, kept on a visible bar; a pitch above
        // 8 pixels moves it one pixel left.
        {4, 25, 20, -2, 4, 10, 52 + 125 + 12 - 1, 20, 13},
        {4, 25, 1, -2, 4, 10, 52 + 12 - 1, 20, 13},
        {0, 8, 2, -2, 0, 10, 52 + 16 + 4, 20, 9},
        {0, 10, 123, 40, 0, 10, 123, 20, 9}, // the mouse: its own column
    };
    for (const auto& c : cases) {
        FrameFixture t;
        t.w.Main = true;
        t.TenBars();
        WindowFrame f = t.Frame(300, 200, c.left, c.scale, c.curX, c.curY);
        SCOPED_TRACE("left=" + std::to_string(c.left) + " scale=" + std::to_string(c.scale) +
                     " cur=" + std::to_string(c.curX));
        ASSERT_TRUE(f.plotted);
        EXPECT_EQ(f.leftBar, c.wantLeft);
        EXPECT_EQ(f.end, c.wantEnd);
        EXPECT_EQ(f.cursorX, c.wantCursor);
        EXPECT_DOUBLE_EQ(f.maxValue, c.wantMax);
        EXPECT_DOUBLE_EQ(f.minValue, c.wantMin);
        EXPECT_EQ(f.m.X(c.wantLeft), 52); // the first bar two pixels right of the frame
    }
}

TEST(WindowFrame, GeometryPlotAreaAndKLineRecord) {
    FrameFixture t;
    t.w.Main = true;
    t.w.ShowRight = true;
    t.TenBars();
    t.raw->Records() = {"syline=close::colorred"};
    WindowFrame f = ComputeFrame(t.w, *t.raw, {300, 200, 0, 10, -1, -1, 0, 150, kFont});
    EXPECT_EQ(f.g.T, 24);
    EXPECT_EQ(f.g.B, 9);
    EXPECT_EQ(f.g.X2, 250);
    EXPECT_EQ(f.g.P, 167);
    // The plot area in the control's pixels, for a window whose corner is at (0, 150).
    EXPECT_EQ(f.plot.Left, 50);
    EXPECT_EQ(f.plot.Top, 174);
    EXPECT_EQ(f.plot.Right, 251);
    EXPECT_EQ(f.plot.Bottom, 342);
    EXPECT_EQ(f.end, 10); // 20 slots between the scales
    // The K-line record leads the outputs; the program's own list is left alone.
    EXPECT_TRUE(f.kLines && f.kRecord);
    ASSERT_EQ(f.records.size(), 2u);
    EXPECT_EQ(f.records[0].kind, "drawkline");
    EXPECT_EQ(f.records[1].kind, "syline");
    EXPECT_EQ(t.raw->Records().size(), 1u);
    // Without open the window draws close dots instead.
    FrameFixture d;
    d.w.Main = true;
    d.Series("close", {1, 2, 3});
    WindowFrame g = d.Frame(300, 200, 0, 10);
    EXPECT_TRUE(g.kLines);
    EXPECT_FALSE(g.kRecord);
    EXPECT_TRUE(g.records.empty());
}

TEST(WindowFrame, ValueRangeOfRecordsConstantsAndTheTickView) {
    struct Case {
        const char* name;
        std::vector<std::string> records;
        bool tickView, percent10;
        double prevClose;
        double wantMax, wantMin;
    } cases[] = {
        {"series and constant",
         {"syline=ser::", "syline=25::"},
         false,
         false,
         kInvalidValue,
         25,
         2},
        {"nodraw left out",
         {"syline=ser::", "syline=25::nodraw"},
         false,
         false,
         kInvalidValue,
         12,
         2},
        {"band reads args 1 and 3",
         {"drawband=ser,colorred,w,colorblue"},
         false,
         false,
         kInvalidValue,
         40,
         2},
        {"flat spreads", {"syline=7::"}, false, false, kInvalidValue, 7.001, 6.999},
        {"tick view symmetric about the close", {"syline=ser::"}, true, false, 10, 18, 2},
        {"tick view ten percent", {"syline=p::"}, true, true, 10, 11, 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FrameFixture t;
        t.w.Main = c.tickView; // a bar-view main window would add its prices
        t.w.ShowFs = c.tickView;
        t.w.FfsCount = 240;
        t.w.FPercent10 = c.percent10;
        t.w.Prevclose = c.prevClose;
        // A bar without a value and a non-finite one are left out.
        t.Series("ser", {2, kInvalidValue, 12, 1.0 / 0.0});
        t.Series("w", {40, 30, 20, 10});
        t.Series("p", {10.2, 9.9, 10.1, 10});
        t.Series("close", {10, 10, 10, 10}); // the bar count
        t.raw->Records() = c.records;
        WindowFrame f = t.Frame(290, 200, c.tickView ? 5 : 0, 10);
        ASSERT_TRUE(f.plotted);
        EXPECT_DOUBLE_EQ(f.maxValue, c.wantMax);
        EXPECT_DOUBLE_EQ(f.minValue, c.wantMin);
        if (c.tickView) { // the slots spread over the plot from bar 0
            EXPECT_EQ(f.leftBar, 0);
            EXPECT_DOUBLE_EQ(f.scale, 240.0 / 240);
        }
    }
}

TEST(WindowFrame, NumberFormatAndNothingToPlot) {
    struct Case {
        double top;
        int width, decimals;
        double divisor;
    } cases[] = {
        {20, 2, 3, 1},        // five characters: two digits and three decimals
        {1234, 5, 0, 1},      // four digits fill the scale
        {1234567, 5, 0, 100}, // seven digits: shown in hundreds
        {-20, 3, 2, 1},       // the sign counts
    };
    for (const auto& c : cases) {
        FrameFixture t;
        t.Series("ser", {c.top, c.top - 1});
        t.Series("close", {0, 0});
        t.raw->Records() = {"syline=ser::"};
        WindowFrame f = t.Frame(300, 200, 0, 10);
        EXPECT_EQ(f.fmt.width, c.width) << c.top;
        EXPECT_EQ(f.fmt.decimals, c.decimals) << c.top;
        EXPECT_DOUBLE_EQ(f.fmt.divisor, c.divisor) << c.top;
    }
    // No bars, or no room between the margins: only the frame is painted.
    FrameFixture empty;
    EXPECT_FALSE(empty.Frame(300, 200, 0, 10).plotted);
    FrameFixture low;
    low.TenBars();
    EXPECT_FALSE(low.Frame(300, 37, 0, 10).plotted);
    EXPECT_TRUE(low.Frame(300, 38, 0, 10).plotted);
}

} // namespace
} // namespace vantor
