// vantor [--home DIR] [--account NAME] [--screenshot FILE [--steps N]]
// The desktop program. Without --home the program folder is the executable's folder when it
// holds data, else ~/.local/share/vantor seeded with the sample data. --screenshot starts the
// real window (offscreen when there is no display), steps N bars (default 20), saves a PNG of
// the whole window, prints its path and exits.

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QInputDialog>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "market/data_files.h"
#include "practice/program_folder.h"
#include "practice/settings.h"
#include "ui/main_window.h"

namespace {

struct Options {
    std::string home, account, screenshot;
    int steps = 20;
};

int Usage(const char* error) {
    std::fprintf(stderr,
                 "vantor: %s\nusage: vantor [--home DIR] [--account NAME] "
                 "[--screenshot FILE [--steps N]]\n",
                 error);
    return 2;
}

std::string LoginName() {
    if (const char* u = std::getenv("USER"); u && *u) return u;
    if (const char* l = getlogin()) return l;
    return "trainee";
}

std::string FirstExisting(std::initializer_list<QString> candidates) {
    for (const QString& c : candidates)
        if (QFileInfo::exists(c)) return QDir::cleanPath(c).toStdString();
    return {};
}

} // namespace

int main(int argc, char** argv) {
    Q_INIT_RESOURCE(icons);
    Options opt;
    for (int i = 1; i < argc; ++i) {
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        std::string steps;
        if (!std::strcmp(argv[i], "--home")) {
            if (!value(opt.home)) return Usage("--home needs a folder");
        } else if (!std::strcmp(argv[i], "--account")) {
            if (!value(opt.account)) return Usage("--account needs a name");
        } else if (!std::strcmp(argv[i], "--screenshot")) {
            if (!value(opt.screenshot)) return Usage("--screenshot needs a file");
        } else if (!std::strcmp(argv[i], "--steps")) {
            if (!value(steps)) return Usage("--steps needs a number");
            char* end = nullptr;
            long n = std::strtol(steps.c_str(), &end, 10);
            if (*end || n < 0 || n > 100000)
                return Usage("--steps needs a number from 0 to 100000");
            opt.steps = static_cast<int>(n);
        } else {
            return Usage((std::string("unknown option ") + argv[i]).c_str());
        }
    }
    const bool screenshot = !opt.screenshot.empty();
    if (screenshot && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
        !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);

    QApplication app(argc, argv);
    QApplication::setApplicationName("vantor");
    QApplication::setWindowIcon(QIcon(":/vantor/vantor.svg"));
    const QString exeDir = QCoreApplication::applicationDirPath();
    const std::string sample =
        FirstExisting({exeDir + "/../share/vantor/sample", QStringLiteral(VANTOR_SOURCE_SAMPLE)});
    const std::string help =
        FirstExisting({exeDir + "/../share/vantor/help.html", QStringLiteral(VANTOR_SOURCE_HELP)});

    std::string error;
    const std::string home =
        vantor::ResolveProgramFolder(opt.home, exeDir.toStdString(), sample, error);
    if (!error.empty()) std::fprintf(stderr, "vantor: %s\n", error.c_str());

    vantor::ConfigFile config(vantor::FindPathNoCase(home, vantor::kConfigFileName));
    std::string account = opt.account;
    if (account.empty()) account = config.AccountName();
    if (account.empty()) {
        // First start: the account's name and the funds it starts with.
        account = LoginName();
        std::string funds = "1000000";
        if (!screenshot) {
            bool ok = false;
            QString name = QInputDialog::getText(nullptr, QStringLiteral("Vantor操盘训练系统"),
                                                 QStringLiteral("账户名称："), QLineEdit::Normal,
                                                 QString::fromStdString(account), &ok)
                               .trimmed();
            if (!ok) return 0;
            if (!name.isEmpty()) account = name.toStdString();
            const QStringList choices{"10000", "100000", "1000000", "10000000"};
            QString chosen =
                QInputDialog::getItem(nullptr, QStringLiteral("Vantor操盘训练系统"),
                                      QStringLiteral("初始资金："), choices, 2, true, &ok);
            if (ok && !chosen.trimmed().isEmpty()) funds = chosen.trimmed().toStdString();
        }
        if (!config.WriteKey(vantor::kSystemSection, "账户名称", account, error))
            std::fprintf(stderr, "vantor: %s\n", error.c_str());
        if (config.ReadKey(account, "初始资金").empty() &&
            !config.WriteKey(account, "初始资金", funds, error))
            std::fprintf(stderr, "vantor: %s\n", error.c_str());
    }

    vantor::MainWindow window(home, account, screenshot);
    window.Form().SetHelpFile(help);
    window.show();
    window.Start();
    if (!screenshot) return app.exec();

    QApplication::processEvents();
    for (int i = 0; i < opt.steps; ++i) window.Form().NextBar();
    QApplication::processEvents();
    if (!window.grab().save(QString::fromStdString(opt.screenshot))) {
        std::fprintf(stderr, "vantor: 无法写入图像文件: %s\n", opt.screenshot.c_str());
        return 1;
    }
    std::printf(
        "%s\n",
        QFileInfo(QString::fromStdString(opt.screenshot)).absoluteFilePath().toStdString().c_str());
    window.close();
    return 0;
}
