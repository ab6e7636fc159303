#pragma once
// Painting text needs a GUI application; benchmarks run it on the offscreen platform.

#include <QGuiApplication>
#include <cstdlib>

namespace vantor::bench {

inline void EnsureGuiApp() {
    if (QGuiApplication::instance()) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "vantor_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

} // namespace vantor::bench
