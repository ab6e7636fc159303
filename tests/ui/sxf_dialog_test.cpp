// 手续费设置 on a temporary sxf.db: 载入商品 and the rows it shows, 查询, a row click, 修改选中
// on several rows, 全部修改, the margin box rule, and a new always-on-top window per menu use.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "temp_dir.h"
#include "account/sqlite_db.h"
#include "account/sxf.h"
#include "box_watcher.h"
#include "ui/sxf_dialog.h"

namespace vantor::test {
namespace {

// The stored rows: code → the four values as text.
std::map<std::string, std::vector<std::string>> Rows(const std::string& dir) {
    std::map<std::string, std::vector<std::string>> rows;
    SqlDatabase db;
    EXPECT_TRUE(db.Open(SxfDatabasePath(dir), SqlDatabase::Mode::Existing));
    db.Query("select scode, shycs, sbzjbl, smrf, smcf from tblsxf", {}, [&](const SqlStatement& r) {
        rows[r.Text(0)] = {r.Text(1), r.Text(2), r.Text(3), r.Text(4)};
    });
    return rows;
}

struct Folder {
    TempDir dir;
    Folder() {
        std::string error;
        EXPECT_TRUE(EnsureSxfDatabase(dir.path(), error)) << error;
        SqlDatabase db;
        EXPECT_TRUE(db.Open(SxfDatabasePath(dir.path()), SqlDatabase::Mode::Existing));
        EXPECT_TRUE(db.Exec("INSERT INTO tblsxf VALUES ('IF1509','300','12','0.25','0.25','A'),"
                            "('RB1601','10','8','1','1','B')"));
        db.Close();
        for (const char* f : {"daydata/IF1509.txt", "daydata/RB1601.txt", "mindata/CU1602.txt",
                              "mindata/IF1509.txt"}) {
            std::filesystem::create_directories(std::filesystem::path(dir.file(f)).parent_path());
            std::ofstream(dir.file(f)) << "20150310,1,1,1,1,1,1\n";
        }
    }
};

std::string Cell(SxfDialog& d, int row, int column) {
    return d.table->model()->index(row, column).data().toString().toStdString();
}

void Type(QLineEdit* box, const char* text) {
    box->selectAll();
    QTest::keyClicks(box, text);
}

void ClickRow(SxfDialog& d, int row, Qt::KeyboardModifiers mods = {}) {
    QTableView* t = d.table;
    const QRect r = t->visualRect(t->model()->index(row, 1));
    QTest::mouseClick(t->viewport(), Qt::LeftButton, mods, r.center());
}

TEST(SxfDialog, LoadQueryAndRowClick) {
    Folder f;
    BoxWatcher boxes;
    SxfDialog d(f.dir.path());
    d.show();
    EXPECT_TRUE(d.windowFlags() & Qt::WindowStaysOnTopHint);
    QTest::mouseClick(d.load, Qt::LeftButton);
    // Day codes, then minute codes, duplicates kept; the first one is in the code box.
    EXPECT_EQ(d.Editor().codes, (std::vector<std::string>{"IF1509", "RB1601", "CU1602", "IF1509"}));
    ASSERT_EQ(d.table->model()->rowCount(), 4);
    EXPECT_EQ(d.code->currentText(), QStringLiteral("IF1509"));
    EXPECT_EQ(d.table->model()->headerData(4, Qt::Horizontal).toString(),
              QStringLiteral("平仓费率"));
    EXPECT_EQ(Cell(d, 0, 1), "300.00");
    EXPECT_EQ(Cell(d, 0, 2), "12.00");
    EXPECT_EQ(Cell(d, 2, 0), "CU1602");
    EXPECT_EQ(Cell(d, 2, 3), "0");

    // Typed lower case, looked up upper case.
    d.code->lineEdit()->clear();
    QTest::keyClicks(d.code->lineEdit(), "rb1601");
    EXPECT_EQ(d.code->currentText(), QStringLiteral("RB1601"));
    QTest::mouseClick(d.query, Qt::LeftButton);
    EXPECT_EQ(d.boxes[0]->text(), QStringLiteral("10"));
    EXPECT_EQ(d.boxes[1]->text(), QStringLiteral("8.00"));
    EXPECT_EQ(d.boxes[2]->text(), QStringLiteral("1.00"));

    // A code without a row: the message, and the boxes keep their text.
    d.code->lineEdit()->clear();
    QTest::keyClicks(d.code->lineEdit(), "cu1602");
    QTest::mouseClick(d.query, Qt::LeftButton);
    EXPECT_EQ(boxes.Starting("当前品种"),
              "当前品种  CU1602  没有找到交易参数，即将用默认参数交易！  \r\n"
              "  修改请在菜单->工具->费率设置->中进行");
    EXPECT_EQ(d.boxes[0]->text(), QStringLiteral("10"));

    ClickRow(d, 0);
    EXPECT_EQ(d.boxes[0]->text(), QStringLiteral("300.00"));
    EXPECT_EQ(d.boxes[3]->text(), QStringLiteral("0.25"));
    PictureForDocs(&d, "sxf_dialog");

    // Typing 0 into the margin box turns it into 5 at once.
    Type(d.boxes[1], "0");
    EXPECT_EQ(d.boxes[1]->text(), QStringLiteral("5"));
}

TEST(SxfDialog, UpdateSelectedAndReplaceAll) {
    Folder f;
    BoxWatcher boxes;
    SxfDialog d(f.dir.path());
    d.show();
    QTest::mouseClick(d.load, Qt::LeftButton);
    // Rows RB1601 and CU1602 selected (a click copies the row into the boxes), then the
    // values typed: RB1601 changes, CU1602 (no row) is not added.
    ClickRow(d, 1);
    ClickRow(d, 2, Qt::ControlModifier);
    EXPECT_EQ(d.table->selectionModel()->selectedRows().size(), 2);
    EXPECT_EQ(d.boxes[0]->text(), QStringLiteral("0"));
    Type(d.boxes[0], "200");
    Type(d.boxes[1], "15");
    Type(d.boxes[2], "0.5");
    Type(d.boxes[3], "0.6");
    QTest::mouseClick(d.updateSelected, Qt::LeftButton);
    EXPECT_TRUE(boxes.Saw("修改选中列表？"));
    EXPECT_TRUE(boxes.Saw("手续费保存成功！"));
    auto rows = Rows(f.dir.path());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows["RB1601"], (std::vector<std::string>{"200", "15", "0.5", "0.6"}));
    EXPECT_EQ(rows["IF1509"], (std::vector<std::string>{"300", "12", "0.25", "0.25"}));
    EXPECT_EQ(Cell(d, 1, 1), "200.00"); // the list shows the saved row

