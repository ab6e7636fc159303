// 下载配置 against the loopback file service of the remote tests: a download that replaces
// sxf.db and applies the instrument's contract again, a refusal, a silent service that times
// out while the window keeps running, a cancel, no configured address, and closing the main
// window while a download runs.

#include <gtest/gtest.h>

#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "temp_dir.h"
#include "../remote/test_server.h"
#include "account/sxf.h"
#include "account/sxf_editor.h"
#include "box_watcher.h"
#include "market/data_files.h"
#include "practice/program_folder.h"
#include "ui/download.h"
#include "ui/main_window.h"

namespace vantor::test {
namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A parameter database whose only row gives `code` the multiplier 77.
std::string DatabaseWith(const std::string& code) {
    TempDir dir;
    std::string error;
    EXPECT_TRUE(EnsureSxfDatabase(dir.path(), error)) << error;
    TSxfEditor editor(dir.path());
    editor.codes = {code};
    EXPECT_TRUE(editor.ReplaceAll({"77", "15", "0.3", "0.3"})) << editor.sError;
    return Read(SxfDatabasePath(dir.path()));
}

struct Desk {
    TempDir dir;
    std::unique_ptr<MainWindow> w;
    explicit Desk(const std::string& service) {
        std::string error;
        EXPECT_TRUE(SeedProgramFolder(VANTOR_SAMPLE_DIR, dir.path(), error)) << error;
        std::ofstream(dir.path() + "/config.ini") << "[学员]\n初始资金=1000000\n" << service;
        w = std::make_unique<MainWindow>(dir.path(), "学员");
        w->show();
        w->Start();
    }
    std::string Db() const { return Read(SxfDatabasePath(dir.path())); }
    bool Download(int ioTimeoutMs = 5000) {
        w->Download()->ioTimeoutMs = ioTimeoutMs;
        MenuAction(w->ToolsMenu(), "下载配置")->trigger();
        return QTest::qWaitFor([this] { return !w->Download()->Busy(); }, 20000);
    }
};

std::string ServiceAt(int port) {
    return "[文件服务]\n地址=127.0.0.1\n端口=" + std::to_string(port) + "\n";
}

TEST(ConfigDownload, ReplacesTheDatabaseAndAppliesTheContractAgain) {
    BoxWatcher boxes;
    FakeFileService service;
    TestServer server([&](const TMsgPack& r) { return service(r); });
    Desk desk(ServiceAt(server.port()));
    const std::string code = TrimBlanks(desk.w->Form().Controls().codeBox);
    ASSERT_FALSE(code.empty());
    ASSERT_NE(desk.w->Form().Account().sxf.nhycs, 77);
    service.files["/data/sxf.db"] = DatabaseWith(code);
    service.chunk = 1000; // several answers

    ASSERT_TRUE(desk.Download());
    EXPECT_TRUE(QTest::qWaitFor([&] { return boxes.Saw("下载文件成功!"); }, 2000))
        << ::testing::PrintToString(boxes.texts);
    EXPECT_TRUE(desk.Db() == service.files["/data/sxf.db"]);
    EXPECT_EQ(desk.w->Form().Account().sxf.nhycs, 77);
    EXPECT_DOUBLE_EQ(desk.w->Form().Account().sxf.fBzjbl, 0.15);
    EXPECT_EQ(desk.w->Download()->Progress(), nullptr);
}

TEST(ConfigDownload, FailuresAreShownAndLeaveTheDatabase) {
    struct Case {
        const char* what;
        bool silent;
        bool cancel;
        std::string message;
    } cases[] = {
        {"refused", false, false, "没有访问权限"},
        {"silent service", true, false, "等待服务器应答超时!"},
        {"cancelled", true, true, "下载已取消。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BoxWatcher boxes;
        TestServer server([&](const TMsgPack&) -> std::optional<std::string> {
            if (c.silent) return std::nullopt;
            return Frame(Answer(false, "没有访问权限"));
        });
        Desk desk(ServiceAt(server.port()));
        const std::string before = desk.Db();
        // Long enough that a loaded machine still sees the worker waiting after 300 ms.
        desk.w->Download()->ioTimeoutMs = 2500;
        MenuAction(desk.w->ToolsMenu(), "下载配置")->trigger();
        if (c.silent) {
            // The window keeps running while the worker waits for the service.
            QProgressDialog* progress = desk.w->Download()->Progress();
            ASSERT_NE(progress, nullptr);
            EXPECT_TRUE(progress->isVisible());
            int ticks = 0;
            QTimer tick;
            QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
            tick.start(5);
            QTest::qWait(300);
            EXPECT_TRUE(desk.w->Download()->Busy());
            EXPECT_GT(ticks, 10);
            PictureForDocs(progress, "download");
            if (c.cancel) {
                auto* button = progress->findChild<QPushButton*>();
                ASSERT_NE(button, nullptr);
                QTest::mouseClick(button, Qt::LeftButton); // 取消
            }
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return !desk.w->Download()->Busy(); }, 20000));
        EXPECT_TRUE(QTest::qWaitFor([&] { return boxes.Saw(c.message); }, 2000))
            << ::testing::PrintToString(boxes.texts);
        EXPECT_TRUE(desk.Db() == before);
    }
}

TEST(ConfigDownload, WithoutAnAddressSaysWhereToSetIt) {
    BoxWatcher boxes;
    Desk desk("");
    ASSERT_TRUE(desk.Download());
    const std::string text = boxes.Starting("没有设置文件服务的地址");
    EXPECT_NE(text.find(desk.w->Form().ConfigPath()), std::string::npos) << text;
    EXPECT_NE(text.find("[文件服务]"), std::string::npos) << text;
}

TEST(ConfigDownload, ClosingTheMainWindowAsksAndWaitsForTheWorker) {
    BoxWatcher boxes;
    TestServer server([](const TMsgPack&) -> std::optional<std::string> { return std::nullopt; });
    Desk desk(ServiceAt(server.port()));
    desk.w->Download()->ioTimeoutMs = 1000;
    MenuAction(desk.w->ToolsMenu(), "下载配置")->trigger();
    ASSERT_TRUE(desk.w->Download()->Busy());

    // Answered No: the window and the download go on.
    boxes.decide = [](const std::string&) { return QMessageBox::No; };
    EXPECT_FALSE(desk.w->close());
    EXPECT_TRUE(boxes.Saw("数据导入或下载正在进行，退出将停止它。确定要退出吗？"));
    EXPECT_TRUE(desk.w->Download()->Busy());

    boxes.decide = nullptr; // Yes
    EXPECT_TRUE(desk.w->close());
    EXPECT_FALSE(desk.w->Download()->Busy());
    EXPECT_TRUE(boxes.Saw("确定要退出吗？ "));
    EXPECT_FALSE(boxes.Saw("等待服务器应答超时!")); // stopped for closing: nothing more said
}

} // namespace
} // namespace vantor::test
