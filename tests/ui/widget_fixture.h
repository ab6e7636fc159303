#pragma once
// What widget tests share: starting the real main window on a seeded program folder (and
// the message-box watcher of box_watcher.h).

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <string>
#include <vector>

#include "box_watcher.h"
#include "practice/program_folder.h"
#include "ui/main_window.h"

namespace vantor::test {

// The main window of account `name` (initial funds 1000000, as the first start's questions
// leave them) on a program folder `dir` seeded with the sample data, shown at 1280 x 800 and
// started. Null (with a test failure) when the folder could not be seeded or never showed.
inline MainWindow* StartWindow(const std::string& dir, const std::string& name) {
    std::string error;
    if (!SeedProgramFolder(VANTOR_SAMPLE_DIR, dir, error)) {
        ADD_FAILURE() << error;
        return nullptr;
    }
    std::ofstream(dir + "/config.ini") << "[" << name << "]\n初始资金=1000000\n";
    auto* w = new MainWindow(dir, name);
    w->resize(1280, 800);
    w->show();
    w->Start();
    if (!QTest::qWaitForWindowExposed(w)) ADD_FAILURE() << "the window never showed";
    return w;
}

} // namespace vantor::test
