// Pages 交易日志 and 资金曲线 and the window 交易理由 over a journal written by hand, and the
// whole main window traded through its trade panel.

#include <gtest/gtest.h>

#include <QChart>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QValueAxis>
#include <filesystem>
#include <fstream>

#include "../journal/journal_fixture.h"
#include "../practice/recording_host.h"
#include "journal/journal_stats.h"
#include "practice/practice.h"
#include "practice/program_folder.h"
#include "ui/equity_page.h"
#include "ui/journal_page.h"
#include "ui/main_window.h"
#include "ui/screenshot_window.h"
#include "ui/trade_panel.h"
#include "widget_fixture.h"

namespace vantor::test {
namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

QString Cell(const JournalModel* m, int row, int column, int role = Qt::DisplayRole) {
    return m->data(m->index(row, column), role).toString();
}

QColor Ink(const JournalModel* m, int row) {
    return m->data(m->index(row, 3), Qt::ForegroundRole).value<QBrush>().color();
}

int RedPixels(const QImage& image, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom() && y < image.height(); ++y)
        for (int x = area.left(); x <= area.right() && x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.red() > 200 && c.green() < 90 && c.blue() < 90;
        }
    return n;
}

// A journal of account "demo" in a fresh program folder, with the pages over it.
class PagesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(journal.EnsureDatabase()) << journal.sError; }
    void AddTrades(std::initializer_list<std::pair<const char*, const char*>> trades) {
        for (auto [direction, profit] : trades) {
            TradeLogRow row = Trade("demo", direction, profit);
            ASSERT_TRUE(journal.InsertTrade(row)) << journal.sError;
            pictures.push_back(dir.path() + "/log/" + row.sGuid + ".jpg");
        }
    }

    TempDir dir;
    TJournal journal{dir.path()};
    RecordingHost host;
    TForm1 form{dir.path(), "demo", host};
    std::vector<std::string> pictures; // the screenshot file of each trade added
};

TEST_F(PagesTest, ListMemoFiguresAndExport) {
    AddTrades({{"多开", "0"}, {"多平", "120.00"}, {"空开", "0"}, {"空平", "-30.00"}});
    JournalPage page(form, host);
    page.resize(1000, 600);
    page.show(); // showing the page reads the journal
    const JournalModel* m = page.model;
    ASSERT_EQ(m->rowCount(), 4);
    ASSERT_EQ(m->columnCount(), 12);
    const char* headers[] = {"序号", "代码",   "成交日期", "交易方向", "价格", "成交数量",
                             "金额", "手续费", "获利金额", "剩余资金", "时间", "图片路径"};
    for (int c = 0; c < 12; ++c)
        EXPECT_EQ(m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(),
                  QString::fromUtf8(headers[c]));
    EXPECT_EQ(Cell(m, 3, 0), "4");
    EXPECT_EQ(Cell(m, 3, 3), QStringLiteral("空平"));
    EXPECT_EQ(Cell(m, 3, 8), "-30");
    EXPECT_EQ(Ink(m, 0), QColor(255, 0, 0)); // openings red
    EXPECT_EQ(Ink(m, 1), QColor(0, 0, 255)); // closes blue
    EXPECT_EQ(Ink(m, 2), QColor(255, 0, 0));
    EXPECT_EQ(page.memo->text(),
              QStringLiteral("交易统计    \n交易次数:      4      单次最大盈利:  120\n"
                             "单次最大亏损： -30      盈利总额：     90\n"
                             "手续费总额：   20      净盈利：       70\n"
                             "盈利次数：1    亏损次数：1"));
    EXPECT_TRUE(page.stats->text().startsWith(QStringLiteral(
        "扩展统计\n平仓次数：2      胜率：50.00%\n平均盈利：120.00      平均亏损：-30.00\n")))
        << page.stats->text().toStdString();

    // 刷新 reads rows added meanwhile.
    AddTrades({{"多开", "0"}});
    QTest::mouseClick(page.refresh, Qt::LeftButton);
    EXPECT_EQ(m->rowCount(), 5);
    EXPECT_NE(page.memo->text().indexOf(QStringLiteral("交易次数:      5")), -1);

    page.exportAction->trigger();
    ASSERT_EQ(host.messages.size(), 1u);
    const std::string prefix = "日志已经导出到";
    ASSERT_EQ(host.messages[0].rfind(prefix, 0), 0u) << host.messages[0];
    const std::string file = host.messages[0].substr(prefix.size());
    EXPECT_EQ(std::filesystem::path(file).parent_path(), dir.path() + "/Export");
    const std::string text = Read(file);
    EXPECT_EQ(text.rfind("\xEF\xBB\xBF序号\t代码\t", 0), 0u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6);
    EXPECT_NE(text.find("\r\n2\tIFL8\t20260310\t多平\t3500.00\t1\t1050.00\t5\t120\t8950\t"),
              std::string::npos);

    page.openFolderAction->trigger();
    EXPECT_EQ(host.opened, std::vector<std::string>{dir.path() + "/Export"});
}

