// Arithmetic of moving through the chart: zoom steps, panning, the bar under a pixel, the
// keyboard cursor's steps, the date Enter reports and the cursor readout.

#include <gtest/gtest.h>

#include "chart/navigation.h"
#include "chart/raw_program.h"

namespace vantor {
namespace {

TEST(Navigation, ZoomStepsAndPanning) {
    struct Case {
        int scale, width, in, out;
    } cases[] = {
        {5, 300, 6, 4},    // room on both sides
        {49, 300, 50, 48}, // 6 x 49 = 294 < 300
        {50, 300, 50, 49}, // 6 x 50 reaches the width: Up is ignored
        {1, 300, 2, 1},    // Down is ignored at width 1
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ZoomedIn(c.scale, c.width), c.in) << c.scale;
        EXPECT_EQ(ZoomedOut(c.scale), c.out) << c.scale;
    }
    // One bar per pixel whatever the bar width; dragging right shows earlier bars.
    EXPECT_EQ(PannedLeftBar(100, 200, 250), 50);
    EXPECT_EQ(PannedLeftBar(100, 250, 200), 150);
    EXPECT_EQ(PannedLeftBar(20, 200, 250), 0);
}

TEST(Navigation, BarUnderAPixel) {
    struct Case {
        int x, leftBar, len, bar;
    } cases[] = {
        {50, 10, 100, 10},   // the plot's first column
        {74, 10, 100, 14},   // 24 pixels at width 5: four bars on
        {49, 0, 100, 0},     // left of the plot
        {-200, 10, 100, 10}, // far left: the first visible bar
        {600, 10, 30, 29},   // beyond the last bar: the last bar
    };
    for (const auto& c : cases) EXPECT_EQ(BarUnderX(c.x, 50, 5, c.leftBar, c.len), c.bar) << c.x;
    EXPECT_EQ(TickUnderX(10, 50, 2.5, 100), 0);
    EXPECT_EQ(TickUnderX(60, 50, 2.5, 100), 4);
    EXPECT_EQ(TickUnderX(900, 50, 2.5, 100), 99);
}

TEST(Navigation, KeyboardCursorStepsAndScrollsAtTheEdges) {
    // The first Left press on 500 bars puts the cursor on bar 498.
    KeyCursor k = StepLeft(false, 0, 500, 440);
    EXPECT_EQ(k.bar, 498);
    EXPECT_EQ(k.leftBar, 440);
    // Past the first visible bar the view scrolls one bar per press, down to bar 0.
    k = StepLeft(true, 440, 500, 440);
    EXPECT_EQ(k.bar, 439);
    EXPECT_EQ(k.leftBar, 439);
    k = StepLeft(true, 0, 500, 0);
    EXPECT_EQ(k.bar, 0);
    EXPECT_EQ(k.leftBar, 0);
    // The first Right press lands on the second visible bar.
    k = StepRight(false, 0, 500, 100, 5, 50, 350);
    EXPECT_EQ(k.bar, 101);
    EXPECT_EQ(k.leftBar, 100);
    // Bar 159 ends at 50 + 60 x 5 = 350, the chart's width: no scroll; bar 160 scrolls.
    k = StepRight(true, 158, 500, 100, 5, 50, 350);
    EXPECT_EQ(k.bar, 159);
    EXPECT_EQ(k.leftBar, 100);
    k = StepRight(true, 159, 500, 100, 5, 50, 350);
    EXPECT_EQ(k.bar, 160);
    EXPECT_EQ(k.leftBar, 101);
    // The last bar stays the last.
    EXPECT_EQ(StepRight(true, 499, 500, 440, 5, 50, 350).bar, 499);
    // Tick view: the first Left shows the last tick, the first Right tick 1.
    EXPECT_EQ(TickStepLeft(false, 0, 120, 240), 119);
    EXPECT_EQ(TickStepLeft(true, 50, 120, 240), 49);
    EXPECT_EQ(TickStepRight(false, 0, 120, 240), 1);
    EXPECT_EQ(TickStepRight(true, 119, 120, 240), 119);
}

class ReadoutTest : public ::testing::Test {
protected:
    RawProgram prog;
    void Add(const char* name, std::vector<double> v) {
        prog.AddAll(name, v.data(), static_cast<int>(v.size()));
    }
    void SetUp() override {
        Add("date", {20151228, 20151231, 20160104});
        Add("time", {0, 1455, 935});
        Add("open", {10, 11, 12});
        Add("high", {11, 12.5, 13});
        Add("low", {9, 10, 0});
        Add("close", {10.5, 12, 12.6});
        Add("vol", {100000, 200000, 300000});
        Add("amount", {1.5e6, 2.5e6, 3.5e6});
    }
};

TEST_F(ReadoutTest, BarLinesInOrderWithWeekdayTimeAndAdjustment) {
    // Thursday 2015-12-31 on 5-minute bars, a value at the cursor's height, and an event.
    std::vector<TStockQuan> quan{{1, 20151231, 2.5f, 0, 3, 0}, {0, 0, 0, 0, 0, 0}};
    EXPECT_EQ(BarReadout(prog, 1, wsMin5, 11.25, quan),
              "\u3000 日期:2015/12/31/四\r\n \u3000时间: 14:55\r\n"
              " \u3000数值:11.250\r\n \u3000开盘:11.00\r\n\u3000 最高:12.50\r\n"
              " \u3000最低:10.00\r\n \u3000收盘:12.00\r\n 成交量:2000\r\n 成交额:250.00万\r\n"
              "\u3000 振幅:25.00%\r\n 10股送:2.50元\r\n 10股送:3.00股\r\n");
    // Day bars have no time line; bar 2 shows its change against bar 1 and leaves out the
    // amplitude over a low of 0.
    const std::string day = BarReadout(prog, 2, wsDay, kInvalidValue, {});
    EXPECT_EQ(day.rfind("\u3000 日期:2016/01/04/一\r\n \u3000开盘:12.00\r\n", 0), 0u) << day;
    EXPECT_NE(day.find("\u3000 涨跌:5.00%\r\n"), std::string::npos);
    EXPECT_EQ(day.find("振幅"), std::string::npos);
    EXPECT_EQ(day.find("数值"), std::string::npos);
    // No change on bar 1 (the previous bar must be past bar 0); nothing outside the bars.
    EXPECT_EQ(BarReadout(prog, 1, wsDay, kInvalidValue, {}).find("涨跌"), std::string::npos);
    EXPECT_EQ(BarReadout(prog, 3, wsDay, kInvalidValue, {}), "");
    EXPECT_EQ(BarReadout(prog, -1, wsDay, kInvalidValue, {}), "");
}

TEST_F(ReadoutTest, TickLinesAndAmountUnits) {
    EXPECT_EQ(TickReadout(prog, 1, 10),
              " \u3000时间:14:55\r\n \u3000价位:12.000\r\n\u3000 涨跌:20.00%\r\n"
              " 成交量:200000\r\n 成交额:2.50亿\r\n");
    // Without a previous close the change is left out.
    EXPECT_EQ(TickReadout(prog, 0, kInvalidValue).find("涨跌"), std::string::npos);
}

TEST_F(ReadoutTest, EnterReportsDateAndCloseExceptOnBarZero) {
    int date = 0;
    float price = 0;
    EXPECT_TRUE(DateOfBar(prog, 2, date, price));
    EXPECT_EQ(date, 20160104);
    EXPECT_FLOAT_EQ(price, 12.6f);
    EXPECT_FALSE(DateOfBar(prog, 0, date, price));
    EXPECT_FALSE(DateOfBar(prog, 3, date, price));
    RawProgram none;
    EXPECT_FALSE(DateOfBar(none, 1, date, price));
}

} // namespace
} // namespace vantor