    // Answered No: nothing changes.
    boxes.decide = [](const std::string&) { return QMessageBox::No; };
    QTest::mouseClick(d.replaceAll, Qt::LeftButton);
    EXPECT_TRUE(boxes.Saw("确认全部修改？此操作无法恢复"));
    EXPECT_EQ(Rows(f.dir.path()).size(), 2u);

    boxes.decide = nullptr;
    Type(d.boxes[0], "5");
    QTest::mouseClick(d.replaceAll, Qt::LeftButton);
    rows = Rows(f.dir.path());
    EXPECT_EQ(rows.size(), 3u); // IF1509 twice in the list, one row each: the first counts
    for (const char* code : {"IF1509", "RB1601", "CU1602"})
        EXPECT_EQ(rows[code], (std::vector<std::string>{"5", "15", "0.5", "0.6"})) << code;
    SqlDatabase db;
    ASSERT_TRUE(db.Open(SxfDatabasePath(f.dir.path()), SqlDatabase::Mode::Existing));
    int count = 0;
    db.Query("select count(distinct sid) from tblsxf", {},
             [&](const SqlStatement& r) { count = std::stoi(r.Text(0)); });
    EXPECT_EQ(count, 4); // one row per listed code, each with its own identifier
}

} // namespace
} // namespace vantor::test
