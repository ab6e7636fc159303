// Pixel tests of one window's painting: K-lines, outputs and their styles, readouts, and
// painting steps that must never read a series outside its length.

#include <gtest/gtest.h>

#include <memory>

#include "chart/chart_window.h"
#include "chart/paint_context.h"
#include "chart/raw_program.h"
#include "chart/window_frame.h"
#include "pixels.h"

namespace vantor {
namespace {

struct TestWindow {
    ChartWindow w;
    RawProgram* raw;
    int H = 200, W = 300;

    TestWindow() {
        auto p = std::make_unique<RawProgram>();
        raw = p.get();
        w.prog = std::move(p);
        w.ShowTop = true;
        w.ShowLeft = true;
        w.ShowRight = false;
        w.ShowBottom = false;
        w.ShowFs = false;
        w.KBar3d = false;
    }
    void Series(const std::string& name, const std::vector<double>& v) {
        raw->AddAll(name, v.data(), static_cast<int>(v.size()));
    }
    void Bars(const std::vector<double>& o, const std::vector<double>& h,
              const std::vector<double>& l, const std::vector<double>& c) {
        Series("open", o);
        Series("high", h);
        Series("low", l);
        Series("close", c);
    }
    QImage Paint(int left = 0, double scale = 10, int curX = -1, int curY = -1) {
        QImage img = MakeImage(W, H, kBlack);
        frame = ComputeFrame(w, *raw, RequestFor(w, W, H, left, scale, curX, curY));
        DrawLine(w, frame, img, kBlack);
        return img;
    }
    // The mapping the last painting used.
    ValueMap Map() const { return frame.m; }
    int Top() const { return frame.plot.Top; }
    WindowFrame frame;
};

TEST(KLines, RisingHollowRedFallingFilledCyanWithWicks) {
    TestWindow t;
    t.w.Main = true;
    t.Bars({10, 20}, {22, 21}, {8, 10}, {20, 12});
    QImage img = t.Paint();
    ValueMap m = t.Map();
    // Rising bar 0: red outline, background inside, red wick above the body.
    int x0 = m.X(0), mid0 = (m.Y(10) + m.Y(20)) / 2;
    EXPECT_EQ(At(img, x0, mid0), kRed);
    EXPECT_EQ(At(img, x0 + m.bw - 1, mid0), kRed);
    EXPECT_EQ(At(img, x0 + 2, mid0), kBlack);
    EXPECT_EQ(At(img, m.CX(0), m.Y(22) + 1), kRed);
    // Falling bar 1: filled cyan, cyan wick above the body.
    int x1 = m.X(1), mid1 = (m.Y(20) + m.Y(12)) / 2;
    EXPECT_EQ(At(img, x1 + 2, mid1), kCyan);
    EXPECT_EQ(At(img, m.CX(1), m.Y(21) + 1), kCyan);
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
    ValueMap m = t.Map();
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
    ValueMap m = t.Map();
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
    ValueMap m = t.Map();
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
    ValueMap m = t.Map();
    EXPECT_EQ(Count(img, m.X(1), t.Top(), m.CX(2), t.H, kRed), 0);      // nothing before bar 2
    EXPECT_EQ(Count(img, m.CX(4) + 1, t.Top(), m.CX(6), t.H, kRed), 0); // the gap at bar 5
    EXPECT_GT(Count(img, m.CX(2), t.Top(), m.CX(4), t.H, kRed), 0);
}

TEST_F(OutputTest, ColorstickFromZeroWhenTheRangeIsNegative) {
    std::vector<double> v = {-2, 0, 3, 0, 0, 0, 0, 0, 0, 0};
    t.Series("x", v);
    t.raw->Records() = {"syline=x::colorstick"};
    QImage img = t.Paint();
    ValueMap m = t.Map();
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
    EXPECT_GT(Count(img, 56, t.Top(), t.W, t.H, kRed), 0);
    // A bar pitch wider than the plot leaves no visible bar: the last-close marker and the
    // readouts read bar -1, which is outside every series.
    t.w.Main = true;
    img = t.Paint(0, 1000);
    EXPECT_EQ(t.frame.leftBar, 0);
    // A first bar past the data: nothing visible, nothing read.
    t.Paint(500, 10);
    t.w.KBar3d = true;
    t.w.High = true;
    t.Paint(0, 12);
    t.Paint(0, 1e300);
    t.Paint(0, -5);
}

TEST_F(OutputTest, TwrBarsRedUpLimeDown) {
    t.Series("t", {1, 2, 3, 2, 1, 1, 1, 1, 1, 1});
    t.raw->Records() = {"twr=t::"};
    QImage img = t.Paint();
    ValueMap m = t.Map();
    EXPECT_EQ(At(img, m.X(1) + 1, (m.Y(1) + m.Y(2)) / 2), kRed);
    EXPECT_EQ(At(img, m.X(4) + 1, (m.Y(2) + m.Y(1)) / 2), kLime);
    EXPECT_EQ(At(img, m.X(0) + 1, (m.Y(1) + m.Y(2)) / 2), kBlack); // bar 0 has no previous value
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
    t.Bars({1}, {2}, {0.5}, {1.5});
    for (auto [w, h] : {std::pair{1, 1}, {10, 10}, {60, 30}, {2000, 3}}) {
        t.W = w;
        t.H = h;
        t.Paint();
    }
    TestWindow empty;
    empty.Paint();
    EXPECT_FALSE(empty.frame.plotted); // no data: no range, only the frame
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
    ValueMap m = t.Map();
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
