// The chart in the real main window: arrow keys move the keyboard cursor and the
// information window shows that bar's values; the wheel and Up/Down zoom; Home, End and
// Page Up/Down navigate.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

#include "chart/navigation.h"
#include "chart/tgp.h"
#include "temp_dir.h"
#include "ui/chart_widget.h"
#include "ui/hint_win.h"
#include "widget_fixture.h"

namespace vantor::test {
namespace {

void Wheel(QWidget* w, int delta) {
    const QPointF at(w->width() / 2.0, 100);
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

TEST(ChartCursor, ArrowsWheelAndPagingInTheMainWindow) {
    TempDir dir;
    MainWindow* w = StartWindow(dir.path(), "cursor");
    ASSERT_NE(w, nullptr);
    ChartWidget* widget = w->Chart();
    TGP& chart = widget->Chart();
    for (int i = 0; i < 300; ++i) w->Form().NextBar(); // more bars than a screen holds
    widget->setFocus();
    QApplication::processEvents();
    ASSERT_GT(chart.BarCount(), 10);
    const int last = chart.BarCount() - 1;

    // End shows the cursor on the last bar; Left moves it to the bar before, whose values
    // the information window shows.
    QTest::keyClick(widget, Qt::Key_End);
    widget->repaint();
    EXPECT_EQ(chart.K_Main()->FCurLeft, last);
    QTest::keyClick(widget, Qt::Key_Left);
    widget->repaint();
    EXPECT_TRUE(chart.ShowCursor());
    EXPECT_EQ(chart.K_Main()->FCurLeft, last - 1);
    THintWin* hint = widget->Hint();
    ASSERT_TRUE(hint->isVisible());
    EXPECT_TRUE(hint->BZ);
    SeriesView close;
    ASSERT_TRUE(chart.K_Main()->prog->Series("close", close));
    char want[64];
    std::snprintf(want, sizeof want, " \u3000收盘:%.2f", close.at(last - 1));
    EXPECT_TRUE(hint->Text().contains(QString::fromUtf8(want))) << hint->Text().toStdString();
    QTest::keyClick(widget, Qt::Key_Right);
    widget->repaint();
    EXPECT_EQ(chart.K_Main()->FCurLeft, last);
    std::snprintf(want, sizeof want, " \u3000收盘:%.2f", close.at(last));
    EXPECT_TRUE(hint->Text().contains(QString::fromUtf8(want)));

    // The wheel zooms as Up and Down do.
    const int scale = chart.FScale();
    Wheel(widget, 120);
    EXPECT_EQ(chart.FScale(), scale + 1);
    QTest::keyClick(widget, Qt::Key_Down);
    Wheel(widget, -120);
    EXPECT_EQ(chart.FScale(), scale - 1);

    // Home goes to the first bar, Page Down one screen on, End back to the last bar.
    QTest::keyClick(widget, Qt::Key_Home);
    widget->repaint();
    EXPECT_EQ(chart.FLeftBar(), 0);
    EXPECT_EQ(chart.K_Main()->FCurLeft, 0);
    QTest::keyClick(widget, Qt::Key_PageDown);
    widget->repaint();
    EXPECT_GT(chart.FLeftBar(), 0);
    QTest::keyClick(widget, Qt::Key_End);
    widget->repaint();
    EXPECT_EQ(chart.K_Main()->FCurLeft, last);

    // The close box hides the window and turns the cursor off.
    hint->findChild<QAbstractButton*>("hintClose")->click();
    EXPECT_FALSE(hint->isVisible());
    EXPECT_FALSE(chart.ShowCursor());
    delete w;
}

} // namespace
} // namespace vantor::test
