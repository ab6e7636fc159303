// The import dialog "数据更新插件" driven from the main window's menu: the TDX fixtures
// imported with progress and summary, the new codes in the code box and in 手续费设置, a long
// generated import cancelled by closing the dialog, the CSV page, and the folder messages.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "box_watcher.h"
#include "market/data_files.h"
#include "practice/program_folder.h"
#include "temp_dir.h"
#include "ui/import_dialog.h"
#include "ui/main_window.h"
#include "ui/sxf_dialog.h"

namespace vantor::test {
namespace {

namespace fs = std::filesystem;

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A seeded program folder and the started main window on it (base period 日线).
struct Desk {
    TempDir dir;
    std::unique_ptr<MainWindow> w;
    explicit Desk(const std::string& extra = "") {
        std::string error;
        EXPECT_TRUE(SeedProgramFolder(VANTOR_SAMPLE_DIR, dir.path(), error)) << error;
        std::ofstream(dir.path() + "/config.ini") << "[学员]\n初始资金=1000000\n周期=1\n" << extra;
        w = std::make_unique<MainWindow>(dir.path(), "学员");
        w->show();
        w->Start();
    }
    ImportDialog* OpenImport() {
        MenuAction(w->ToolsMenu(), "数据导入")->trigger();
        return w->Import();
    }
};

bool WaitIdle(ImportDialog* d, int ms = 30000) {
    return QTest::qWaitFor([d] { return !d->Busy(); }, ms);
}

TEST(ImportDialog, TdxFixturesImportWithProgressAndTheNewCodesAreListed) {
    BoxWatcher boxes;
    Desk desk;
    ImportDialog* d = desk.OpenImport();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("数据更新插件"));
    EXPECT_FALSE(desk.w->CodeList().contains("CF7D0LAO"));

    d->path->setText(VANTOR_TDX_FIXTURES);
    QTest::keyClicks(d->filter, "cf7d0, 000001");
    QTest::mouseClick(d->day, Qt::LeftButton);
    EXPECT_FALSE(d->day->isEnabled()); // until the whole group has finished
    ASSERT_TRUE(WaitIdle(d));
    EXPECT_TRUE(d->day->isEnabled() && d->minute->isEnabled());
    EXPECT_EQ(d->progress->maximum(), 3);
    EXPECT_EQ(d->progress->value(), 3);
    EXPECT_TRUE(d->progressLabel->text().endsWith(".day"))
        << d->progressLabel->text().toStdString();
    EXPECT_TRUE(boxes.Saw("数据导出完毕！已转换 3 个文件，跳过 0 个，失败 0 个。"));
    PictureForDocs(d, "import_dialog");
    // The sample's SH000001.txt is the file the index's day file replaces.
    for (const char* code : {"CF7D0LAO", "CF7D0LLS", "sh000001"})
        EXPECT_TRUE(
            fs::exists(FindPathNoCase(desk.dir.path(), std::string("daydata/") + code + ".txt")))
            << code;

    // The code box lists the new files at once, and so does 手续费设置's 载入商品.
    EXPECT_TRUE(desk.w->CodeList().contains("CF7D0LAO"));
    EXPECT_TRUE(desk.w->CodeList().contains("CF7D0LLS"));
    MenuAction(desk.w->ToolsMenu(), "费率设置")->trigger();
    auto* sxf = desk.w->findChild<SxfDialog*>();
    ASSERT_NE(sxf, nullptr);
    QTest::mouseClick(sxf->load, Qt::LeftButton);
    const auto& codes = sxf->Editor().codes;
    EXPECT_NE(std::find(codes.begin(), codes.end(), "CF7D0LLS"), codes.end());
    sxf->close();

