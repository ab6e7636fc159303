// The formula editor, its parameter dialog and the indicator panel driven on the offscreen
// platform: typed fields, button clicks and a double click, then the text, the library and the
// chart's window title read back.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <fstream>
#include <functional>

#include "temp_dir.h"
#include "chart/chart_window.h"
#include "chart/color_words.h"
#include "library/formula_library.h"
#include "practice/program_folder.h"
#include "ui/formula_editor.h"
#include "ui/formula_input.h"
#include "ui/indicator_tree.h"
#include "ui/main_window.h"

namespace vantor::test {
namespace {

// Runs `act` on the first modal dialog of type T that opens (polling the event loop), and
// records the text of every message box it answers with `answer`.
template <class T> class ModalDriver {
public:
    ModalDriver(std::function<void(T*)> act, QMessageBox::StandardButton answer = QMessageBox::Ok)
        : act_(std::move(act)), answer_(answer) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* w = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                boxes.push_back(box->text().toStdString());
                QAbstractButton* b = box->button(answer_);
                if (b) b->click();
                return;
            }
            if (auto* t = qobject_cast<T*>(w); t && !done_) {
                done_ = true;
                act_(t);
            }
        });
        timer_.start(10);
    }
    std::vector<std::string> boxes;

private:
    std::function<void(T*)> act_;
    QMessageBox::StandardButton answer_;
    bool done_ = false;
    QTimer timer_;
};

// Types text the way a keyboard delivers it, Chinese included.
void Type(QWidget* w, const QString& text) {
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
    }
}

std::string Text(QPlainTextEdit* e) {
    return e->toPlainText().toStdString();
}

TEST(FormulaEditor, HeaderFieldsFollowTheTextAndWriteItBack) {
    TEditFunc1 ed;
    ed.Memo1()->setPlainText("TECHNAME:=macd;\nTECHTITLE:=平滑;\nDRAWK:=TRUE;\nA:C;");
    ed.show();
    EXPECT_EQ(ed.Name()->text(), "MACD");
    EXPECT_EQ(ed.Title()->text(), QStringLiteral("平滑"));
    EXPECT_TRUE(ed.drawk()->isChecked());

    QTest::keyClicks(ed.Name(), "x");
    QTest::mouseClick(ed.drawk(), Qt::LeftButton);
    EXPECT_EQ(Text(ed.Memo1()), "TECHNAME:=MACDX;\nTECHTITLE:=平滑;\nDRAWK:=FALSE;\nA:C;");

    // A text without a TECHNAME line empties the field; the first edit appends the line.
    TEditFunc1 bare;
    bare.Name()->setText("OLD");
    bare.Memo1()->setPlainText("A:C;");
    bare.show();
    EXPECT_TRUE(bare.Name()->text().isEmpty());
    QTest::keyClicks(bare.Name(), "n");
    Type(bare.Title(), QStringLiteral("标题"));
    EXPECT_EQ(Text(bare.Memo1()), "A:C;\nTECHNAME:=N;\nTECHTITLE:=标题;");
}

TEST(FormulaEditor, InsertedColourShowsAsPicked) {
    TEditFunc1 ed;
    ed.chooseColour = [] { return QColor(255, 128, 0); };
    ed.Memo1()->setPlainText("A:C");
    ed.Memo1()->moveCursor(QTextCursor::End);
    ed.Button("插入颜色")->click();
    EXPECT_EQ(Text(ed.Memo1()), "A:C,COLOR0080FF");
    // The renderer reads the word back as the colour that was chosen ($00BBGGRR).
    EXPECT_EQ(ColorOfWord("COLOR0080FF"), 0x000080FFu);
    ed.chooseColour = [] { return QColor(); }; // cancelled
    ed.Button("插入颜色")->click();
    EXPECT_EQ(Text(ed.Memo1()), "A:C,COLOR0080FF");
}

