// The chart's command menu on the real main window: a right click opens it, its look, and
// the parameter and usage-note dialogs it opens acting on the chart and its formula file.

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "box_watcher.h"
#include "chart/quote_snapshot.h"
#include "chart/tgp.h"
#include "temp_dir.h"
#include "ui/chart_dialogs.h"
#include "ui/chart_widget.h"
#include "ui/trade_panel.h"
#include "widget_fixture.h"

namespace vantor::test {
namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Right-clicks the middle of bar-view window `win` and returns the menu that opened.
QMenu* RightClick(MainWindow* w, int win) {
    ChartWidget* c = w->Chart();
    TGP& chart = w->Form().Chart();
    int y = 0;
    for (int k = 0; k < win; ++k) y += chart.GSH()[static_cast<size_t>(k)];
    QPoint at(c->width() / 2, y + chart.GSH()[static_cast<size_t>(win)] / 2);
    QTest::mousePress(c, Qt::RightButton, {}, at);
    QContextMenuEvent e(QContextMenuEvent::Mouse, at, c->mapToGlobal(at));
    QApplication::sendEvent(c, &e);
    QTest::mouseRelease(c, Qt::RightButton, {}, at);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

// Runs `act` on the modal dialog of type D as soon as it shows.
template <class D> void WhenShown(std::function<void(D*)> act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* d = qobject_cast<D*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(d);
        }
    });
    timer->start(10);
}