    // Closing the dialog keeps both boxes in [set].
    d->close();
    const std::string ini = Read(desk.dir.path() + "/config.ini");
    EXPECT_NE(ini.find(std::string("path=") + VANTOR_TDX_FIXTURES), std::string::npos) << ini;
    EXPECT_NE(ini.find("Name=cf7d0, 000001"), std::string::npos) << ini;
    // ... and shows them again the next time.
    ImportDialog* again = desk.OpenImport();
    EXPECT_EQ(again->filter->text(), QStringLiteral("cf7d0, 000001"));
}

// TDX minute records of one day, the close rising by one each minute.
std::string MinuteRecords(int count) {
    std::string bytes(32 * static_cast<std::size_t>(count), '\0');
    for (int m = 0; m < count; ++m) {
        const std::uint16_t date = 22838, minutes = static_cast<std::uint16_t>(m % 1440);
        const float price = 100.0f + static_cast<float>(m % 1000);
        std::memcpy(&bytes[32 * m], &date, 2);
        std::memcpy(&bytes[32 * m + 2], &minutes, 2);
        for (int f = 0; f < 4; ++f) std::memcpy(&bytes[32 * m + 4 + 4 * f], &price, 4);
    }
    return bytes;
}

TEST(ImportDialog, ClosingDuringALongImportCancelsTheRestAndLeavesWholeFiles) {
    // One worker: the large first file is being converted when the dialog is closed, the
    // fifty small ones after it are queued. How many of them a fast machine finishes before
    // the cancel arrives varies; what must hold is that every file is either whole or not
    // written at all, and that the report counts exactly the files written.
    TempDir tdx;
    const fs::path minline = fs::path(tdx.path()) / "Vipdoc/ds/minline";
    fs::create_directories(minline);
    constexpr int kLarge = 1000000, kSmall = 50, kSmallRecords = 100;
    std::ofstream(minline / "47#A0001.lc1", std::ios::binary) << MinuteRecords(kLarge);
    const std::string small = MinuteRecords(kSmallRecords);
    for (int i = 0; i < kSmall; ++i)
        std::ofstream(minline / ("47#G" + std::to_string(1000 + i) + ".lc1"), std::ios::binary)
            << small;

    BoxWatcher boxes(QMessageBox::Yes, 1); // answers at once: the worker goes on meanwhile
    Desk desk;
    ImportDialog* d = desk.OpenImport();
    d->threads = 1;
    d->path->setText(QString::fromStdString(tdx.path()));
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(1);
    QTest::mouseClick(d->minute, Qt::LeftButton);
    // The event loop runs while the worker converts (QTRY_VERIFY would wait 50 ms at once).
    QElapsedTimer waited;
    waited.start();
    while (ticks == 0 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    EXPECT_GT(ticks, 0);
    ASSERT_TRUE(d->Busy());
    d->close(); // asks; answered Yes: the rest is cancelled, the file being converted finished
    EXPECT_FALSE(d->Busy());
    EXPECT_FALSE(d->isVisible());
    EXPECT_TRUE(boxes.Saw("数据导出正在进行，确定要停止吗？未开始的文件将不再导出。"));

    // The files on disk: the large one whole, any small ones whole, nothing half-written.
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadLines(desk.dir.path() + "/mindata/A0001.txt", lines));
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(kLarge));
    EXPECT_EQ(lines.back(), "20150310,1039,1099.0000,1099.0000,1099.0000,1099.0000,0.0000,0.0000");
    int written = 0; // small files
    for (const auto& e : fs::directory_iterator(desk.dir.path() + "/mindata")) {
        const std::string name = e.path().filename().string();
        EXPECT_EQ(name.find(".part"), std::string::npos) << name;
        if (name.rfind("G", 0) != 0) continue; // the sample data seeded in the folder
        ++written;
        ASSERT_TRUE(ReadLines(e.path().string(), lines)) << name;
        EXPECT_EQ(lines.size(), static_cast<std::size_t>(kSmallRecords)) << name;
    }
    const int cancelled = kSmall - written;
    ASSERT_GT(cancelled, 0) << "every file finished before the dialog was closed";
    const std::string counts = "数据导出已取消！已转换 " + std::to_string(1 + written) +
                               " 个文件，跳过 0 个，失败 0 个。未导出 " +
                               std::to_string(cancelled) + " 个。";
    EXPECT_EQ(boxes.Starting("数据导出已取消！").rfind(counts, 0), 0u)
        << boxes.Starting("数据导出已取消！");
}

TEST(ImportDialog, CsvPageImportsTheGoodFilesAndNamesTheBadOne) {
    TempDir src;
    std::ofstream(src.file("ab2412.csv"))
        << "Date,Time,Open,High,Low,Close,Volume\n2024-09-27,09:31,10,12,9,11,100\n"
           "2024-09-27,09:32,11,13,10,12,200\n";
    std::ofstream(src.file("bad.csv")) << "date,open,high,low,close\n20240927,10,8,9,9\n";
    BoxWatcher boxes;
    Desk desk;
    ImportDialog* d = desk.OpenImport();
    d->pages->setCurrentIndex(1);
    d->AddCsvFiles({QString::fromStdString(src.file("ab2412.csv")),
                    QString::fromStdString(src.file("bad.csv"))});
    QTest::mouseClick(d->csvImport, Qt::LeftButton);
    ASSERT_TRUE(WaitIdle(d));
    EXPECT_EQ(d->csvProgress->value(), 1000);
    const std::string text = boxes.Starting("数据导入未全部完成！");
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.find("bad.csv"), std::string::npos) << text;
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadLines(desk.dir.path() + "/mindata/AB2412.txt", lines));
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_FALSE(fs::exists(desk.dir.path() + "/daydata/BAD.txt"));
    // The base period is 日线: the minute file is not in the code box's list.
    EXPECT_FALSE(desk.w->CodeList().contains("AB2412"));
}

TEST(ImportDialog, FoldersWithoutFilesAreSaid) {
    TempDir tdx;
    fs::create_directories(fs::path(tdx.path()) / "Vipdoc/ds/lday");
    BoxWatcher boxes;
    Desk desk;
    ImportDialog* d = desk.OpenImport();
    struct Case {
        std::string path;
        QPushButton* button;
        std::string message;
    } cases[] = {
        {tdx.path(), d->day, "数据文件夹中没有文件：" + tdx.path() + "/Vipdoc/ds/lday"},
        {tdx.path(), d->minute, "找不到数据文件夹：" + tdx.path() + "/Vipdoc/ds/minline"},
        {tdx.path() + "/nowhere", d->day,
         "找不到数据文件夹：" + tdx.path() + "/nowhere/Vipdoc/ds/lday"},
    };
    for (const Case& c : cases) {
        d->path->setText(QString::fromStdString(c.path));
        QTest::mouseClick(c.button, Qt::LeftButton);
        ASSERT_TRUE(WaitIdle(d));
        EXPECT_TRUE(QTest::qWaitFor([&] { return boxes.Saw(c.message); }, 2000)) << c.message;
        EXPECT_TRUE(c.button->isEnabled());
    }
}

} // namespace
} // namespace vantor::test