TEST_F(PagesTest, ScreenshotWindowShowsThePictureOrSaysItIsMissing) {
    AddTrades({{"多开", "0"}, {"多平", "120.00"}});
    std::filesystem::create_directories(dir.path() + "/log");
    QImage picture(400, 200, QImage::Format_RGB32);
    picture.fill(QColor(0, 160, 0));
    ASSERT_TRUE(picture.save(QString::fromStdString(pictures[0]), "JPG"));
    JournalPage page(form, host);
    page.resize(1000, 600);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    ScreenshotWindow* w = page.screenshot;

    auto doubleClick = [&](int row) {
        const QRect r = page.table->visualRect(page.model->index(row, 1));
        QTest::mouseClick(page.table->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(page.table->viewport(), Qt::LeftButton, {}, r.center());
    };
    doubleClick(0);
    ASSERT_TRUE(w->isVisible());
    EXPECT_TRUE(w->PictureShown());
    EXPECT_EQ(w->windowTitle(), QString::fromStdString(pictures[0]));
    // Scaled to fit: the 2:1 picture fills the width of the 1000 x 700 window, centred.
    EXPECT_EQ(FitRect({400, 200}, w->size()), QRect(0, 100, 1000, 500));
    const QImage shown = w->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(500, 350)).green() > 120, true);
    EXPECT_EQ(QColor(shown.pixel(500, 50)), QColor(Qt::white));

    doubleClick(1); // its picture was never saved
    EXPECT_FALSE(w->PictureShown());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("交易理由"));
    const QImage missing = w->grab().toImage();
    EXPECT_GT(RedPixels(missing, QRect(100, 100, 500, 60)), 50);
    EXPECT_EQ(RedPixels(missing, QRect(0, 0, 99, 99)), 0);

    QTest::keyClick(w, Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
}

// A journal that cannot be read: one message with its path, and the page keeps its rows.
TEST_F(PagesTest, UnreadableJournalLeavesThePagesAsTheyWere) {
    AddTrades({{"多开", "0"}, {"多平", "120.00"}});
    JournalPage page(form, host);
    EquityPage equity(form, host);
    page.show();
    ASSERT_TRUE(journal.AddEquityPoint("demo", 10100));
    equity.show();
    ASSERT_EQ(page.model->rowCount(), 2);
    ASSERT_EQ(equity.series->count(), 1);
    const QString memo = page.memo->text(), figures = page.stats->text();

    for (const char* suffix : {"-wal", "-shm", ""})
        std::filesystem::remove(journal.path() + suffix);
    std::ofstream(journal.path()) << std::string(4096, 'x');
    EXPECT_FALSE(page.Refresh());
    EXPECT_FALSE(equity.Refresh());
    ASSERT_EQ(host.messages.size(), 2u);
    for (const std::string& message : host.messages)
        EXPECT_EQ(message.rfind("无法读取交易日志：" + journal.path(), 0), 0u) << message;
    EXPECT_EQ(page.model->rowCount(), 2);
    EXPECT_EQ(page.memo->text(), memo);
    EXPECT_EQ(page.stats->text(), figures);
    EXPECT_EQ(equity.series->count(), 1);
}

TEST_F(PagesTest, EquityCurveInNumericOrder) {
    for (auto [no, value] : {std::pair{"10", "10500.50"}, {"11", "10320.00"}, {"2", "10000.00"}})
        ASSERT_TRUE(journal.InsertEquityPoint({no, value, "demo", "t", NewRowId()}));
    ASSERT_TRUE(journal.InsertEquityPoint({"3", "1", "other", "t", NewRowId()}));
    EquityPage page(form, host);
    page.resize(800, 500);
    page.show();
    const QList<QPointF> points = page.series->points();
    EXPECT_EQ(points, (QList<QPointF>{{2, 10000}, {10, 10500.5}, {11, 10320}}));
    EXPECT_EQ(page.series->name(), QStringLiteral("资金曲线"));
    EXPECT_FALSE(page.series->chart()->legend()->isVisible());
    EXPECT_EQ(page.xAxis->min(), 2);
    EXPECT_EQ(page.xAxis->max(), 11);
    EXPECT_EQ(page.xAxis->tickInterval(), 1);
    EXPECT_EQ(page.yAxis->min(), 9900);
    EXPECT_EQ(page.yAxis->max(), 10600);
    EXPECT_EQ(page.yAxis->tickInterval(), 100);
}