TEST(ChartMenu, RightClickMenuLooksAsDrawnAndChecksTheKLineStyle) {
    TempDir dir;
    BoxWatcher boxes;
    auto* w = StartWindow(dir.path(), "菜单");
    ASSERT_TRUE(w);
    QMenu* menu = RightClick(w, 0);
    ASSERT_TRUE(menu);
    QAction* bar = MenuAction(menu, "普通K线");
    ASSERT_TRUE(bar);
    EXPECT_TRUE(bar->isChecked());
    EXPECT_FALSE(MenuAction(menu, "美国线")->isChecked());
    menu->setActiveAction(MenuAction(menu, "调整指标参数"));
    PictureForDocs(menu, "chart_menu");
    const QImage img = menu->grab().toImage();
    const QRect sel = menu->actionGeometry(MenuAction(menu, "调整指标参数"));
    const QRect checked = menu->actionGeometry(bar);
    const QRect plain = menu->actionGeometry(MenuAction(menu, "前景色"));
    const qreal r = img.devicePixelRatio();
    auto px = [&](int x, int y) { return img.pixelColor(QPoint(x * r, y * r)); };
    EXPECT_EQ(px(plain.left() + 5, plain.center().y()),
              QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(px(plain.left() + 60, plain.top() + 1), QColor(Qt::white));
    EXPECT_EQ(px(sel.left() + 60, sel.top() + 2), QColor(198, 211, 239));
    EXPECT_EQ(px(sel.left() + 60, sel.top()), QColor(49, 105, 198));
    int red = 0;
    for (int y = checked.top(); y < checked.bottom(); ++y)
        for (int x = checked.left(); x < checked.left() + 20; ++x)
            red += px(x, y) == QColor(255, 0, 0);
    EXPECT_GT(red, 6);
    MenuAction(menu, "美国线")->trigger();
    EXPECT_EQ(w->Form().Chart().K_Main()->KStype, ksAmericia);
    delete w;
}

TEST(ChartMenu, AdjustingMacdShortChangesItsReadoutAndNotesAreSaved) {
    TempDir dir;
    BoxWatcher boxes;
    auto* w = StartWindow(dir.path(), "指标");
    ASSERT_TRUE(w);
    TGP& chart = w->Form().Chart();
    for (int i = 0; i < 40; ++i) QTest::mouseClick(w->Trades()->next, Qt::LeftButton);
    ASSERT_TRUE(chart.SetWFCZY(2, "MACD"));
    ChartWindow& macd = *chart.GS()[2];
    auto lastDif = [&] {
        SeriesView v;
        return macd.prog->Series("dif", v) ? v.last() : kInvalidValue;
    };
    const double dif = lastDif();
    ASSERT_NE(dif, kInvalidValue);
    EXPECT_NE(WindowTitle(macd).find("(12_26_9)"), std::string::npos);

    QMenu* menu = RightClick(w, 2);
    ASSERT_TRUE(menu);
    int rows = 0;
    WhenShown<TTTiao>([&](TTTiao* d) {
        rows = d->Num();
        QSpinBox* shortRow = d->findChild<QSpinBox*>("SHORT:");
        ASSERT_TRUE(shortRow);
        EXPECT_EQ(shortRow->maximum(), 200);
        shortRow->stepUp();
        PictureForDocs(d, "param_dialog");
        d->findChild<QPushButton*>("FlatGP1")->click();
    });
    MenuAction(menu, "调整指标参数")->trigger();
    EXPECT_EQ(rows, 3);
    EXPECT_NE(lastDif(), dif);
    EXPECT_NE(lastDif(), kInvalidValue);
    EXPECT_NE(WindowTitle(macd).find("(13_26_9)"), std::string::npos) << WindowTitle(macd);
    EXPECT_NE(chart.FormulaText(2).find("SHORT:=INPUT(2,200,12,13)"), std::string::npos);

    menu = RightClick(w, 2);
    ASSERT_TRUE(menu);
    std::string caption;
    WhenShown<TNotes>([&](TNotes* d) {
        caption = d->windowTitle().toStdString();
        d->Memo()->setPlainText(QStringLiteral("DIF上穿DEA为买点"));
        d->findChild<QPushButton*>("FlatGP2")->click();
    });
    MenuAction(menu, "指标用法注释")->trigger();
    EXPECT_EQ(caption, "MACD.Wfc指标用法");
    EXPECT_NE(Read(dir.path() + "/MACD.Wfc").find("*DIF上穿DEA为买点"), std::string::npos);
    EXPECT_NE(chart.FormulaText(2).find("*DIF上穿DEA为买点"), std::string::npos);
    delete w;
}

TEST(ChartMenu, BoardShownFromTheSettingsSubmenu) {
    TempDir dir;
    BoxWatcher boxes;
    auto* w = StartWindow(dir.path(), "信息板");
    ASSERT_TRUE(w);
    TGP& chart = w->Form().Chart();
    for (int i = 0; i < 60; ++i) QTest::mouseClick(w->Trades()->next, Qt::LeftButton);
    // A quote snapshot and a few ticks, as a quote feed would hand them over.
    TStockinfoRecord rec;
    rec.code = "RB888";
    rec.Name = "螺纹";
    rec.INFO = QuoteSnapshot(3650, 3672);
    chart.SetStockInfo(rec);
    std::vector<TTDX_DEALInfo> ticks;
    for (int i = 0; i < 40; ++i)
        ticks.push_back({1400 + i % 60, 3660.0f + (i * 7) % 15, 10.0f + (i * 13) % 50,
                         static_cast<std::int16_t>(i % 2), static_cast<std::uint16_t>(1 + i % 4)});
    chart.SetFenBi(ticks.data(), static_cast<int>(ticks.size()));

    QMenu* menu = RightClick(w, 0);
    ASSERT_TRUE(menu);
    QAction* part = MenuAction(menu, "部分设置");
    ASSERT_TRUE(part && part->menu());
    MenuAction(part->menu(), "显示信息板")->trigger();
    menu->close();
    EXPECT_TRUE(chart.FShowBoard());
    QTest::qWait(20);
    const QImage img = w->Chart()->grab().toImage();
    const qreal r = img.devicePixelRatio();
    const int bx = static_cast<int>((w->Chart()->width() - chart.FBoardWidth() + 2) * r);
    int silver = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = bx; x < img.width(); ++x)
            silver += img.pixelColor(x, y) == QColor(192, 192, 192);
    EXPECT_GT(silver, 50);
    PictureForDocs(w->Chart(), "chart_board");
    delete w;
}

} // namespace
} // namespace vantor::test
