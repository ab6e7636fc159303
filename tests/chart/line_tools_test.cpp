// The drawing tools on a real chart: placing objects with the mouse, the preview, Escape,
// presses with no window, selection, moving by a control square, Delete, Ctrl+A, the last
// object, clearing and hiding, and objects kept by bar across scrolling and periods.

#include <gtest/gtest.h>

#include <Qt>

#include "chart/objects/line_geometry.h"
#include "chart/raw_program.h"
#include "chart/tgp.h"
#include "chart_bars.h"
#include "pixels.h"

namespace vantor {
namespace {

constexpr TColor kToolYellow = RGBColor(255, 255, 0);

class LineToolsTest : public ::testing::Test {
protected:
    TGP chart{[](WindowProgram* parent) {
        return std::make_unique<RawProgram>(static_cast<RawProgram*>(parent));
    }};
    void SetUp() override {
        chart.SetSize(600, 400);
        chart.UseMainWindowSettings();
        chart.ClearData();
        FeedBars(chart, 200);
        chart.SetLeftBar(90);
        chart.Image(); // painted once: the plot is known
        ASSERT_EQ(chart.FLeftBar(), 90);
    }
    // Press at a, drag to b, release there.
    void Drag(QPoint a, QPoint b) {
        chart.MouseMove(a.x(), a.y(), false);
        chart.MouseDown(a.x(), a.y());
        chart.MouseMove((a.x() + b.x()) / 2, (a.y() + b.y()) / 2, true);
        chart.MouseMove(b.x(), b.y(), true);
        chart.MouseUp(b.x(), b.y());
        chart.Image();
    }
    void Click(QPoint a) { Drag(a, a); }
    const std::vector<XXLine>& Main() const { return chart.Objects(0); }
};

TEST_F(LineToolsTest, SegmentSticksToItsBarsThroughScrollingAndPeriods) {
    chart.StartTool(kSegment, "线段");
    EXPECT_EQ(chart.FCursorType(), ctDrawLine);
    Drag({113, 80}, {163, 140});
    EXPECT_EQ(chart.FCursorType(), ctNone); // the tool ends after one object
    ASSERT_EQ(Main().size(), 1u);
    const XXLine& o = Main()[0];
    EXPECT_EQ(o.FName, "线段");
    EXPECT_EQ(o.FColor, kToolYellow);
    EXPECT_EQ(o.FXX[0], 90 + 12); // (113 - 52) / 5
    EXPECT_EQ(o.FXX[1], 90 + 22);
    const ObjectPlot& plot = chart.K_Main()->objectPlot;
    EXPECT_NEAR(o.FYY[0], plot.ValueAt(80), 1e-3);
    EXPECT_GT(o.FYY[0], o.FYY[1]);
    // Drawn from the centre of its bar: column 114.
    const int y0 = plot.T + static_cast<int>((plot.maxValue - o.FYY[0]) * (plot.B - plot.T) /
                                             (plot.maxValue - plot.minValue));
    EXPECT_GT(Count(chart.Image(), 113, y0 - 2, 116, y0 + 3, kToolYellow), 0);
    chart.SetLeftBar(80); // ten bars later it is 50 pixels further right
    EXPECT_GT(Count(chart.Image(), 163, y0 - 2, 166, y0 + 3, kToolYellow), 0);
    EXPECT_EQ(Count(chart.Image(), 107, y0 - 2, 120, y0 + 3, kToolYellow), 0);

    chart.ClearData();
    chart.SetZhouQi(wsWeek);
    std::vector<double> close(100, 105.0);
    chart.AddALL("close", close.data(), 100, true);
    ASSERT_EQ(Main().size(), 1u);
    EXPECT_EQ(Main()[0].FXX[0], 102);
    EXPECT_EQ(Main()[0].FXX[1], 112);
}

TEST_F(LineToolsTest, ThreePointChannelPreviewFollowsTheMouse) {
    chart.StartTool(kChannel, "通道线");
    Drag({100, 150}, {200, 100});
    EXPECT_TRUE(chart.Placing());
    EXPECT_TRUE(Main().empty());
    ASSERT_NE(chart.K_Main()->preview, nullptr);
    EXPECT_EQ(chart.K_Main()->preview->placed, 2);
    chart.MouseMove(150, 160, false); // the parallel follows
    EXPECT_EQ(chart.K_Main()->preview->points[2], QPoint(150, 160));
    // The dotted outline of the plot in the tool's colour shows while placing.
    EXPECT_GT(Count(chart.Image(), 50, chart.K_Main()->objectPlot.T, 600,
                    chart.K_Main()->objectPlot.T + 1, kToolYellow),
              50);
    chart.MouseDown(150, 160);
    chart.MouseUp(150, 160);
    EXPECT_FALSE(chart.Placing());
    EXPECT_EQ(chart.K_Main()->preview, nullptr);
    ASSERT_EQ(Main().size(), 1u);
    EXPECT_EQ(Main()[0].FPointCount, 3);
    EXPECT_EQ(Main()[0].FXX[2], 90 + 19); // (150 - 52) / 5
}

TEST_F(LineToolsTest, PlacingClampsToThePlotAndEscapeCancels) {
    chart.StartTool(kSegment, "线段");
    chart.MouseDown(100, 100);
    EXPECT_TRUE(chart.Placing());
    chart.MouseMove(900, -300, true); // far outside the control
    const ObjectPlot& plot = chart.K_Main()->objectPlot;
    EXPECT_EQ(chart.K_Main()->preview->points[1], QPoint(plot.R - 1, plot.T));
    EXPECT_TRUE(chart.KeyDown(Qt::Key_Escape, false, false));
    EXPECT_FALSE(chart.Placing());
    EXPECT_EQ(chart.FCursorType(), ctNone);
    EXPECT_EQ(chart.K_Main()->preview, nullptr);
    chart.MouseUp(900, -300);
    EXPECT_TRUE(Main().empty());
}

TEST_F(LineToolsTest, PressWithoutWindowOrOnAWindowOfNoHeightPlacesNothing) {
    chart.StartTool(kHorizontalLine, "水平线");
    Click({100, 395});                          // the tab strip
    EXPECT_EQ(chart.FCursorType(), ctDrawLine); // the tool stays
    EXPECT_FALSE(chart.Placing());
    // One window left, squeezed to no height by a control no taller than its tab strip: a
    // press there finds the window (it was painted before) but places nothing.
    chart.SetTechWindows(1);
    chart.Image();
    chart.SetSize(600, chart.FTABH());
    ASSERT_EQ(chart.GSH()[0], 0);
    chart.MouseDown(100, 100);
    EXPECT_FALSE(chart.Placing());
    chart.MouseUp(100, 100);
    EXPECT_TRUE(Main().empty());
    chart.SetSize(600, 400);
    chart.SetTechWindows(3);
    chart.Image();
    Click({100, 100});
    EXPECT_EQ(Main().size(), 1u); // a click in a window places the one-point line
    EXPECT_EQ(Main()[0].FPointCount, 1);
}

TEST_F(LineToolsTest, SquareDragReshapesBodyDragMovesAndReleaseEndsTheMove) {
    chart.StartTool(kSegment, "线段");
    Drag({113, 80}, {163, 140});
    const XXLine before = Main()[0];
    // Square 2 sits at (second x, first y): it moves the second point sideways and the
    // first point up or down.
    const QPoint sq2((before.Frec[2].Left + before.Frec[2].Right) / 2,
                     (before.Frec[2].Top + before.Frec[2].Bottom) / 2);
    chart.MouseDown(sq2.x(), sq2.y());
    EXPECT_EQ(chart.FCursorType(), ctEdit);
    EXPECT_TRUE(Main()[0].Bedit);
    EXPECT_EQ(Main()[0].nCtrPt, 2);
    chart.MouseMove(sq2.x() + 10, sq2.y() + 20, true);
    chart.MouseUp(sq2.x() + 10, sq2.y() + 20);
    EXPECT_EQ(chart.FCursorType(), ctNone);
    EXPECT_EQ(chart.FLeftBar(), 90); // the chart did not pan
    const XXLine& after = Main()[0];
    EXPECT_EQ(after.FXX[0], before.FXX[0]);
    EXPECT_EQ(after.FXX[1], before.FXX[1] + 2);
    EXPECT_LT(after.FYY[0], before.FYY[0]);
    EXPECT_EQ(after.FYY[1], before.FYY[1]);
    EXPECT_EQ(after.oldfxx, after.FXX);
    chart.Image();
    // A drag of the body moves both points by whole bars.
    const QPoint mid((Main()[0].FBody.Left + Main()[0].FBody.Right) / 2,
                     (Main()[0].FBody.Top + Main()[0].FBody.Bottom) / 2);
    chart.MouseDown(mid.x(), mid.y());
    EXPECT_EQ(chart.FCursorType(), ctPan);
    chart.MouseMove(mid.x() - 15, mid.y(), true);
    chart.MouseUp(mid.x() - 15, mid.y());
    EXPECT_EQ(Main()[0].FXX[0], before.FXX[0] - 3);
    EXPECT_EQ(Main()[0].FXX[1], before.FXX[1] + 2 - 3);
}

TEST_F(LineToolsTest, PositionLineIsNotSelectedByAPressButByCtrlAThenDeleted) {
    XXLine pos;
    pos.FType = kPositionLine;
    pos.FPointCount = 1;
    pos.FXX[0] = 3;
    pos.FYY[0] = 110;
    chart.AddObject(0, pos);
    chart.Image();
    const int y = (Main()[0].FBody.Top + Main()[0].FBody.Bottom) / 2;
    chart.MouseDown(300, y);
    chart.MouseMove(350, y - 30, true);
    chart.MouseUp(350, y - 30);
    EXPECT_FALSE(Main()[0].Bedit);
    EXPECT_EQ(Main()[0].FYY[0], 110); // the move started but moved nothing
    EXPECT_EQ(chart.FLeftBar(), 90);
    EXPECT_FALSE(chart.KeyDown(Qt::Key_Delete, false, false)); // nothing selected
    ASSERT_EQ(Main().size(), 1u);
    EXPECT_TRUE(chart.KeyDown(Qt::Key_A, false, true));
    EXPECT_TRUE(Main()[0].Bedit);
    EXPECT_TRUE(chart.KeyDown(Qt::Key_Delete, false, false));
    EXPECT_TRUE(Main().empty());
}

TEST_F(LineToolsTest, LastObjectClearAndHide) {
    for (int kind : {kSegment, kRectangle}) {
        chart.StartTool(kind, "");
        Drag({100, 60}, {200, 120});
    }
    chart.StartTool(kVerticalLine, "");
    Click({150, chart.GSH()[0] + 40}); // in window 1
    ASSERT_EQ(Main().size(), 2u);
    ASSERT_EQ(chart.Objects(1).size(), 1u);
    EXPECT_EQ(chart.CurWindowObjectCount(), 1);
    chart.MouseDown(300, 100); // the last press is in K_Main
    chart.MouseUp(300, 100);
    chart.delLastline();
    ASSERT_EQ(Main().size(), 1u);
    EXPECT_EQ(Main()[0].FType, kSegment);
    EXPECT_EQ(chart.Objects(1).size(), 1u);

    chart.HideLine(false); // hidden: nothing drawn
    EXPECT_EQ(Count(chart.Image(), 0, 0, 600, chart.GSH()[0], kToolYellow), 0);
    chart.HideLine(true);
    EXPECT_GT(Count(chart.Image(), 0, 0, 600, chart.GSH()[0], kToolYellow), 0);
    XXLine pos;
    pos.FType = kPositionLine;
    chart.AddObject(0, pos);
    chart.ClearLine();
    for (int w = 0; w < 3; ++w) EXPECT_TRUE(chart.Objects(w).empty()) << w;
    chart.delLastline(); // nothing left: nothing happens
}

TEST_F(LineToolsTest, TextObjectAsksForItsTextAndKeepsTheTemplateWhenCancelled) {
    bool answer = true;
    chart.OnAddText = [&](XXLine& t) {
        t.FString = "突破";
        t.FColor = RGBColor(255, 0, 0);
        t.FFontSize = 12;
        return answer;
    };
    chart.StartTool(kText, "文字");
    Click({200, 100});
    answer = false;
    chart.StartTool(kText, "文字");
    Click({300, 100});
    ASSERT_EQ(Main().size(), 2u);
    EXPECT_EQ(Main()[0].FString, "突破");
    EXPECT_EQ(Main()[0].FFontSize, 12);
    EXPECT_EQ(Main()[0].FColor, RGBColor(255, 0, 0));
    EXPECT_EQ(Main()[1].FString, "");
    EXPECT_EQ(Main()[1].FColor, kToolYellow);
    EXPECT_GT(Count(chart.Image(), 200, 0, 300, 200, RGBColor(255, 0, 0)), 10);
}

} // namespace
} // namespace vantor
