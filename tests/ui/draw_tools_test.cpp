// The drawing tool panel in the real main window: a segment and a Fibonacci retracement
// drawn with the mouse on the chart, one moved by a control square, then deleted; the
// panel follows the 划线 menu; the text dialog.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>

#include "chart/objects/line_geometry.h"
#include "temp_dir.h"
#include "ui/add_str_dialog.h"
#include "ui/chart_widget.h"
#include "ui/draw_tools_panel.h"
#include "widget_fixture.h"

namespace vantor::test {
namespace {

void Drag(QWidget* w, QPoint a, QPoint b) {
    QTest::mouseMove(w, a);
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, a);
    QTest::mouseMove(w, (a + b) / 2);
    QTest::mouseMove(w, b);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, b);
}

QPoint Centre(const TRectI& r) {
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

TEST(DrawTools, SegmentAndRetracementDrawnMovedAndDeleted) {
    TempDir dir;
    BoxWatcher boxes;
    MainWindow* w = StartWindow(dir.path(), "学员");
    ASSERT_TRUE(w);
    DrawToolsPanel* panel = w->DrawTools();
    ASSERT_TRUE(panel->Bar(0)->isVisible()); // the 划线工具 setting starts on
    ChartWidget* chart = w->Chart();
    TGP& core = chart->Chart();
    const auto& objects = core.Objects(0);
    const size_t before = objects.size(); // position lines, trade marks
    EXPECT_FALSE(panel->DeleteLast()->isEnabled());

    panel->Tool(kSegment)->trigger();
    EXPECT_EQ(chart->cursor().shape(), Qt::BitmapCursor); // the drawing cursor
    Drag(chart, {200, 120}, {320, 200});
    panel->Tool(kGoldenLevels)->trigger();
    Drag(chart, {400, 80}, {480, 220});
    ASSERT_EQ(objects.size(), before + 2);
    EXPECT_EQ(objects[before].FType, kSegment);
    EXPECT_EQ(objects[before].FName, "线段");
    EXPECT_EQ(objects[before + 1].FType, kGoldenLevels);
    EXPECT_GT(objects[before + 1].FYY[0], objects[before + 1].FYY[1]);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr); // released when the tool ended
    EXPECT_EQ(chart->cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(panel->DeleteLast()->isEnabled());

    // Square 4 (the second point) of the segment dragged 30 pixels right: 30 / 5 bars.
    chart->grab(); // painted: the hit geometry is where the segment shows
    const XXLine seg = objects[before];
    Drag(chart, Centre(seg.Frec[4]), Centre(seg.Frec[4]) + QPoint(30, 0));
    EXPECT_EQ(objects[before].FXX[1], seg.FXX[1] + 30 / core.FScale());
    EXPECT_EQ(objects[before].FXX[0], seg.FXX[0]);
    EXPECT_TRUE(objects[before].Bedit);

    // Delete removes the selected segment, the retracement stays.
    QTest::keyClick(chart, Qt::Key_Delete);
    ASSERT_EQ(objects.size(), before + 1);
    EXPECT_EQ(objects[before].FType, kGoldenLevels);
    panel->DeleteLast()->trigger(); // the last object of the window of the last press
    EXPECT_EQ(objects.size(), before);

    // 工具 › 划线 hides the panel and clears the setting.
    QAction* menu = nullptr;
    for (QAction* a : w->ToolsMenu()->actions())
        if (a->text() == QStringLiteral("划线")) menu = a;
    ASSERT_TRUE(menu);
    menu->trigger();
    EXPECT_FALSE(w->Form().Controls().drawTools);
    EXPECT_FALSE(panel->Bar(0)->isVisible());
    EXPECT_FALSE(panel->Bar(1)->isVisible());
    delete w;
}

TEST(DrawTools, TextDialogGivesTextColourAndSize) {
    TAddStr d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("添加文字"));
    EXPECT_EQ(d.FontSize(), 8);
    d.SetColor(RGBColor(0, 0, 255));
    d.Memo1->insertPlainText(QStringLiteral("压力位"));
    d.Edit1->setValue(12);
    QTimer::singleShot(0, [&] { QTest::mouseClick(d.FlatGP1, Qt::LeftButton); });
    ASSERT_EQ(d.exec(), QDialog::Accepted);
    EXPECT_EQ(d.Text(), "压力位");
    EXPECT_EQ(d.FontSize(), 12);
    EXPECT_EQ(d.Color(), RGBColor(0, 0, 255));
}

} // namespace
} // namespace vantor::test
