// Drawing objects of a window: position lines anchored to a bar and a value, painted over
// the outputs, kept through reloads.

#include <gtest/gtest.h>

#include "chart/raw_program.h"
#include "chart/tgp.h"
#include "chart_bars.h"
#include "pixels.h"

namespace vantor {
namespace {

constexpr TColor kMagenta = RGBColor(255, 0, 255); // drawn by nothing else

XXLine PositionLine(int bar, float value) {
    XXLine o;
    o.FType = kPositionLine;
    o.FColor = kMagenta;
    o.FLineType = psDot;
    o.FString = "多2.00";
    o.FXX[0] = bar;
    o.FYY[0] = value;
    return o;
}

class ObjectsTest : public ::testing::Test {
protected:
    TGP chart{[](WindowProgram* parent) {
        return std::make_unique<RawProgram>(static_cast<RawProgram*>(parent));
    }};
    void SetUp() override {
        chart.SetSize(600, 400);
        chart.UseMainWindowSettings();
        chart.ClearData();
        FeedBars(chart, 200); // 110 bars fit: bars 90..199 are shown
        chart.AddObject(0, PositionLine(3, 110));
    }
    // The row of the window's horizontal magenta line, -1 when there is none.
    int LineRow() {
        const QImage& img = chart.Image();
        for (int y = 0; y < chart.GSH()[0]; ++y)
            if (Count(img, 0, y, 600, y + 1, kMagenta) > 200) return y;
        return -1;
    }
};

TEST_F(ObjectsTest, PositionLineAtTheCentreOfItsBar) {
    chart.SetLeftBar(1);
    const int y0 = LineRow();
    ASSERT_GT(y0, 45);
    const QImage& img = chart.Image();
    const int x0 = 52 + (5 * 2 + 2); // first bar's edge + bar 3's centre two bars after it
    EXPECT_GT(Count(img, x0, y0 - 25, x0 + 1, y0 - 9, kMagenta), 4);     // the tick
    EXPECT_EQ(Count(img, x0 + 1, y0 - 25, x0 + 4, y0 - 9, kMagenta), 0); // one pixel wide
    EXPECT_EQ(Count(img, x0 - 3, y0 - 25, x0, y0 - 9, kMagenta), 0);
    EXPECT_GT(Count(img, x0 - 4, y0 - 45, x0 + 40, y0 - 28, kMagenta), 0);     // the label
    EXPECT_EQ(Count(chart.Image(), 0, chart.GSH()[0], 600, 400, kMagenta), 0); // K_Main only
}

TEST_F(ObjectsTest, BarScrolledOutOfViewLeavesOnlyTheLineAcrossTheWindow) {
    const int y0 = LineRow();
    ASSERT_GT(y0, 45);
    EXPECT_EQ(Count(chart.Image(), 0, y0 - 45, 600, y0 - 1, kMagenta), 0);
    EXPECT_GE(Count(chart.Image(), 590, y0, 600, y0 + 1, kMagenta), 4); // to the right edge
    EXPECT_GE(Count(chart.Image(), 0, y0, 10, y0 + 1, kMagenta), 4);    // from the left edge
}

TEST_F(ObjectsTest, ShowLineOffHidesAndObjectsSurviveReloadsAndPeriods) {
    chart.SetShowLine(0, false);
    EXPECT_EQ(LineRow(), -1);
    chart.SetShowLine(0, true);
    const int y0 = LineRow();
    chart.ClearData();
    chart.SetZhouQi(wsWeek);
    FeedBars(chart, 200);
    ASSERT_EQ(chart.Objects(0).size(), 1u);
    EXPECT_EQ(chart.Objects(0)[0].FXX[0], 3);
    EXPECT_EQ(LineRow(), y0);
    XXLine other = PositionLine(5, 105);
    other.FType = 29;
    chart.AddObject(0, other);
    chart.RemoveObjects(0, kPositionLine);
    ASSERT_EQ(chart.Objects(0).size(), 1u);
    EXPECT_EQ(chart.Objects(0)[0].FType, 29);
    chart.ClearLine(0);
    EXPECT_TRUE(chart.Objects(0).empty());
    EXPECT_TRUE(chart.Objects(11).empty()); // names no window
}

} // namespace
} // namespace vantor
