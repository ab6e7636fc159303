// The real main window driven as a trainee drives it: clicks, typed text and keys on the
// offscreen platform; afterwards the journal, the screenshots and config.ini are read back.

#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "temp_dir.h"
#include "box_watcher.h"
#include "journal/journal.h"
#include "practice/program_folder.h"
#include "ui/chart_widget.h"
#include "ui/main_window.h"
#include "ui/pages.h"
#include "ui/trade_panel.h"
#include "widget_fixture.h"

namespace vantor::test {
namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int Jpegs(const std::string& dir) {
    int n = 0;
    std::error_code ec;
    for (auto& e : std::filesystem::directory_iterator(dir, ec))
        n += e.path().extension() == ".jpg";
    return n;
}

TEST(MainWindow, TraineeStepsTradesAndCloses) {
    TempDir dir;
    BoxWatcher boxes;
    auto* w = StartWindow(dir.path(), "学员");
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Vantor操盘训练系统"));
    const int before = w->Form().Store().nIndex;

    TradePanel* t = w->Trades();
    for (int i = 0; i < 20; ++i) QTest::mouseClick(t->next, Qt::LeftButton);
    EXPECT_EQ(w->Form().Store().nIndex, before + 20);

    t->lots->clear();
    QTest::mouseClick(t->lots, Qt::LeftButton);
    QTest::keyClicks(t->lots, "1");
    QTest::mouseClick(t->buyOpen, Qt::LeftButton);
    EXPECT_EQ(w->Form().Account().ddcc, 1);
    EXPECT_NE(t->position->toPlainText().indexOf(QStringLiteral("多单持仓：1.00")), -1);
    QTest::mouseClick(t->next, Qt::LeftButton);
    QTest::mouseClick(t->buyClose, Qt::LeftButton);
    EXPECT_EQ(w->Form().Account().ddcc, 0);

    EXPECT_TRUE(w->close()); // answered Yes
    EXPECT_NE(std::find(boxes.texts.begin(), boxes.texts.end(), "确定要退出吗？ "),
              boxes.texts.end());
    delete w;

    TJournal journal(dir.path());
    std::vector<JournalEntry> rows;
    ASSERT_TRUE(journal.ReadJournal("学员", rows)) << journal.sError;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].direction(), "多开");
    EXPECT_EQ(rows[1].direction(), "多平");
    EXPECT_EQ(rows[0].values[4], "1");
    EXPECT_EQ(Jpegs(dir.path() + "/log"), 2);
    std::vector<std::pair<double, double>> points;
    ASSERT_TRUE(journal.EquityPoints("学员", points));
    EXPECT_EQ(points.size(), 2u);
    const std::string ini = Read(dir.path() + "/config.ini");
    EXPECT_NE(ini.find("账户名称=学员"), std::string::npos) << ini;
    EXPECT_NE(ini.find("[学员]"), std::string::npos) << ini;
    EXPECT_NE(ini.find("股票代码="), std::string::npos) << ini;
    for (int a = 0; a <= 9; ++a)
        EXPECT_TRUE(std::filesystem::exists(dir.path() + "/" + std::to_string(a) + ".zb")) << a;
}

TEST(MainWindow, TradeKeysActOnceAndNeverWhileTyping) {
    TempDir dir;
    std::string error;
    ASSERT_TRUE(SeedProgramFolder(VANTOR_SAMPLE_DIR, dir.path(), error)) << error;
    std::ofstream(dir.path() + "/config.ini") << "[keys]\n初始资金=1000000\n";
    BoxWatcher boxes;
    auto* w = new MainWindow(dir.path(), "keys");
    w->show();
    w->Start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    w->Form().Controls().lotsBox = "1";
    w->Sync();

    // Typing a code that holds A and S into the code box opens nothing.
    w->CodeBox()->setFocus();
    w->CodeBox()->selectAll();
    QTest::keyClicks(w->CodeBox(), "sa");
    EXPECT_EQ(w->CodeBox()->text(), QStringLiteral("SA"));
    EXPECT_EQ(w->Form().Account().zcc(), 0);

    // With the chart focused, A opens one lot, not two.
    w->Chart()->setFocus();
    QTest::keyClick(w->Chart(), Qt::Key_A);
    EXPECT_EQ(w->Form().Account().ddcc, 1);
    QTest::keyClick(w->Chart(), Qt::Key_D);
    EXPECT_EQ(w->Form().Account().ddcc, 0);

    // A letter typed into the lots box is refused with the message.
    w->Trades()->lots->setFocus();
    QTest::keyClicks(w->Trades()->lots, "x");
    EXPECT_EQ(w->Trades()->lots->text(), QStringLiteral("1"));
    EXPECT_NE(std::find(boxes.texts.begin(), boxes.texts.end(), "只能输入数字!"),
              boxes.texts.end());
    w->close();
    delete w;
}

} // namespace
} // namespace vantor::test
