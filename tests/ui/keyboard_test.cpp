// Practising without the mouse: the real main window driven by keys alone on the offscreen
// platform — quick lots, open, step, close, skip and play/pause — and no key acting while a
// text box takes the typing.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <fstream>

#include "temp_dir.h"
#include "chart/trade_markers.h"
#include "journal/journal.h"
#include "practice/program_folder.h"
#include "ui/chart_widget.h"
#include "ui/main_window.h"
#include "ui/trade_panel.h"

namespace vantor::test {
namespace {

TEST(Keyboard, OpenStepCloseAndPlayWithoutTheMouse) {
    TempDir dir;
    std::string error;
    ASSERT_TRUE(SeedProgramFolder(VANTOR_SAMPLE_DIR, dir.path(), error)) << error;
    std::ofstream(dir.path() + "/config.ini") << "[keys]\n初始资金=1000000\netj=1\n步长=0\n";
    auto* w = new MainWindow(dir.path(), "keys", /*quiet=*/true);
    w->show();
    w->Start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    TForm1& f = w->Form();
    QWidget* chart = w->Chart();
    chart->setFocus();
    auto key = [&](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : chart, k, m);
    };
    auto journalRows = [&] {
        TJournal j(dir.path());
        std::vector<JournalEntry> rows;
        EXPECT_TRUE(j.ReadJournal("keys", rows)) << j.sError;
        return rows.size();
    };

    key(Qt::Key_2); // quick lots
    EXPECT_EQ(w->Trades()->lots->text(), QStringLiteral("2"));
    key(Qt::Key_A);
    EXPECT_EQ(f.Account().ddcc, 2);
    const int start = f.Store().nIndex;
    key(Qt::Key_N);
    key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(f.Store().nIndex, start + 2);
    key(Qt::Key_C); // 一键平仓
    EXPECT_EQ(f.Account().zcc(), 0);
    EXPECT_EQ(journalRows(), 2u);
    int marks = 0;
    for (const XXLine& o : f.Chart().Objects(0)) marks += o.FType == kTradeMarker;
    EXPECT_EQ(marks, 2);

    // L enters the lots box: there keys type (a letter is refused) and trade nothing; Esc
    // goes back to the chart.
    key(Qt::Key_L);
    ASSERT_EQ(QApplication::focusWidget(), w->Trades()->lots);
    QTest::keyClicks(w->Trades()->lots, "3s");
    EXPECT_EQ(w->Trades()->lots->text(), QStringLiteral("3"));
    EXPECT_EQ(f.Controls().lotsBox, "3");
    EXPECT_EQ(f.Account().zcc(), 0);
    key(Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), chart);
    key(Qt::Key_S);
    EXPECT_EQ(f.Account().kdcc, 3);
    key(Qt::Key_D); // closes the short side
    EXPECT_EQ(f.Account().zcc(), 0);

    // 前进N根 with the box's 10 bars, then play and pause with Space.
    const int before = f.Store().nIndex;
    key(Qt::Key_M);
    EXPECT_EQ(f.Store().nIndex, before + 10);
    key(Qt::Key_Space);
    EXPECT_TRUE(f.Playing());
    EXPECT_EQ(w->Trades()->play->text(), QStringLiteral("暂停(&Play)"));
    key(Qt::Key_Space);
    EXPECT_FALSE(f.Playing());
    w->close();
    delete w;
}

} // namespace
} // namespace vantor::test