TEST(FormulaEditor, ConvertUpperCaseClearAndReference) {
    TEditFunc1 ed;
    ed.Memo2()->setPlainText("X:BIAO(CLOSE,>,OPEN)\nY:BIAO(A,&,B) + 1\nZ:MA(C,5);");
    ed.Button("转换")->click();
    EXPECT_EQ(Text(ed.Memo2()), "X:CLOSE>OPEN;\nY:A and B + 1;\nZ:MA(C,5);");

    ed.Memo1()->setPlainText("a:ma(c,5);{均线}");
    ed.Button("大写")->click();
    EXPECT_EQ(Text(ed.Memo1()), "A:MA(C,5);{均线}");

    auto items = ed.Funclist()->findItems("MA", Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    ed.Funclist()->setCurrentItem(items[0]);
    EXPECT_TRUE(Text(ed.Memo2()).starts_with("MA 简单移动平均\n")) << Text(ed.Memo2());
    // The list is sorted.
    for (int i = 1; i < ed.Funclist()->count(); ++i)
        EXPECT_LE(ed.Funclist()->item(i - 1)->text(), ed.Funclist()->item(i)->text());

    ed.Title()->setText("T");
    ed.Button("清除")->click();
    EXPECT_TRUE(ed.Memo1()->toPlainText().isEmpty());
    EXPECT_TRUE(ed.Title()->text().isEmpty());
    EXPECT_FALSE(ed.drawk()->isChecked());
}

TEST(FormulaEditor, TestPassesOrSelectsTheFailingLine) {
    TEditFunc1 ed;
    ed.Memo1()->setPlainText("A:MA(CLOSE,3);\nB:DYNAINFO(7);");
    ed.Button("测试公式")->click();
    EXPECT_TRUE(Text(ed.Memo2()).ends_with("===============\n测试通过")) << Text(ed.Memo2());

    ed.Memo1()->setPlainText("A:MA(CLOSE,3);\nB:MA((CLOSE,3);\nC:O;");
    ed.Button("测试公式")->click();
    EXPECT_TRUE(Text(ed.Memo2()).ends_with("===============\n测试错误")) << Text(ed.Memo2());
    EXPECT_EQ(ed.Memo1()->textCursor().selectedText(), "B:MA((CLOSE,3);");
}

TEST(FormulaEditor, OkDropsBlankLinesAndAsksBeforeKeepingABrokenText) {
    TEditFunc1 ed;
    ed.Memo1()->setPlainText("A:C;\n\n  \nB:O;\n");
    ed.Button("确定")->click();
    EXPECT_EQ(ed.result(), QDialog::Accepted);
    EXPECT_EQ(Text(ed.Memo1()), "A:C;\nB:O;\n");

    TEditFunc1 broken;
    broken.show();
    broken.Memo1()->setPlainText("A:MA((C,3);");
    {
        ModalDriver<TEditFunc1> no([](TEditFunc1*) {}, QMessageBox::No);
        broken.Button("确定")->click();
        ASSERT_EQ(no.boxes.size(), 1u);
        EXPECT_NE(no.boxes[0].find("是否仍然保存"), std::string::npos);
    }
    EXPECT_TRUE(broken.isVisible()); // No: the editor stays open
    ModalDriver<TEditFunc1> yes([](TEditFunc1*) {}, QMessageBox::Yes);
    broken.Button("确定")->click();
    EXPECT_EQ(broken.result(), QDialog::Accepted);
}

TEST(FormulaInput, RefusesAnEmptyNameAndAMaximumBelowTheMinimum) {
    TFInput in;
    in.show();
    EXPECT_EQ(in.size(), QSize(383, 120));
    {
        ModalDriver<TFInput> boxes([](TFInput*) {});
        in.OkButton()->click();
        in.Name()->setText("n");
        in.Fmin()->setValue(50);
        in.Fmax()->setValue(10);
        in.OkButton()->click();
        EXPECT_EQ(boxes.boxes,
                  (std::vector<std::string>{"请输入参数名！", "最大值不能大于最小值!"}));
    }
    EXPECT_TRUE(in.isVisible());
    EXPECT_EQ(in.FValue()->maximum(), 10); // the maximum bounds the value
    in.FValue()->setValue(7);
    EXPECT_EQ(in.Fcur()->value(), 7);
}

TEST(FormulaEditor, InsertParameterPutsTheDeclarationFirst) {
    TEditFunc1 ed;
    ed.Memo1()->setPlainText("A:MA(C,N);");
    ModalDriver<TFInput> fill([](TFInput* in) {
        QTest::keyClicks(in->Name(), "n");
        in->Fmin()->setValue(1);
        in->Fmax()->setValue(100);
        in->FValue()->setValue(20);
        in->OkButton()->click();
    });
    ed.Button("插入参数")->click();
    EXPECT_EQ(Text(ed.Memo1()), "N:=INPUT(1,100,20,20);\nA:MA(C,N);");
}

QModelIndex FindNode(QTreeView* view, const QString& text) {
    auto* model = static_cast<QStandardItemModel*>(view->model());
    auto found = model->findItems(text, Qt::MatchStartsWith | Qt::MatchRecursive);
    return found.isEmpty() ? QModelIndex() : found[0]->index();
}

TEST(IndicatorPanel, CreateFromTheTreeThenLoadByDoubleClick) {
    TempDir dir;
    std::string error;
    ASSERT_TRUE(SeedProgramFolder(VANTOR_SAMPLE_DIR, dir.path(), error)) << error;
    std::ofstream(dir.path() + "/config.ini") << "[学员]\n初始资金=1000000\n";
    auto* w = new MainWindow(dir.path(), "学员");
    w->resize(1280, 800);
    {
        ModalDriver<QWidget> answer([](QWidget*) {}, QMessageBox::Yes);
        w->show();
        w->Start();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    }
    IndicatorPanel* panel = w->Indicators();
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isVisible()); // the panel starts hidden; the tool button shows it
    QAction* button = w->PeriodBar()->findChild<QAction*>("ToolButton54");
    ASSERT_NE(button, nullptr);
    button->trigger();
    EXPECT_TRUE(panel->isVisible());

    QTreeView* view = panel->View();
    QModelIndex trend = FindNode(view, QStringLiteral("趋势"));
    ASSERT_TRUE(trend.isValid());
    view->setCurrentIndex(trend);
    emit panel->ContextMenu()->aboutToShow();
    QAction* edit = panel->ContextMenu()->actions().at(0);
    EXPECT_EQ(edit->text(), QStringLiteral("新建指标"));
    {
        ModalDriver<TEditFunc1> type([](TEditFunc1* ed) {
            ed->Memo1()->setPlainText("N:=INPUT(1,100,7,7);\nA:MA(CLOSE,N);");
            QTest::keyClicks(ed->Name(), "mytest");
            Type(ed->Title(), QStringLiteral("我的 均线"));
            ed->Button("确定")->click();
        });
        edit->trigger();
    }
    TFormulaLibrary lib;
    ASSERT_TRUE(lib.OpenExisting(dir.file(kLibraryFile)));
    LibraryFormula f;
    ASSERT_TRUE(lib.Find("MYTEST", f));
    EXPECT_EQ(f.category, "趋势");
    EXPECT_EQ(f.title, "我的 均线");

    QModelIndex node = FindNode(view, QStringLiteral("MYTEST 我的 均线"));
    ASSERT_TRUE(node.isValid());
    EXPECT_EQ(view->currentIndex(), node);
    w->Form().Chart().SetCurWin(2);
    view->scrollTo(node);
    QApplication::processEvents();
    const QPoint at = view->visualRect(node).center();
    // The click before lets the view see a press on the node, as a real double click does.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    ChartWindow* cur = w->Form().Chart().CurrentWindow();
    ASSERT_NE(cur, nullptr);
    EXPECT_NE(WindowTitle(*cur).find("MYTEST(7)"), std::string::npos) << WindowTitle(*cur);

    // 删除公式: No keeps it, Yes removes the row and the node.
    view->setCurrentIndex(node);
    {
        ModalDriver<QWidget> no([](QWidget*) {}, QMessageBox::No);
        panel->ContextMenu()->actions().at(2)->trigger();
        ASSERT_EQ(no.boxes, (std::vector<std::string>{"是否删除公式:MYTEST？"}));
    }
    EXPECT_TRUE(lib.Find("MYTEST", f));
    {
        ModalDriver<QWidget> yes([](QWidget*) {}, QMessageBox::Yes);
        panel->ContextMenu()->actions().at(2)->trigger();
    }
    EXPECT_FALSE(lib.Find("MYTEST", f));
    EXPECT_FALSE(FindNode(view, QStringLiteral("MYTEST")).isValid());

    QTest::mouseClick(panel->findChild<QWidget*>("btnSPB21"), Qt::LeftButton);
    EXPECT_FALSE(panel->isVisible());
    w->Form().Controls().tips = 1;
    {
        ModalDriver<QWidget> answer([](QWidget*) {}, QMessageBox::Yes);
        w->close();
    }
    delete w;
}

TEST(IndicatorPanel, AnUnreadableLibraryLeavesTheProgramWithoutTheTree) {
    TempDir dir;
    std::string error;
    ASSERT_TRUE(SeedProgramFolder(VANTOR_SAMPLE_DIR, dir.path(), error)) << error;
    std::ofstream(dir.file(kLibraryFile)) << "not a library at all, just a line of plain text";
    ModalDriver<QWidget> boxes([](QWidget*) {});
    MainWindow w(dir.path(), "学员");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].find("公式库无法打开"), std::string::npos) << boxes.boxes[0];
    EXPECT_EQ(w.Indicators(), nullptr);
    EXPECT_FALSE(w.PeriodBar()->findChild<QAction*>("ToolButton54")->isEnabled());
}

} // namespace
} // namespace vantor::test
