// Pixel tests of one window's painting: K-lines, outputs and their styles, readouts, and
// painting steps that must never read a series outside its length.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "chart/chart_window.h"
#include "chart/layout.h"
#include "chart/paint_context.h"
#include "chart/raw_program.h"
#include "chart/window_frame.h"
#include "pixels.h"
#include "test_window.h"

namespace vantor {
namespace {

TEST(KLines, RisingHollowRedFallingFilledCyanWithWicks) {
    TestWindow t;
    t.w.Main = true;
    t.Bars({10, 20}, {22, 21}, {8, 10}, {20, 12});
    QImage img = t.Paint();
    // The range is 8 .. 22. Bar 0 covers x = 52 .. 59 with its wick at 56, bar 1 covers
    // 62 .. 69 with its wick at 66. Values near 15, halfway down, are inside both bodies.
    const auto m = t.Map();
    const int mid = (m.top + m.bottom) / 2 + 3; // off the dotted grid row in the middle
    EXPECT_EQ(At(img, 50, mid), kMaroon);       // the frame line stays clear of bar 0
    EXPECT_EQ(At(img, 51, mid), kBlack);
    EXPECT_EQ(At(img, 52, mid), kRed); // rising bar 0: red outline, background inside
    EXPECT_EQ(At(img, 59, mid), kRed);
    for (int x : {53, 56, 58, 60, 61, 70}) EXPECT_EQ(At(img, x, mid), kBlack) << x;
    for (int x : {62, 64, 69}) EXPECT_EQ(At(img, x, mid), kCyan) << x; // falling bar 1 filled
    // Wicks: bar 0 above its body up to 22, bar 1 up to 21 (a row at about 20.5).
    EXPECT_EQ(At(img, 56, m.top + 1), kRed);
    EXPECT_EQ(At(img, 55, m.top + 1), kBlack);
    const int row205 = m.top + (m.bottom - m.top) * 3 / 28;
    EXPECT_EQ(At(img, 66, row205), kCyan);
    EXPECT_EQ(At(img, 65, row205), kBlack);
    EXPECT_EQ(At(img, 66, m.top + 1), kBlack); // above bar 1's high
    // The K-line record went in front of the outputs and stays.
    ASSERT_FALSE(t.raw->Records().empty());
    EXPECT_EQ(t.raw->Records()[0], "drawkline=high,open,low,close");
    t.Paint();
    EXPECT_EQ(t.raw->Records().size(), 1u);
}

TEST(KLines, FlatBarShowsOnePixelHollowBodyAndAmericanTicks) {
    TestWindow t;
    t.w.Main = true;
    t.Bars({10, 15}, {20, 18}, {5, 12}, {10, 16});
    QImage img = t.Paint();
    auto m = t.Map();
    EXPECT_EQ(At(img, m.X(0), m.Y(10)), kRed);
    EXPECT_EQ(At(img, m.X(0) + 2, m.Y(10)), kRed); // top edge of the 1-pixel body
    t.w.KStype = ksAmericia;
    img = t.Paint();
    m = t.Map();
    EXPECT_EQ(At(img, m.X(1) + 1, m.Y(16)), kRed); // close tick to the left
    EXPECT_EQ(At(img, m.X(1) + m.bw - 2, m.Y(15)), kRed);
}

class OutputTest : public ::testing::Test {
protected:
    TestWindow t;
    void SetUp() override {
        std::vector<double> c(10, 15.0);
        t.Bars(c, c, c, c);
    }
};

TEST_F(OutputTest, ConstantDrawnOnlyUpToTheLastBar) {
    t.raw->Records() = {"syline=20::colorwhite", "syline=10::colorwhite"};
    QImage img = t.Paint();
    auto m = t.Map();
    int y = m.Y(20), last = m.CX(9);
    EXPECT_EQ(At(img, 51, y), kWhite);
    EXPECT_EQ(At(img, last - 1, y), kWhite);
    EXPECT_EQ(At(img, last + 3, y), kBlack);
    EXPECT_NE(At(img, t.W - 3, y), kWhite);
}

TEST_F(OutputTest, ColorWordDrawsRedAndLinethickThreePixels) {
    t.Series("ma", std::vector<double>(10, 15.0));
    t.Series("mb", std::vector<double>(10, 16.0));
    t.raw->Records() = {"syline=ma::COLOR0000FF", "syline=mb::colorwhite,linethick3"};
    QImage img = t.Paint();
    auto m = t.Map();
    int x = (m.CX(2) + m.CX(3)) / 2;
    EXPECT_EQ(At(img, x, m.Y(15)), kRed);
    int y = m.Y(16);
    EXPECT_EQ(At(img, x, y - 1), kWhite);
    EXPECT_EQ(At(img, x, y), kWhite);
    EXPECT_EQ(At(img, x, y + 1), kWhite);
    EXPECT_NE(At(img, x, y - 2), kWhite);
    EXPECT_NE(At(img, x, y + 2), kWhite);
}

TEST_F(OutputTest, NodrawDrawsNothingButItsReadout) {
    t.Series("ma", std::vector<double>(10, 15.0));
    t.raw->Records() = {"syline=ma::color0000ff,nodraw"};
    QImage img = t.Paint();
    EXPECT_EQ(Count(img, 56, t.Top(), t.W, t.H, kRed), 0);
    EXPECT_GT(Count(img, 56, 0, t.W, t.Top(), kRed), 0); // "MA:15.000" in the title line
    // Without the title line there is no readout either.
    t.w.ShowTop = false;
    img = t.Paint();
    EXPECT_EQ(Count(img, 56, 0, t.W, t.H, kRed), 0);
}

TEST_F(OutputTest, InvalidValuesBreakTheLine) {
    std::vector<double> v = {
        kInvalidValue, kInvalidValue, 14, 15, 16, kInvalidValue, 15, 14, 15, 16};
    t.Series("ma", v);
    t.raw->Records() = {"syline=ma::colorred"};
    QImage img = t.Paint();
    auto m = t.Map();
    EXPECT_EQ(Count(img, m.X(1), t.Top(), m.CX(2), t.H, kRed), 0);      // nothing before bar 2
    EXPECT_EQ(Count(img, m.CX(4) + 1, t.Top(), m.CX(6), t.H, kRed), 0); // the gap at bar 5
    EXPECT_GT(Count(img, m.CX(2), t.Top(), m.CX(4), t.H, kRed), 0);
}

TEST_F(OutputTest, ColorstickFromZeroWhenTheRangeIsNegative) {
    std::vector<double> v = {-2, 0, 3, 0, 0, 0, 0, 0, 0, 0};
    t.Series("x", v);
    t.raw->Records() = {"syline=x::colorstick"};
    QImage img = t.Paint();
    auto m = t.Map();
    EXPECT_EQ(At(img, m.CX(0), m.Y(-1)), kCyan);
    EXPECT_EQ(At(img, m.CX(2), m.Y(1)), kRed);
    EXPECT_EQ(At(img, m.CX(2), m.Y(-1)), kBlack); // starts at y(0)
}

TEST_F(OutputTest, SeriesShorterThanCloseAndBarZeroStylesReadNothingOutside) {
    t.Series("short", {15, 16, 17});
    t.raw->Records() = {"syline=short::colorred",
                        "twr=short::",
                        "btx=short::",
                        "syline=short::fsstick",
                        "syline=short::volstick",
                        "syline=short::linestick",
                        "syline=unknown::colorred"};
    QImage img = t.Paint();
    // The sticks drawn last cover the red line.
    EXPECT_GT(Count(img, 56, t.Top(), t.W, t.H, kCyan), 0);
    // What a painting drew in the plot, right of the scale's ticks, in the colours of
    // K-lines and of the red line.
    auto drawn = [&](const QImage& i) {
        return Count(i, 60, t.Top() + 1, t.W - 1, t.H, kRed) +
               Count(i, 60, t.Top() + 1, t.W - 1, t.H, kCyan);
    };
    EXPECT_GT(drawn(img), 0);
    // A bar pitch wider than the plot leaves no visible bar: the last-close marker and the
    // readouts read bar -1, which is outside every series.
    t.w.Main = true;
    img = t.Paint(0, 1000);
    EXPECT_EQ(t.frame.leftBar, 0);
    EXPECT_EQ(drawn(img), 0);
    // A first bar past the data: nothing visible, nothing read.
    EXPECT_EQ(drawn(t.Paint(500, 10)), 0);
    t.w.KBar3d = true;
    t.w.High = true;
    EXPECT_GT(drawn(t.Paint(0, 12)), 0);
    EXPECT_EQ(drawn(t.Paint(0, 1e300)), 0);
    EXPECT_EQ(drawn(t.Paint(0, -5)), 0);
}

TEST_F(OutputTest, TwrBarsRedUpLimeDown) {
    t.Series("t", {1, 2, 3, 2, 1, 1, 1, 1, 1, 1});
    t.raw->Records() = {"twr=t::"};
    QImage img = t.Paint();
    auto m = t.Map();
    EXPECT_EQ(At(img, m.X(1) + 1, (m.Y(1) + m.Y(2)) / 2), kRed);
    EXPECT_EQ(At(img, m.X(4) + 1, (m.Y(2) + m.Y(1)) / 2), kLime);
    EXPECT_EQ(At(img, m.X(0) + 1, (m.Y(1) + m.Y(2)) / 2), kBlack); // bar 0 has no previous value
}

TEST(Volstick, RisingBarsHollowRedFallingBarsFilledCyan) {
    TestWindow t;
    t.Bars({10, 20, 15}, {20, 20, 15}, {10, 10, 15}, {20, 10, 15});
    t.Series("vv", {8, 8, 0});
    t.raw->Records() = {"syline=vv::volstick"};
    QImage img = t.Paint();
    // The range 0 .. 8 fills the plot: the first two sticks reach from the bottom to the
    // top. Bar 0 rose (x = 52 .. 59), bar 1 fell (x = 62 .. 69).
    const auto m = t.Map();
    const int mid = (m.top + m.bottom) / 2 + 3; // off the dotted grid row in the middle
    EXPECT_EQ(At(img, 52, mid), kRed);
    EXPECT_EQ(At(img, 59, mid), kRed);
    for (int x : {51, 53, 56, 58, 60, 61, 70}) EXPECT_EQ(At(img, x, mid), kBlack) << x;
    for (int x : {62, 65, 69}) EXPECT_EQ(At(img, x, mid), kCyan) << x;

    // Below one pixel per bar each stick is a line: bars 0 and 1 (rising) at x = 52,
    // bars 2 and 3 (falling) at x = 53.
    TestWindow narrow;
    narrow.Bars({10, 10, 20, 20, 15}, {20, 20, 20, 20, 15}, {10, 10, 10, 10, 15},
                {20, 20, 10, 10, 15});
    narrow.Series("vv", {8, 8, 8, 8, 0});
    narrow.raw->Records() = {"syline=vv::volstick"};
    img = narrow.Paint(0, 0.5);
    const auto n = narrow.Map();
    const int row = (n.top + n.bottom) / 2 + 3;
    EXPECT_EQ(At(img, 52, row), kRed);
    EXPECT_EQ(At(img, 53, row), kCyan);
    EXPECT_EQ(At(img, 54, row), kBlack);
}

TEST_F(OutputTest, VolstickWithoutOpenReportsAndDrawsNothing) {
    TestWindow v;
    v.Series("close", {1, 2, 3});
    v.Series("vv", {1, 2, 3});
    v.raw->Records() = {"syline=vv::volstick,colorred"};
    QImage img = v.Paint();
    EXPECT_EQ(Count(img, 56, v.Top(), v.W, v.H, kRed), 0);
    EXPECT_NE(v.raw->ErrorString().find("vv:volstick输出需要开盘,收盘原始数据!"),
              std::string::npos);
}

TEST(WindowPainting, TooSmallOrEmptyWindowsDrawOnlyTheFrame) {
    TestWindow t;
    t.w.Main = true;
    t.Bars({1}, {2}, {0.5}, {1.5}); // one rising bar: red wherever it is drawn
    for (auto [w, h] : {std::pair{1, 1}, {10, 10}, {60, 30}, {2000, 3}, {300, 200}}) {
        t.W = w;
        t.H = h;
        QImage img = t.Paint();
        EXPECT_EQ(At(img, 0, 0), kMaroon) << w << "x" << h; // the frame's top line
        // A plot needs at least 5 rows between the top and the bottom margin.
        // and a bar room for its pitch between the insets at both sides.
        const bool plot = h - t.Top() - (h - t.frame.plot.Bottom + 1) >= 5 && w > 0 &&
                          w - kScaleWidth - 2 * kBarInset >= 10;
        EXPECT_EQ(Count(img, 0, 0, w, h, kRed) > 0, plot) << w << "x" << h;
        if (plot) {
            EXPECT_EQ(At(img, 52, (t.Top() + t.frame.plot.Bottom - 1) / 2), kRed);
        }
    }
    TestWindow empty;
    QImage img = empty.Paint();
    EXPECT_FALSE(empty.frame.plotted); // no data: no range, only the frame
    EXPECT_EQ(At(img, 0, 0), kMaroon);
    EXPECT_EQ(At(img, 50, 100), kMaroon); // the left frame line
    // Inside the frame only the background and the dotted grid.
    const int x1 = 51, y1 = empty.Top() + 1, x2 = empty.W - 1, y2 = empty.H;
    EXPECT_EQ(Count(img, x1, y1, x2, y2, kBlack) + Count(img, x1, y1, x2, y2, kMaroon),
              (x2 - x1) * (y2 - y1));
}

TEST(WindowPainting, TitleWithPeriodFormulaAndParameters) {
    TestWindow t;
    t.raw->SetTechName("macd");
    t.raw->SetParams({12, 26, 9});
    EXPECT_EQ(WindowTitle(t.w), "MACD(12_26_9)");
    t.w.StkLabel = "000001";
    t.w.Week = "日线";
    t.w.QuanStyle = qsBefore;
    EXPECT_EQ(WindowTitle(t.w), "000001(日线.前复权)MACD(12_26_9)");
    t.w.StkName = "训练";
    t.w.Main = true; // the main window shows neither formula name nor parameters
    EXPECT_EQ(WindowTitle(t.w), "训练(日线.前复权)");
    t.w.Main = false;
    t.w.ShowFs = true; // the tick view leaves out the period and the formula name
    t.raw->SetParams({});
    EXPECT_EQ(WindowTitle(t.w), "训练");
}

TEST(WindowPainting, FlatSeriesSpreadsTheRange) {
    TestWindow t;
    std::vector<double> c(5, 5.0);
    t.Bars(c, c, c, c);
    t.w.Main = true;
    t.Paint();
    EXPECT_DOUBLE_EQ(t.frame.maxValue, 5.001);
    EXPECT_DOUBLE_EQ(t.frame.minValue, 4.999);
}

TEST(WindowPainting, GradientFillsCornerToCorner) {
    QImage img(10, 10, QImage::Format_RGB32);
    FillGradient(img, kRed, kBlack, wLeft);
    EXPECT_EQ(FromQRgb(img.pixel(0, 5)), kRed);
    EXPECT_LT(qRed(img.pixel(9, 5)), 40);
    FillGradient(img, kWhite, kBlack, wCenter);
    EXPECT_GT(qRed(img.pixel(5, 5)), 200);
    QImage none(0, 0, QImage::Format_RGB32);
    FillGradient(none, kRed, kBlack, wTop); // an empty image is left alone
}

TEST(WindowPainting, NegativeScaleValuesInBlueWithoutSign) {
    TestWindow t;
    std::vector<double> c = {-20, -10, -5, -30};
    t.Bars(c, c, c, c);
    t.w.Main = true;
    QImage img = t.Paint();
    EXPECT_GT(Count(img, 0, 0, 50, t.H, kBlue), 20);
    EXPECT_EQ(Count(img, 0, 0, 50, t.H, kRed),
              Count(img, 1, 0, 49, t.H, kRed)); // only the marker's frame
}

TEST(WindowPainting, LastCloseMarkerAndExRightsIcon) {
    TestWindow t;
    t.w.Main = true;
    std::vector<double> c = {10, 11, 12, 13, 14, 15}, o = {11, 12, 13, 14, 15, 16};
    t.Bars(o, o, c, c); // falling bars, cyan: the icon is the only red at the bottom
    t.Series("date", {20200101, 20200102, 20200103, 20200106, 20200107, 20200108});
    TStockQuan q;
    q.Mode = 1;
    q.date = 20200104; // a weekend: the marker goes under the next bar
    t.w.FQuan = {q, TStockQuan{}};
    QImage img = t.Paint();
    auto m = t.Map();
    EXPECT_GT(Count(img, 1, 0, 49, t.H, kGray), 100); // the grey box of the last close
    int cx = m.CX(3);
    EXPECT_GT(Count(img, cx - 8, t.H - 16, cx + 8, t.H, kRed), 10);
    EXPECT_EQ(Count(img, m.CX(1) - 8, t.H - 16, m.CX(1) + 2, t.H, kRed), 0);
    // An event outside the series draws nothing.
    t.w.FQuan[0].date = 20300101;
    img = t.Paint();
    EXPECT_EQ(Count(img, 60, t.H - 16, t.W, t.H, kRed), 0);
}

TEST(WindowPainting, AntiAliasedLineBlendsNeighbours) {
    QImage img = MakeImage(20, 20, kBlack);
    Canvas c(img);
    DrawLineAA(c, 0, 0, 10, 5, kWhite);
    EXPECT_EQ(c.Pixel(0, 0), kWhite);
    EXPECT_EQ(c.Pixel(10, 5), kWhite);
    // At x = 1 the line passes y = 0.5: both rows take half the colour.
    EXPECT_EQ(RedOf(c.Pixel(1, 0)), 128);
    EXPECT_EQ(RedOf(c.Pixel(1, 1)), 128);
    EXPECT_EQ(c.Pixel(1, 2), kBlack);
    DrawLineAA(c, 5, -100000, 5, 100000, kRed); // vertical: an ordinary line
    EXPECT_EQ(c.Pixel(5, 19), kRed);
    DrawLineAA(c, -1000000, 3, 1000000, 4, kBlue); // far ends: only the visible part walks
    EXPECT_NE(c.Pixel(15, 3), kBlack);
}

} // namespace
} // namespace vantor