TEST(NiceScale, RoundStepsThatHoldTheRange) {
    struct Case {
        double lo, hi;
        int ticks;
        bool whole;
        AxisScale expected;
    };
    const Case cases[] = {
        {2, 11, 10, true, {2, 11, 1}},
        {0, 3, 10, true, {0, 3, 1}},                    // point numbers never step by less than 1
        {10000, 10500.5, 8, false, {9900, 10600, 100}}, // room below 10000
        {9980, 10180, 8, false, {9950, 10200, 50}},
        {10000, 10000, 8, false, {9900, 10100, 50}}, // one point: a band around it
        {5, 5, 10, true, {4, 6, 1}},
        {-30.5, 120, 5, false, {-50, 150, 50}},
        {10100, 10200, 4, false, {10050, 10250, 50}},
    };
    for (const Case& c : cases) {
        const AxisScale s = NiceScale(c.lo, c.hi, c.ticks, c.whole);
        EXPECT_DOUBLE_EQ(s.min, c.expected.min) << c.lo << " " << c.hi;
        EXPECT_DOUBLE_EQ(s.max, c.expected.max) << c.lo << " " << c.hi;
        EXPECT_DOUBLE_EQ(s.step, c.expected.step) << c.lo << " " << c.hi;
    }
}

// Trades made through the real trade panel show up on both pages, and the curve follows a
// close while its page is the one shown.
TEST(JournalPages, TradesThroughThePanelShowOnBothPages) {
    TempDir dir;
    BoxWatcher boxes;
    auto* w = StartWindow(dir.path(), "学员");
    ASSERT_TRUE(w);
    TradePanel* t = w->Trades();
    t->lots->clear();
    QTest::mouseClick(t->lots, Qt::LeftButton);
    QTest::keyClicks(t->lots, "2");
    for (QPushButton* open : {t->buyOpen, t->sellOpen}) {
        QTest::mouseClick(open, Qt::LeftButton);
        for (int i = 0; i < 3; ++i) QTest::mouseClick(t->next, Qt::LeftButton);
        QTest::mouseClick(open == t->buyOpen ? t->buyClose : t->sellClose, Qt::LeftButton);
    }
    ASSERT_EQ(w->Form().Account().zcc(), 0);

    w->RightPages()->setCurrentWidget(w->Journal());
    const JournalModel* m = w->Journal()->model;
    ASSERT_EQ(m->rowCount(), 4);
    const char* directions[] = {"多开", "多平", "空开", "空平"};
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(Cell(m, r, 3), QString::fromUtf8(directions[r])) << r;
        EXPECT_EQ(Cell(m, r, 5), "2") << r;
        EXPECT_EQ(Ink(m, r), r % 2 ? QColor(0, 0, 255) : QColor(255, 0, 0)) << r;
        EXPECT_TRUE(std::filesystem::exists(
            TJournal(dir.path()).ScreenshotFile(Cell(m, r, 11).toStdString())))
            << r;
    }
    EXPECT_TRUE(w->Journal()->memo->text().startsWith(
        QStringLiteral("交易统计    \n交易次数:      4      单次最大盈利:  ")));
    EXPECT_NE(w->Journal()->stats->text().indexOf(QStringLiteral("平仓次数：2")), -1);

    w->RightPages()->setCurrentWidget(w->Equity());
    QLineSeries* curve = w->Equity()->series;
    ASSERT_EQ(curve->count(), 3); // the start and one point per close
    EXPECT_EQ(curve->at(0).y(), 1000000);
    EXPECT_DOUBLE_EQ(curve->at(2).y(), std::round(w->Form().Account().dtqy() * 100) / 100);

    // One more round trip while the curve is shown: it gains the point without a click.
    QTest::mouseClick(t->buyOpen, Qt::LeftButton);
    QTest::mouseClick(t->next, Qt::LeftButton);
    QTest::mouseClick(t->buyClose, Qt::LeftButton);
    EXPECT_EQ(curve->count(), 4);
    EXPECT_TRUE(boxes.texts.empty()) << boxes.texts.front();

    w->close();
    delete w;
}

} // namespace
} // namespace vantor::test
